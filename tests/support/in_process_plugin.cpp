#include "tests/support/in_process_plugin.h"

#include <stdexcept>

namespace tarvik::test {

vst::AEffect* createTarvik(vst::audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    return (new TarvikWithEditor(audioMaster))->getAeffect();
}

InProcessPlugin::InProcessPlugin(host::HostSettings settings, Entry entry) : HostedPlugin(settings) {
    std::string error;
    if (!create(entry, error)) throw std::runtime_error(error);
}

Tarvik& InProcessPlugin::plugin() const {
    return *static_cast<Tarvik*>(static_cast<AudioEffect*>(effect()->object));
}

std::string InProcessPlugin::text(vst::VstInt32 opcode, vst::VstInt32 index) {
    char buffer[512] = {};
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

}  // namespace tarvik::test

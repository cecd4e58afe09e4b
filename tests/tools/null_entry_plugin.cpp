// A plug-in binary that exports the entry but creates no effect, as a broken
// or refusing plug-in does.
#include "platform/vst2_abi.h"

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::audioMasterCallback) {
    return nullptr;
}

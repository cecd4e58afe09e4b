// A Tarvik instance created through its ABI record but linked into the test.
#pragma once

#include <string>

#include "tests/support/scoped_data_folder.h"
#include "tools/host/hosted_plugin.h"
#include "vst/tarvik_with_editor.h"

namespace tarvik::test {

// The same entry as the plug-in binary's, for the linked-in instance.
vst::AEffect* createTarvik(vst::audioMasterCallback audioMaster);

class InProcessPlugin : public host::HostedPlugin {
public:
    using Entry = vst::AEffect* (*)(vst::audioMasterCallback);
    explicit InProcessPlugin(host::HostSettings settings = {}, Entry entry = createTarvik);

    Tarvik& plugin() const;
    // Runs a text opcode into a large buffer and answers the text.
    std::string text(vst::VstInt32 opcode, vst::VstInt32 index = 0);
};

}  // namespace tarvik::test

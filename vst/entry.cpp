// The library's only exported entry: the host calls it (as VSTPluginMain, or
// under its older name main) to create one plug-in instance, the shell with
// its editor.
#include <memory>
#include <new>

#include "instrument/data_folder.h"
#include "instrument/factory_files.h"
#include "platform/resident_module.h"
#include "vst/tarvik_with_editor.h"
#include "vst/vst_editor.h"

#if defined(_WIN32)
#define TARVIK_EXPORT extern "C"  // exported by the module definition file
#else
#define TARVIK_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TARVIK_EXPORT vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
    if (!audioMaster) return nullptr;
    // A host that does not answer its version is not a VST 2 host.
    if (audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        // Copying the binary alone is a complete install: the data folder's
        // missing or damaged factory files come from the binary itself.
        tarvik::installFactoryFilesOnce(tarvik::carriedFactoryFiles(), tarvik::dataFolder());
        auto* plugin = new tarvik::TarvikWithEditor(
            audioMaster, [](tarvik::ControlFace& control) { return std::make_unique<tarvik::VstEditor>(control); });
        return plugin->getAeffect();
    } catch (...) {
        return nullptr;
    }
}

namespace {
// As the binary loads, before any call from the host: a host that loads and
// unloads it without ever creating an instance (a plug-in scan) unloads the
// libraries beneath it too.
[[maybe_unused]] const bool kResident = (platform::keepModuleResident(reinterpret_cast<const void*>(&VSTPluginMain)), true);
}  // namespace

#if !defined(_WIN32)
// Older hosts look for the entry under the name "main"; C++ reserves that
// name, so the alias is made at the symbol level. (Windows gets it from the
// module definition file.)
TARVIK_EXPORT vst::AEffect* mainEntryAlias(vst::audioMasterCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif

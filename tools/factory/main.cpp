// Writes the factory content of the data folder: the patch bank, grouped by
// style below "Tarvik Patches", the default "Config.ini" and "Gui.ini", and
// the "StartupPatch.ini" that opens the plug-in on one of the factory patches.
// Files are written with the plug-in's own writers, so they read back as
// the plug-in reads them.
//
// Usage: tarvik-factory OUTPUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <system_error>

#include "gui/gui_preferences.h"
#include "patch/patch_file.h"
#include "instrument/configuration.h"
#include "tools/factory/bank.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvik::factory;

constexpr int kFailureExit = 1;
constexpr int kUsageExit = 2;

bool fail(const std::string& message) {
    std::fprintf(stderr, "tarvik-factory: %s\n", message.c_str());
    return false;
}

bool writeBank(const fs::path& patchFolder, std::set<std::string>& written) {
    for (const Recipe& recipe : factoryBank()) {
        const std::string name = recipe.folder + "/" + recipe.name + ".tvkp";
        if (!written.insert(name).second) return fail(name + " is in the bank twice");
        auto patch = std::make_unique<tarvik::TarvikPatch>();
        std::string error;
        if (!buildPatch(recipe, *patch, error)) return fail(name + ": " + error);
        std::error_code folderError;
        fs::create_directories(patchFolder / recipe.folder, folderError);
        if (folderError || !tarvik::writePatchFile(*patch, (patchFolder / name).string()))
            return fail("cannot write " + (patchFolder / name).string());
    }
    return true;
}

bool writeStartupFiles(const fs::path& folder, const std::set<std::string>& written) {
    if (!written.contains(kStartupPatch))
        return fail(std::string("the startup patch ") + kStartupPatch + " is not in the bank");
    tarvik::Configuration configuration;
    configuration.startupPatch = kStartupPatch;  // the configuration mirrors StartupPatch.ini
    if (!tarvik::writeConfiguration(configuration, (folder / "Config.ini").string()))
        return fail("cannot write " + (folder / "Config.ini").string());
    // A fresh installation greets its user once with the splash screen.
    tarvik::gui::GuiPreferences preferences;
    preferences.showSplashSequence = 1;
    if (!tarvik::gui::writeGuiPreferences(preferences, (folder / "Gui.ini").string()))
        return fail("cannot write " + (folder / "Gui.ini").string());
    std::ofstream startup(folder / "StartupPatch.ini", std::ios::binary);
    startup << '"' << kStartupPatch << "\"\n";
    startup.close();
    if (!startup) return fail("cannot write " + (folder / "StartupPatch.ini").string());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-factory OUTPUT_FOLDER\n");
        return kUsageExit;
    }
    const fs::path folder = argv[1];
    std::set<std::string> written;
    if (!writeBank(folder / "Tarvik Patches", written) || !writeStartupFiles(folder, written)) return kFailureExit;
    return 0;
}

// The editor's commands that reach files: patches (open, save, the arrows,
// MIDI program changes), controller maps, pattern files, the configuration
// files. Every file is read and written here, on the GUI thread.
#include <filesystem>

#include "gui/editor/file_requests.h"
#include "gui/editor/panel_controller.h"
#include "gui/editor/patch_browser.h"
#include "gui/toolkit/utf8_path.h"
#include "instrument/data_folder.h"
#include "instrument/pattern_editing.h"
#include "patch/pattern_files.h"

namespace tarvik::gui {

namespace {
constexpr const char* kSaveFailedText = "Could not save patch. Try in a different location like your Documents folder.";
constexpr const char* kNoViewerText =
    "No program to show text files was found. The configuration files Config.ini, MidiCC.ini and Gui.ini are in ";
}  // namespace

// After any patch replaced the current one: the panel shows it (knobs glide
// there, cables hang anew) and its notes, when it has some and the user
// wants them.
void PanelController::patchLoaded() {
    const PatchInfo info = control_.patchInfo();
    patchInfo_->setText(info);
    if (preferences_.showPatchInfo != 0 && info.text[0] != '\0') patchInfo_->show();
    showPatchName();
}

bool PanelController::loadPatch(const std::string& path) {
    if (!control_.loadPatchFile(path)) return false;
    patchLoaded();
    return true;
}

void PanelController::openPatch() {
    fileDialogs_->open(openPatchRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (path) loadPatch(*path);
    });
}

void PanelController::savePatch() {
    std::error_code error;
    const std::string current = control_.currentPatchPath();
    if (!std::filesystem::is_regular_file(utf8Path(current), error)) {
        savePatchAs();
        return;
    }
    if (!control_.savePatchFile(current)) dialogs_->tell(kProductTitle, kSaveFailedText);
}

void PanelController::savePatchAs() {
    fileDialogs_->save(savePatchRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (!path) return;
        if (!control_.savePatchFile(*path)) {
            dialogs_->tell(kProductTitle, kSaveFailedText);
            return;
        }
        showPatchName();
    });
}

// The arrows beside the patch name: at either end of the folder the patch
// stays where it is.
void PanelController::stepPatch(int direction) {
    if (const std::optional<std::string> next = neighbourPatch(control_.currentPatchPath(), direction)) loadPatch(*next);
}

// A bank select or program change the audio thread saw: carried out here,
// where files may be read.
void PanelController::takeProgramRequests() {
    if (const int bank = control_.takeBankSelect(); bank >= 0) patchBank_.selectBank(bank);
    if (const int program = control_.takeProgramChange(); program >= 0)
        if (const std::optional<std::string> path = patchBank_.program(program)) loadPatch(*path);
}

void PanelController::loadControllerMap() {
    fileDialogs_->open(loadMidiMapRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (path) control_.readControllerMapFile(*path);
    });
}

void PanelController::saveControllerMap() {
    fileDialogs_->save(saveMidiMapRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (path) control_.writeControllerMapFile(*path);
    });
}

void PanelController::importPattern() {
    fileDialogs_->open(importPatternRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (path && control_.patterns().importPatternFile(*path)) refreshSequencerPanel();
    });
}

void PanelController::exportPattern() {
    fileDialogs_->save(exportPatternRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (path) control_.patterns().exportPatternFile(*path);
    });
}

// A ReBirth song brings its patterns, its pattern choice and six sound
// settings, which the panel shows like any parameter change.
void PanelController::importRebirthSong() {
    fileDialogs_->open(importRebirthRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        SongImport song;
        if (!path || !readRebirthSong(*path, song)) return;
        control_.patterns().applySong(song);
        for (const SongParameter& p : song.parameters) control_.setParameter(p.index, p.value);
        refreshSequencerPanel();
    });
}

// Without a program to show them, the user learns where to find them.
void PanelController::viewConfigurationFiles() {
    const std::string& folder = control_.dataFolder();
    if (!fileDialogs_->viewFiles(
            {dataPath(folder, "Config.ini"), dataPath(folder, kControllerMapFile), dataPath(folder, "Gui.ini")}))
        dialogs_->tell(kProductTitle, std::string(kNoViewerText) + folder);
}

}  // namespace tarvik::gui

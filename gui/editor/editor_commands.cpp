// The editor's commands that reach files: patches (open, save, the arrows,
// MIDI program changes), controller maps, pattern files, the configuration
// files. Every file is read and written here, on the GUI thread.
#include <filesystem>

#include "gui/editor/file_requests.h"
#include "gui/editor/patch_browser.h"
#include "gui/editor/tarvik_gui.h"
#include "patch/pattern_files.h"
#include "patch/pattern_ops.h"
#include "plugin/controller_map_file.h"
#include "plugin/data_folder.h"

namespace tarvik::gui {

namespace {
constexpr const char* kSaveFailedText = "Could not save patch. Try in a different location like your Documents folder.";
}  // namespace

// After any patch replaced the current one: the panel shows it (knobs glide
// there, cables hang anew) and its notes, when it has some and the user
// wants them.
void TarvikGui::patchLoaded() {
    refreshAll_.store(true, std::memory_order_release);
    patchInfo_->setText(plugin_.engine().patch().info);
    if (preferences_.showPatchInfo != 0 && plugin_.engine().patch().info.text[0] != '\0') patchInfo_->show();
    showPatchName();
}

bool TarvikGui::loadPatch(const std::string& path) {
    if (!plugin_.loadPatchFile(path)) return false;
    patchLoaded();
    return true;
}

void TarvikGui::openPatch() {
    fileDialogs_->open(openPatchRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (path) loadPatch(*path);
    });
}

void TarvikGui::savePatch() {
    std::error_code error;
    const std::string& current = plugin_.currentPatchPath();
    if (!std::filesystem::is_regular_file(std::filesystem::path(std::u8string(current.begin(), current.end())), error)) {
        savePatchAs();
        return;
    }
    if (!plugin_.savePatchFile(current)) dialogs_->tell(kProductTitle, kSaveFailedText);
}

void TarvikGui::savePatchAs() {
    fileDialogs_->save(savePatchRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (!path) return;
        if (!plugin_.savePatchFile(*path)) {
            dialogs_->tell(kProductTitle, kSaveFailedText);
            return;
        }
        showPatchName();
    });
}

// The arrows beside the patch name: at either end of the folder the patch
// stays where it is.
void TarvikGui::stepPatch(int direction) {
    if (const std::optional<std::string> next = neighbourPatch(plugin_.currentPatchPath(), direction)) loadPatch(*next);
}

// A bank select or program change the audio thread recorded: carried out
// here, where files may be read.
void TarvikGui::takeProgramRequests() {
    if (const int bank = pendingBank_.exchange(kNoRequest, std::memory_order_acq_rel); bank != kNoRequest)
        patchBank_->selectBank(bank);
    if (const int program = pendingProgram_.exchange(kNoRequest, std::memory_order_acq_rel); program != kNoRequest)
        if (const std::optional<std::string> path = patchBank_->program(program)) loadPatch(*path);
}

void TarvikGui::loadControllerMap() {
    fileDialogs_->open(loadMidiMapRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (path) readControllerMap(plugin_.controllerMap(), *path);
    });
}

void TarvikGui::saveControllerMap() {
    fileDialogs_->save(saveMidiMapRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (path) writeControllerMap(plugin_.controllerMap(), *path);
    });
}

void TarvikGui::importPattern() {
    fileDialogs_->open(importPatternRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (path && importCorvallPattern(currentPattern(plugin_.engine().patch()), *path)) refreshSequencerPanel();
    });
}

void TarvikGui::exportPattern() {
    fileDialogs_->save(exportPatternRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (path) exportCorvallPattern(currentPattern(plugin_.engine().patch()), *path);
    });
}

// A ReBirth song brings its patterns, its pattern choice and six sound
// settings, which the panel shows like any parameter change.
void TarvikGui::importRebirthSong() {
    fileDialogs_->open(importRebirthRequest(dataFolder_), [this](std::optional<std::string> path) {
        SongImport song;
        if (!path || !readRebirthSong(*path, song)) return;
        applyRebirthPatterns(song, plugin_.engine().patch());
        for (const SongParameter& p : song.parameters) plugin_.setParameter(p.index, p.value);
        refreshSequencerPanel();
    });
}

void TarvikGui::viewConfigurationFiles() {
    fileDialogs_->viewFiles({dataPath(dataFolder_, "Config.ini"), dataPath(dataFolder_, "MidiCC.ini"),
                             dataPath(dataFolder_, "Gui.ini")});
}

}  // namespace tarvik::gui

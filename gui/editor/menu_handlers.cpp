// The editor's four menus: where they pop up, what their entries do, and
// the settings their texts follow.
#include "gui/editor/file_requests.h"
#include "gui/editor/panel_controller.h"
#include "gui/skin_tags.h"
#include "instrument/pattern_editing.h"
#include "patch/pattern_ops.h"
#include "instrument/data_folder.h"

namespace tarvik::gui {

namespace {

constexpr const char* kReopenText =
    "Editor must be closed and reopened for new skin to take effect. Show this dialog again?";
constexpr const char* kSkinErrorText =
    "Error in skin definition (possible cause: TAGS are not defined). Reverting to default skin.";

Point below(const Rect& r) { return {r.left, r.bottom}; }

}  // namespace

// The option and pattern menus open at their drop-down elements, the filter
// menu over its own, the patch menu under the patch name.
void PanelController::showMenu(int tagValue) {
    switch (tagValue) {
        case tag::OptionMenu:
            menu_->popUp(optionEntries_.model(), panel_.rect(tag::OptionDropdown).topLeft(),
                         [this](const MenuChoice& choice) {
                             if (const auto command = optionEntries_.command(choice.path.front())) optionChosen(*command);
                         });
            break;
        case tag::PatternMenu:
            menu_->popUp(patternMenu({control_.canUndo(), control_.canRedo(), patternCopied()}),
                         panel_.rect(tag::PatternDropdown).topLeft(), [this](const MenuChoice& choice) {
                             if (const auto command = patternCommand(choice.path.front())) patternChosen(*command);
                         });
            break;
        case tag::FilterDropdown:
            menu_->popUp(filterMenu_, panel_.rect(tag::FilterDropdown).topLeft(),
                         [this](const MenuChoice& choice) { setFilterMode(choice.path.front()); });
            break;
        case tag::PatchButton: {
            // Built anew each time, so that it lists the folder as it is now.
            auto entries = std::make_shared<PatchMenuEntries>(patchMenu(dataPath(control_.dataFolder(), "Tarvik Patches"),
                                                                        control_.currentPatchPath(),
                                                                        control_.configuration().autoRun != 0));
            menu_->popUp(entries->model, below(panel_.rect(tag::PatchButton)),
                         [this, entries](const MenuChoice& choice) { patchMenuChosen(*entries, choice); });
            break;
        }
        default: break;
    }
}

void PanelController::optionChosen(OptionCommand command) {
    auto toggle = [this](int index) { control_.setState(index, control_.state(index) != 0 ? 0 : 1); };
    switch (command) {
        case OptionCommand::MidiLearn: setMidiLearn(!control_.midiLearn()); break;
        case OptionCommand::Cables: showCables(preferences_.displayCables == 0); break;
        case OptionCommand::AuxInput: toggle(state::AuxInput); break;
        case OptionCommand::FilterStep: setFilterMode(nextFilterMode(control_.state(state::FilterMode))); break;
        case OptionCommand::DelaySync: toggle(state::DelaySync); break;
        case OptionCommand::LoadMidiMap: loadControllerMap(); break;
        case OptionCommand::SaveMidiMap: saveControllerMap(); break;
        case OptionCommand::ViewConfiguration: viewConfigurationFiles(); break;
        case OptionCommand::SelectSkin: chooseSkin(); break;
        case OptionCommand::DefaultSkin: useDefaultSkin(); break;
        case OptionCommand::PatchInfo: patchInfo_->show(); break;
        case OptionCommand::Preferences: preferencesPanel_->show(); break;
    }
    refreshStatus();
}

void PanelController::patternChosen(PatternCommand command) {
    switch (command) {
        case PatternCommand::Undo: undo(); return;
        case PatternCommand::Redo: redo(); return;
        case PatternCommand::AdvancedRandom: randomPanel_->show(); return;
        case PatternCommand::ImportPattern: importPattern(); return;
        case PatternCommand::ExportPattern: exportPattern(); return;
        case PatternCommand::ImportRebirth: importRebirthSong(); return;
        default:
            control_.patterns().apply([command](Pattern& pattern) { runPatternOperation(command, pattern); });
            refreshSequencerPanel();
            return;
    }
}

void PanelController::undo() { showRestored(control_.undo()); }

void PanelController::redo() { showRestored(control_.redo()); }

void PanelController::showRestored(EditKind kind) {
    if (kind == EditKind::Patterns) refreshSequencerPanel();
    if (kind == EditKind::Cables) field_.rebuild();
}

void PanelController::patchMenuChosen(const PatchMenuEntries& entries, const MenuChoice& choice) {
    if (!choice.identifier.empty()) {  // a file of the listing
        loadPatch(choice.identifier);
        return;
    }
    const int entry = choice.path.front();
    if (entry == entries.open) openPatch();
    if (entry == entries.save) savePatch();
    if (entry == entries.saveAs) savePatchAs();
    if (entry == entries.autoRun) control_.setAutoRun(control_.configuration().autoRun == 0);
}

// The chosen skin is read at once, so that a broken one is reported now;
// the running panel stays as it is until the editor opens again.
void PanelController::chooseSkin() {
    fileDialogs_->open(selectSkinRequest(control_.dataFolder()), [this](std::optional<std::string> path) {
        if (!path) return;
        GuiPreferences chosen = preferences_;
        chosen.skin = *path;
        SkinDefinition skin;
        if (formatGuiPreferences(chosen) && skin.parse(userFilePath(control_.dataFolder(), *path)) &&
            skin.backgroundFits()) {
            preferences_.skin = *path;
            skinName_ = skin.name();
            refreshMenus();
            if (preferences_.skinShowDialog == 1)
                dialogs_->ask(kProductTitle, kReopenText,
                              [this](bool yes) { preferences_.skinShowDialog = yes ? 1 : 0; });
            return;
        }
        preferences_.skin.clear();
        skinName_ = "Default";
        refreshMenus();
        dialogs_->tell(kProductTitle, kSkinErrorText);
    });
}

void PanelController::useDefaultSkin() {
    preferences_.skin.clear();
    SkinDefinition skin;
    skin.parse(dataPath(control_.dataFolder(), "Tarvik.skn"));
    skinName_ = skin.name();
    refreshMenus();
    if (preferences_.skinShowDialog == 1)
        dialogs_->ask(kProductTitle, kReopenText, [this](bool yes) { preferences_.skinShowDialog = yes ? 1 : 0; });
}

void PanelController::refreshMenus() {
    const int filterMode = control_.state(state::FilterMode);
    optionEntries_.refresh({control_.midiLearn(), preferences_.displayCables != 0, control_.state(state::AuxInput) != 0,
                            filterMode, control_.state(state::DelaySync) != 0, skinName_});
    filterMenu_.setCurrent(filterMode);
}

void PanelController::setMidiLearn(bool on) {
    control_.setMidiLearn(on);
    if (floating_) floating_->hide();
}

void PanelController::showCables(bool shown) {
    preferences_.displayCables = shown ? 1 : 0;
    field_.rebuild();
}

void PanelController::setFilterMode(int mode) {
    control_.setState(state::FilterMode, mode);
    refreshStatus();
}

}  // namespace tarvik::gui

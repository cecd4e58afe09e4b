// The editor's four menus: where they pop up, what their entries do, and
// the settings their texts follow.
#include "gui/editor/file_requests.h"
#include "gui/editor/tarvik_gui.h"
#include "gui/skin_tags.h"
#include "patch/pattern_ops.h"
#include "plugin/data_folder.h"

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
void TarvikGui::showMenu(int tagValue) {
    switch (tagValue) {
        case tag::OptionMenu:
            menu_->popUp(optionEntries_.model(), panel_->rect(tag::OptionDropdown).topLeft(),
                         [this](const MenuChoice& choice) {
                             if (const auto command = optionEntries_.command(choice.path.front())) optionChosen(*command);
                         });
            break;
        case tag::PatternMenu:
            menu_->popUp(patternMenu_, panel_->rect(tag::PatternDropdown).topLeft(), [this](const MenuChoice& choice) {
                if (const auto command = patternCommand(choice.path.front())) patternChosen(*command);
            });
            break;
        case tag::FilterDropdown:
            menu_->popUp(filterMenu_, panel_->rect(tag::FilterDropdown).topLeft(),
                         [this](const MenuChoice& choice) { setFilterMode(choice.path.front()); });
            break;
        case tag::PatchButton: {
            // Built anew each time, so that it lists the folder as it is now.
            auto entries = std::make_shared<PatchMenuEntries>(patchMenu(
                dataPath(dataFolder_, "Tarvik Patches"), plugin_.currentPatchPath(), plugin_.configuration().autoRun != 0));
            menu_->popUp(entries->model, below(panel_->rect(tag::PatchButton)),
                         [this, entries](const MenuChoice& choice) { patchMenuChosen(*entries, choice); });
            break;
        }
        default: break;
    }
}

void TarvikGui::optionChosen(OptionCommand command) {
    TarvikPatch& patch = plugin_.engine().patch();
    switch (command) {
        case OptionCommand::MidiLearn: setMidiLearn(!plugin_.midiLearn()); break;
        case OptionCommand::Cables: showCables(preferences_.displayCables == 0); break;
        case OptionCommand::AuxInput: patch.setState(state::AuxInput, patch.state(state::AuxInput) != 0 ? 0 : 1); break;
        case OptionCommand::FilterStep: setFilterMode(nextFilterMode(patch.state(state::FilterMode))); break;
        case OptionCommand::DelaySync: patch.setState(state::DelaySync, patch.state(state::DelaySync) != 0 ? 0 : 1); break;
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

void TarvikGui::patternChosen(PatternCommand command) {
    switch (command) {
        case PatternCommand::AdvancedRandom: randomPanel_->show(); return;
        case PatternCommand::ImportPattern: importPattern(); return;
        case PatternCommand::ExportPattern: exportPattern(); return;
        case PatternCommand::ImportRebirth: importRebirthSong(); return;
        default:
            runPatternOperation(command, currentPattern(plugin_.engine().patch()));
            refreshSequencerPanel();
            return;
    }
}

void TarvikGui::patchMenuChosen(const PatchMenuEntries& entries, const MenuChoice& choice) {
    if (!choice.identifier.empty()) {  // a file of the listing
        loadPatch(choice.identifier);
        return;
    }
    const int entry = choice.path.front();
    if (entry == entries.open) openPatch();
    if (entry == entries.save) savePatch();
    if (entry == entries.saveAs) savePatchAs();
    if (entry == entries.autoRun) plugin_.setAutoRun(plugin_.configuration().autoRun == 0);
}

// The chosen skin is read at once, so that a broken one is reported now;
// the running panel stays as it is until the editor opens again.
void TarvikGui::chooseSkin() {
    fileDialogs_->open(selectSkinRequest(dataFolder_), [this](std::optional<std::string> path) {
        if (!path) return;
        GuiPreferences chosen = preferences_;
        chosen.skin = *path;
        SkinDefinition skin;
        if (formatGuiPreferences(chosen) && skin.parse(userFilePath(dataFolder_, *path))) {
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

void TarvikGui::useDefaultSkin() {
    preferences_.skin.clear();
    SkinDefinition skin;
    skin.parse(dataPath(dataFolder_, "Tarvik.skn"));
    skinName_ = skin.name();
    refreshMenus();
    if (preferences_.skinShowDialog == 1)
        dialogs_->ask(kProductTitle, kReopenText, [this](bool yes) { preferences_.skinShowDialog = yes ? 1 : 0; });
}

void TarvikGui::refreshMenus() {
    const TarvikPatch& patch = plugin_.engine().patch();
    optionEntries_.refresh({plugin_.midiLearn(), preferences_.displayCables != 0, patch.state(state::AuxInput) != 0,
                            patch.state(state::FilterMode), patch.state(state::DelaySync) != 0, skinName_});
    filterMenu_.setCurrent(patch.state(state::FilterMode));
}

void TarvikGui::setMidiLearn(bool on) {
    plugin_.setMidiLearn(on);
    plugin_.setLearnParameter(-1);
    if (floating_) floating_->hide();
}

void TarvikGui::showCables(bool shown) {
    preferences_.displayCables = shown ? 1 : 0;
    patchField_->rebuild();
}

void TarvikGui::setFilterMode(int mode) {
    plugin_.engine().patch().setState(state::FilterMode, mode);
    refreshStatus();
}

}  // namespace tarvik::gui

// What the panel does, without a window of its own: every control's handler,
// the computer keys, the four menus and what their entries do, the commands
// that read and write files, and what the panel shows of the instrument,
// refreshed after each change. It works over the editor's frame and the
// panel's controls (a test may build a frame without a window and a panel
// without controls) and reaches the instrument only through its control
// face, so its commands run without an X server and under ThreadSanitizer.
//
// The window around it (TarvikGui) makes it at each open and drives it from
// the host's idle calls; everything here runs on that GUI thread.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "gui/editor/dialog_panel.h"
#include "gui/editor/dialogs.h"
#include "gui/editor/display_texts.h"
#include "gui/editor/editor_menus.h"
#include "gui/editor/file_dialogs.h"
#include "gui/editor/floating_display.h"
#include "gui/editor/panel.h"
#include "gui/editor/patch_browser.h"
#include "gui/editor/patch_field.h"
#include "gui/editor/patch_info_handler.h"
#include "gui/editor/preferences_handler.h"
#include "gui/editor/random_handler.h"
#include "gui/gui_preferences.h"
#include "gui/toolkit/frame.h"
#include "gui/toolkit/option_menu.h"
#include "instrument/control_face.h"

namespace tarvik::gui {

class PanelController final : private ControlListener {
public:
    using Clock = std::chrono::steady_clock;

    // Everything given must outlive the controller. `skinName` is the skin
    // the option menu names.
    PanelController(ControlFace& control, GuiPreferences& preferences, Frame& frame, const Panel& panel,
                    PatchField& field, std::string skinName);
    ~PanelController() override;
    PanelController(const PanelController&) = delete;
    PanelController& operator=(const PanelController&) = delete;

    // The panel's controls report here.
    ControlListener& listener() { return *this; }

    // Lays the dialogs, the three panels and the menu over everything the
    // frame holds so far; `parentWindow` (the host's window, or null) owns
    // native dialogs, `floating` (or null) shows what the user touches, and
    // `preferencesReread` (if any) hears that Preferences' Reset read
    // "Gui.ini" again.
    void addDialogs(void* parentWindow, FloatingDisplay* floating, std::function<void()> preferencesReread = {});
    // Shows the instrument as it is now.
    void showAll();

    // The idle's share: program changes and bank selects, file dialog
    // answers, values set from elsewhere, a held rocker's repeat, and the
    // panel refreshed.
    void idle(Clock::time_point now);
    // Another patch became current: its values, name, cables and notes.
    void showNewPatch();

    // A key the frame did not use itself; answers whether it was used.
    bool handleKey(const KeyEvent& key);
    // The keys handleKey would use now.
    KeyInterest keyInterest() const;
    // Whether something the controller started is still under way: a held
    // rocker repeating, the Patch Info panel fading.
    bool busy() const;
    // A file dialog's answer waits for the next idle.
    bool answerDue() const;

    // Pops a menu up (the patch field's socket menu) in the editor's one
    // menu window.
    void popUp(const MenuModel& menu, Point where, MenuAnswer answer);
    // The value display over a socket under the pointer.
    void showSocket(const Rect& socketRect, int socket);

    // The menus' entries, as the user chooses them.
    void showMenu(int tagValue);
    void optionChosen(OptionCommand command);
    void patternChosen(PatternCommand command);
    void patchMenuChosen(const PatchMenuEntries& entries, const MenuChoice& choice);

    // What the panel shows of the instrument.
    void refreshParameters();
    void refreshStatus();
    void refreshSequencerPanel();

    PreferencesHandler& preferencesPanel() const { return *preferencesPanel_; }
    RandomHandler& randomPanel() const { return *randomPanel_; }
    PatchInfoHandler& patchInfo() const { return *patchInfo_; }
    Dialogs& dialogs() const { return *dialogs_; }

private:
    // ControlListener: every control of the panel reports here.
    void valueChanged(Control& control) override;
    void beginEdit(Control& control) override;
    void endEdit(Control& control) override;

    void handlePanelButton(Control& control);
    void handleParameterButton(Control& control);
    void handleSequencer(Control& control);
    // One gesture for the host: begin, the new value, end.
    void changeInOneGesture(int index, float value);
    void stepRocker(int tagValue, int direction);
    void changeTempo(double bpm);
    void playKeyboard(int key);
    void clearPattern();
    void showValue(int tagValue, float value);
    void showFloating(const Rect& under, const DisplayTexts& texts);
    void showPatchName();

    // Commands that read and write files.
    void patchLoaded();
    bool loadPatch(const std::string& path);
    void openPatch();
    void savePatch();
    void savePatchAs();
    void stepPatch(int direction);
    void takeProgramRequests();
    void loadControllerMap();
    void saveControllerMap();
    void importPattern();
    void exportPattern();
    void importRebirthSong();
    void viewConfigurationFiles();

    void chooseSkin();
    void useDefaultSkin();
    void refreshMenus();
    void setMidiLearn(bool on);
    void showCables(bool shown);
    void setFilterMode(int mode);
    // Undo and redo, and the panel showing what they put back.
    void undo();
    void redo();
    void showRestored(EditKind kind);

    ControlFace& control_;
    GuiPreferences& preferences_;
    Frame& frame_;
    const Panel& panel_;
    PatchField& field_;
    std::string skinName_;  // of the skin the next open loads
    FloatingDisplay* floating_ = nullptr;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<FileDialogs> fileDialogs_;
    PanelPictures panelPictures_;
    std::unique_ptr<PreferencesHandler> preferencesPanel_;
    std::unique_ptr<RandomHandler> randomPanel_;
    std::unique_ptr<PatchInfoHandler> patchInfo_;
    PatchBank patchBank_;
    // One window shows whichever menu is open.
    std::unique_ptr<OptionMenu> menu_;
    OptionEntries optionEntries_;
    MenuModel filterMenu_ = filterMenu();

    float shaperBeforeBypass_ = 0.5f;
    // The time of the latest idle pass, which the window's input is read in.
    Clock::time_point now_ = Clock::now();
    // The rocker held down (its tag), its direction and its next repeat.
    int heldRocker_ = -1;
    int heldDirection_ = 0;
    Clock::time_point rockerRepeat_{};
    int lastPitchKey_ = -1;
};

}  // namespace tarvik::gui

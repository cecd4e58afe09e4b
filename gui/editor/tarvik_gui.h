// Tarvik's editor window. Each open reads "Gui.ini" and the skin, loads the
// skin's pictures and makes the panel's controls from its elements; each
// close writes "Gui.ini" back and drops them. The host's idle calls drive
// everything that changes on the panel by itself: lights, blinking, rocker
// repeats and the values the host or the engine changed.
//
// Threads: the host calls open, close, idle, keys and the control handlers
// on its GUI thread; setParameter and midiMessage may come from any thread,
// the audio thread included, and only leave marks for the next idle.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/editor/anim_sprite.h"
#include "gui/editor/dialog_panel.h"
#include "gui/editor/dialogs.h"
#include "gui/editor/editor_menus.h"
#include "gui/editor/file_dialogs.h"
#include "gui/editor/floating_display.h"
#include "gui/editor/panel.h"
#include "gui/editor/panel_effects.h"
#include "gui/editor/patch_browser.h"
#include "gui/editor/patch_field.h"
#include "gui/editor/patch_info_handler.h"
#include "gui/editor/preferences_handler.h"
#include "gui/editor/random_handler.h"
#include "gui/editor/splash_screen.h"
#include "gui/editor/parameter_inbox.h"
#include "gui/gui_preferences.h"
#include "gui/skin_definition.h"
#include "gui/toolkit/frame.h"
#include "gui/toolkit/option_menu.h"
#include "plugin/tarvik.h"

namespace tarvik::gui {

class TarvikGui final : public AEffEditor, private ControlListener {
public:
    // The host's window size until a skin says otherwise.
    static constexpr int kDefaultWidth = 755;
    static constexpr int kDefaultHeight = 525;

    explicit TarvikGui(Tarvik& plugin);
    ~TarvikGui() override;
    TarvikGui(const TarvikGui&) = delete;
    TarvikGui& operator=(const TarvikGui&) = delete;

    bool getRect(vst::ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool onKeyDown(vst::VstKeyCode& key) override;
    bool onKeyUp(vst::VstKeyCode& key) override;
    bool setKnobMode(int mode) override;
    void setParameter(int index, float value) override;
    void programChanged() override;
    void programNameChanged() override;
    void midiMessage(int status, int data1, int data2) override;

    bool isOpen() const { return frame_ != nullptr; }
    Frame* frame() const { return frame_.get(); }
    const Panel* panel() const { return panel_.get(); }
    const GuiPreferences& preferences() const { return preferences_; }

private:
    using Clock = std::chrono::steady_clock;

    // Open, step by step; each answers false after reporting what failed.
    bool readPreferences();
    bool loadSkin();
    void loadBitmaps();
    void fail(const char* title, const char* text);
    void updateRect(const SkinRect& background);

    // ControlListener: every control of the panel reports here.
    void valueChanged(Control& control) override;
    void beginEdit(Control& control) override;
    void endEdit(Control& control) override;

    bool handleKey(const KeyEvent& key);
    void handlePanelButton(Control& control);
    void handleParameterButton(Control& control);
    void handleSequencer(Control& control);
    void stepRocker(int tagValue, int direction);
    void playKeyboard(int key);

    // What the panel shows of the plug-in, refreshed after edits and idles.
    void refreshParameters();
    void refreshStatus();
    void refreshSequencerPanel();
    void showValue(int tagValue, float value);
    void showFloating(const Rect& under, const DisplayTexts& texts);
    void addOverlays();
    void addPanels();
    void clearPattern();

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
    void showPatchName();

    // The four menus and what their entries do.
    void showMenu(int tagValue);
    void optionChosen(OptionCommand command);
    void patternChosen(PatternCommand command);
    void patchMenuChosen(const PatchMenuEntries& entries, const MenuChoice& choice);
    void chooseSkin();
    void useDefaultSkin();
    void refreshMenus();
    void setMidiLearn(bool on);
    void showCables(bool shown);
    void setFilterMode(int mode);

    Tarvik& plugin_;
    void* parent_ = nullptr;  // the host's window, owner of any message box
    vst::ERect rect_{0, 0, static_cast<vst::VstInt16>(kDefaultHeight), static_cast<vst::VstInt16>(kDefaultWidth)};
    bool rectFromSkin_ = false;
    GuiPreferences preferences_;
    std::string dataFolder_;
    std::unique_ptr<SkinDefinition> skin_;
    std::vector<Bitmap> bitmaps_;
    std::unique_ptr<Frame> frame_;
    std::unique_ptr<Panel> panel_;
    std::unique_ptr<PatchField> patchField_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<FileDialogs> fileDialogs_;
    PanelPictures panelPictures_;
    std::unique_ptr<PreferencesHandler> preferencesPanel_;
    std::unique_ptr<RandomHandler> randomPanel_;
    std::unique_ptr<PatchInfoHandler> patchInfo_;
    std::unique_ptr<PatchBank> patchBank_;
    // One window shows whichever menu is open; it goes before the frame.
    std::unique_ptr<OptionMenu> menu_;
    OptionEntries optionEntries_;
    const MenuModel patternMenu_ = patternMenu();
    MenuModel filterMenu_ = filterMenu();
    std::string skinName_;  // of the skin the next open loads
    // Program changes and bank selects the audio thread saw, for the idle.
    static constexpr int kNoRequest = -1;
    std::atomic<int> pendingProgram_{kNoRequest};
    std::atomic<int> pendingBank_{kNoRequest};
    // Views of the frame, made after the skin's controls; null when the skin
    // leaves them out.
    FloatingDisplay* floating_ = nullptr;
    AnimSprite* sprite_ = nullptr;
    SplashScreen* splash_ = nullptr;
    PanelEffects* effects_ = nullptr;
    // Pictures the editor loads by name rather than through the skin.
    std::optional<Bitmap> cordPlug_;
    std::optional<Bitmap> splashPicture_;
    KnobMode knobMode_ = KnobMode::Linear;
    float shaperBeforeBypass_ = 0.5f;

    ParameterInbox inbox_;
    std::atomic<bool> refreshAll_{false};

    std::optional<Clock::time_point> glideEnd_;
    Clock::time_point midiLedStamp_{};
    Clock::time_point cordStamp_{};
    Clock::time_point blinkStamp_{};
    Clock::time_point activityStamp_{};
    Clock::time_point rockerStamp_{};
    bool blinkPhase_ = false;
    // The rocker held down (its tag) and its direction, for the repeat.
    int heldRocker_ = -1;
    int heldDirection_ = 0;
    int lastPitchKey_ = -1;
};

}  // namespace tarvik::gui

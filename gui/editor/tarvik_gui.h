// Tarvik's editor window: the shell around the panel's behaviour
// (PanelController). Each open reads "Gui.ini" and the skin, loads the
// skin's pictures, makes the frame, the panel's controls from the skin's
// elements and the views laid over them; each close writes "Gui.ini" back
// and drops them. The host's idle calls drive the clock: the lights and
// their blinking, the knobs' swing to a new patch, the hanging cables, the
// value display, the sprite and the splash screen.
//
// It knows the instrument only by its control face and the host only by
// what a front end hands it (a parent window, idle calls, keys), so every
// front end shows the same editor. Everything here runs on the host's GUI
// thread.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/editor/anim_sprite.h"
#include "gui/editor/floating_display.h"
#include "gui/editor/panel.h"
#include "gui/editor/panel_controller.h"
#include "gui/editor/panel_effects.h"
#include "gui/editor/patch_field.h"
#include "gui/editor/splash_screen.h"
#include "gui/gui_preferences.h"
#include "gui/skin_definition.h"
#include "gui/toolkit/frame.h"
#include "instrument/control_face.h"

namespace tarvik::gui {

class TarvikGui final {
public:
    // The host's window size until a skin says otherwise.
    static constexpr int kDefaultWidth = 755;
    static constexpr int kDefaultHeight = 525;

    explicit TarvikGui(ControlFace& control);
    ~TarvikGui();
    TarvikGui(const TarvikGui&) = delete;
    TarvikGui& operator=(const TarvikGui&) = delete;

    // The window the host should make: the skin's background (read once
    // while the editor is closed: some hosts ask at every idle), else the
    // default size.
    Rect windowRect();
    bool open(void* parentWindow);
    void close();
    void idle();
    // A key from the host; answers whether the editor used it.
    bool keyDown(const KeyEvent& key);
    void setKnobMode(int mode);

    // Whether the editor has read and answered every input waiting in its
    // window and painted every change.
    bool caughtUp();
    // Whether, besides, nothing is on its way to where it will rest (a light
    // about to go out, a knob swinging, a cable falling, a panel fading, the
    // value display about to hide). What moves for as long as something runs
    // (the lights blinking while the sequencer plays or a patch has notes,
    // the playing step, the arrow while a cable is in hand) never comes to
    // rest and does not count. Tests wait for these rather than for a time.
    bool atRest();
    // The text of the message the panel shows now; empty when it shows none.
    std::string shownMessage() const;

private:
    using Clock = std::chrono::steady_clock;

    struct Message {
        std::string title;
        std::string text;
    };

    bool isOpen() const { return frame_ != nullptr; }
    // Open, step by step.
    void readPreferences();
    // The skin Gui.ini names; nullopt for a relative name that climbs out of
    // the data folder.
    std::optional<std::string> chosenSkinPath() const;
    // Makes the panel of the skin at `path`, not yet in a window; when the
    // skin cannot make it, nothing is left of it and the answer says why.
    std::optional<std::string> buildPanel(const std::string& path);
    void loadBitmaps();
    void dropPanel();
    // A message for the user, shown once the panel is open.
    void tell(std::string title, std::string text);
    // Without a panel the waiting messages go to the window system.
    bool failOpen();
    void updateRect(const SkinRect& background);
    void addOverlays();
    void showValue(int tagValue, float value);

    // The idle's clock-driven parts.
    void glideKnobs(Clock::time_point now);
    void showLights(Clock::time_point now);
    void blink(Clock::time_point now);

    ControlFace& control_;
    void* parent_ = nullptr;  // the host's window, owner of any message box
    Rect rect_{0, 0, kDefaultWidth, kDefaultHeight};
    bool rectFromSkin_ = false;
    std::vector<Message> messages_;  // waiting for the panel to open
    GuiPreferences preferences_;
    std::string dataFolder_;
    std::unique_ptr<SkinDefinition> skin_;
    std::vector<Bitmap> bitmaps_;
    std::unique_ptr<Frame> frame_;
    std::unique_ptr<Panel> panel_;
    std::unique_ptr<PatchField> patchField_;
    std::unique_ptr<PanelController> controller_;
    // Views of the frame, made after the skin's controls; null when the skin
    // leaves them out.
    FloatingDisplay* floating_ = nullptr;
    AnimSprite* sprite_ = nullptr;
    SplashScreen* splash_ = nullptr;
    PanelEffects* effects_ = nullptr;
    // Pictures the editor loads by name rather than through the skin.
    std::optional<Bitmap> cablePlug_;
    std::optional<Bitmap> splashPicture_;
    KnobMode knobMode_ = KnobMode::Linear;

    std::optional<Clock::time_point> glideEnd_;
    Clock::time_point midiLedOff_{};
    Clock::time_point cableStamp_{};
    Clock::time_point blinkStamp_{};
    Clock::time_point activityStamp_{};
    bool midiLedLit_ = false;
    bool hoveringSocket_ = false;  // the value display shows the socket under the pointer
    bool blinkPhase_ = false;
    int lastRunStop_ = 0;
};

}  // namespace tarvik::gui

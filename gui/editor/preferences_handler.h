// The Preferences panel: the oscillator model, the filter, host sync, the
// pattern-clear question, polyphony and pitch-bend range, with Reset (read
// "Config.ini" and "Gui.ini" again), Save Defaults (write "Config.ini") and
// Done. Every change takes effect at once and the panel shows the settings
// again after it.
#pragma once

#include <functional>
#include <span>

#include "gui/editor/dialog_panel.h"
#include "gui/gui_preferences.h"
#include "instrument/control_face.h"

namespace tarvik::gui {

class PreferencesHandler : private ControlListener {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 250;
    static constexpr Color kBackground{40, 40, 40, 250};

    // The controls' ids.
    enum Id : int {
        kOscModel = 1,
        kFilterDiode18 = 2,  // FilterMode 2
        kFilter202 = 3,      // FilterMode 3
        kFilter202x2 = 4,    // FilterMode 5
        kSyncMode = 5,
        kClearConfirm = 6,
        kPolyphony = 7,
        kBendRange = 8,
        kReset = 9,
        kSaveDefaults = 10,
        kClose = 11,
        kDone = 12,
    };

    struct Events {
        // "Gui.ini" was read again into the preferences: the editor applies them.
        std::function<void()> guiReread;
        // A setting changed (not after Save Defaults or closing): the editor
        // shows the plug-in's states again on its own panel.
        std::function<void()> changed;
    };

    static std::span<const PanelRow> rows();

    // Made at each open of the editor into its frame, hidden; `preferences`
    // is the editor's record (ClearConfirm lives there). All must outlive
    // the handler.
    PreferencesHandler(Frame& frame, const PanelPictures& pictures, ControlFace& control, GuiPreferences& preferences,
                       Events events = {});

    // Shows the current settings and lays the panel over the frame.
    void show();
    void close();
    bool isShown() const { return slot_.shown(); }
    // Shows the settings as they are now.
    void refresh();

    DialogPanel& panel() const { return slot_.panel(); }

private:
    void valueChanged(Control& control) override;
    // The panel's controls report here.
    ControlListener& listener() { return *this; }
    void reread();

    ControlFace& control_;
    GuiPreferences& preferences_;
    Events events_;
    PanelSlot slot_;
};

}  // namespace tarvik::gui

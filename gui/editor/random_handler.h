// The Advanced Random panel: which parts of the current pattern the
// randomiser draws (pitch, gate, slide, accent), how dense each is, and the
// notes of the scale it picks from. Randomize runs it on the current
// pattern; Reset puts back the pattern as it was when the panel was shown.
//
// The panel edits a settings record it does not own: the record lives as
// long as the plug-in, so that the choices survive closing the panel and
// closing and reopening the editor.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "gui/editor/dialog_panel.h"
#include "patch/pattern_ops.h"
#include "instrument/pattern_editing.h"

namespace tarvik::gui {

class RandomHandler : private ControlListener {
public:
    // The close button's row puts the right edge 20 pixels past it, as on
    // the other panels; the rules run on to that edge. Tall enough for the
    // buttons' row and a margin.
    static constexpr int kWidth = 540;
    static constexpr int kHeight = 330;
    static constexpr Color kBackground{40, 40, 40};

    // The controls' ids.
    enum Id : int {
        kPitch = 1,  // ids 1..4: what is randomised
        kGate = 2,
        kSlide = 3,
        kAccent = 4,
        kPitchDensity = 5,  // ids 5..8: densities, same order
        kAccentDensity = 8,
        kFirstNote = 9,  // ids 9..20: the scale's notes C..B
        kLastNote = 20,
        kReset = 21,
        kClose = 22,
        kRandomize = 23,
        kDone = 24,
    };

    static std::span<const PanelRow> rows();

    // Made at each open of the editor into its frame, hidden. `settings` is
    // the instrument's record; `patternChanged` (if any) hears every change
    // of the current pattern, for the editor to show it. All must outlive
    // the handler.
    RandomHandler(Frame& frame, const PanelPictures& pictures, PatternEditing& patterns,
                  AdvancedRandomSettings& settings, std::function<void()> patternChanged = {});

    // Shows the record, keeps the current pattern for Reset and lays the
    // panel over the frame.
    void show();
    void close();
    bool isShown() const { return slot_.shown(); }

    DialogPanel& panel() const { return slot_.panel(); }

private:
    // The pattern Reset puts back, and where.
    struct Saved {
        int index = 0;
        Pattern pattern{};
    };

    void valueChanged(Control& control) override;
    // The panel's controls report here.
    ControlListener& listener() { return *this; }
    void showSettings();
    void randomize();
    void restore();
    void tellPatternChanged();

    PatternEditing& patterns_;
    AdvancedRandomSettings& settings_;
    std::function<void()> patternChanged_;
    Saved saved_;
    PanelSlot slot_;
};

}  // namespace tarvik::gui

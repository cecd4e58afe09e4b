// The Patch Info panel: the loaded patch's information text under a title.
// It fades: each idle pass moves its opacity half way towards where it is
// going (in after show(), out after the close button) and it is drawn at
// 0.98 of that; fading out, it leaves the frame once the opacity falls below
// 0.1.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "gui/editor/dialog_panel.h"
#include "gui/toolkit/controls/multi_line_text.h"
#include "patch/patch.h"

namespace tarvik::gui {

class PatchInfoHandler : private ControlListener {
public:
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 256;
    static constexpr Color kBackground{40, 40, 40};
    static constexpr int kClose = 31;
    // The text's corners relative to the panel: inside its edges, so that a
    // text longer than the room scrolls rather than being cut off.
    static constexpr Rect kTextArea{32, 100, 488, 248};
    static constexpr double kDrawShare = 0.98;
    static constexpr double kGoneBelow = 0.1;

    static std::span<const PanelRow> rows();

    // Made at each open of the editor into its frame, hidden; the frame and
    // the pictures must outlive the handler.
    PatchInfoHandler(Frame& frame, const PanelPictures& pictures);

    // The text to show, without its carriage returns and line feeds (the
    // panel wraps it) and at most MultiLineText::kMaxLength bytes.
    void setText(std::string_view text);
    // A patch's text, read no further than its record holds.
    void setText(const PatchInfo& info);
    const std::string& text() const { return text_->text(); }

    // Lays the panel over the frame and fades it in (from where it is, when
    // it is still fading out).
    void show();
    // What the close button does: fades the panel out.
    void fadeOut();
    // One fade step; the editor calls it from each idle.
    void idle();

    bool isShown() const { return slot_.shown(); }
    // Shown and still fading in or out.
    bool fading() const { return isShown() && opacity_ != target_; }
    double opacity() const { return opacity_; }
    double target() const { return target_; }
    DialogPanel& panel() const { return slot_.panel(); }

private:
    void valueChanged(Control& control) override;
    // The panel's controls report here.
    ControlListener& listener() { return *this; }

    PanelSlot slot_;
    MultiLineText* text_ = nullptr;
    double opacity_ = 0.0;
    double target_ = 0.0;
};

}  // namespace tarvik::gui

// The controls of one open editor, made from the skin's elements in a fixed
// order: nothing on the panel is placed in code. A control is kept by its
// element's tag, so that handlers and refreshes find it; elements the skin
// leaves out simply have no control.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "gui/editor/panel_knob.h"
#include "gui/skin_definition.h"
#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/control.h"
#include "gui/toolkit/controls/knob_drag.h"
#include "gui/toolkit/controls/text_label.h"
#include "gui/toolkit/frame.h"

namespace tarvik::gui {

class PatchField;

class Panel {
public:
    static constexpr int kTagRoom = 2048;

    // The skin's pictures, in the definition's bitmapFiles() order; a picture
    // that did not load is an empty bitmap.
    Panel(const SkinDefinition& skin, const std::vector<Bitmap>& bitmaps) : skin_(skin), bitmaps_(bitmaps) {}

    // Makes the controls into `frame`, the patch field's sockets and cables
    // at their places in the order; false when an element the panel cannot
    // do without is missing or its picture did not load.
    bool build(Frame& frame, ControlListener& listener, KnobMode knobMode, PatchField& field, const Bitmap* cablePlug);

    Control* control(int tag) const {
        return tag >= 0 && tag < kTagRoom ? controls_[static_cast<std::size_t>(tag)] : nullptr;
    }
    TextLabel* patchName() const { return patchName_; }
    // Every knob, for the knob mode and the glide after a patch load.
    const std::vector<PanelKnob*>& knobs() const { return knobs_; }

    // The picture of the first element with the tag; null when there is
    // none or it did not load.
    const Bitmap* bitmap(int tag) const;
    Rect rect(int tag) const;

private:
    const SkinDefinition& skin_;
    const std::vector<Bitmap>& bitmaps_;
    std::array<Control*, kTagRoom> controls_{};
    std::vector<PanelKnob*> knobs_;
    TextLabel* patchName_ = nullptr;
};

}  // namespace tarvik::gui

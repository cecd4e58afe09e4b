// The look of the boxes the editor draws inside the frame instead of
// window-system dialogs (the questions and the file chooser), kept in one
// place so that one box looks like the next.
#pragma once

#include <string_view>

#include "gui/toolkit/draw_context.h"
#include "gui/toolkit/geometry.h"
#include "gui/toolkit/graphics.h"

namespace tarvik::gui::dialog_style {

inline constexpr double kCorner = 7.0;

inline constexpr Font kTitleFont{13.0, true};
inline constexpr Font kTextFont{11.0, false};
inline constexpr Font kButtonFont{11.0, true};

inline constexpr Color kBackdrop{0, 0, 0, 110};
inline constexpr Color kShadow{0, 0, 0, 80};
inline constexpr Color kBorder{92, 98, 108};
inline constexpr Color kBoxFill{40, 43, 49};
inline constexpr Color kTitleColour{242, 244, 246};
inline constexpr Color kTextColour{210, 215, 222};
inline constexpr Color kButtonFill{60, 65, 73};
inline constexpr Color kDefaultButtonFill{82, 90, 102};
inline constexpr Color kButtonDown{32, 35, 40};
inline constexpr Color kButtonBorder{120, 128, 140};
inline constexpr Color kLabelColour{238, 240, 243};

// The backdrop dims all of `area` (the frame) so that the box stands out as
// the one thing that answers; the box casts a shadow onto it.
inline void drawBox(DrawContext& context, const Rect& area, const Rect& box) {
    context.fillRect(area, kBackdrop);
    context.fillRoundedRect(box.offset(0, 3), kCorner, kShadow);
    context.fillRoundedRect(box, kCorner, kBorder);
    context.fillRoundedRect(box.inset(1), kCorner - 1.0, kBoxFill);
}

// A held button's label moves down and right by a pixel, as if pressed in.
inline void drawButton(DrawContext& context, const Rect& r, std::string_view label, bool isDefault, bool down) {
    const int shift = down ? 1 : 0;
    context.fillRoundedRect(r, 4.0, kButtonBorder);
    context.fillRoundedRect(r.inset(1), 3.0, down ? kButtonDown : isDefault ? kDefaultButtonFill : kButtonFill);
    context.drawText(label, r.offset(shift, shift), kButtonFont, kLabelColour, TextAlign::Centre);
}

}  // namespace tarvik::gui::dialog_style

// Fitting texts into room: wrapping into lines, and cutting a line that is
// too long with an ellipsis. Widths are measured by the draw context.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gui/toolkit/draw_context.h"

namespace tarvik::gui {

inline constexpr const char* kEllipsis = "\xE2\x80\xA6";

// Whether a byte continues a UTF-8 character (a text is never cut there).
inline bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Splits `text` into lines no wider than `width` for `font`, at blanks where
// it can (a word longer than a line is broken); a '\n' always starts a new
// line.
std::vector<std::string> wrapText(DrawContext& context, std::string_view text, const Font& font, double width);

// `text` when it fits `width`; otherwise its longest start that fits with an
// ellipsis after it (a name's start tells most).
std::string headThatFits(DrawContext& context, std::string_view text, const Font& font, double width);
// The same with the ellipsis in front of the end that fits (a path's end
// tells most).
std::string tailThatFits(DrawContext& context, std::string_view text, const Font& font, double width);

}  // namespace tarvik::gui

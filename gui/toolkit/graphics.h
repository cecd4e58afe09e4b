// Colours and fonts for drawing: the vocabulary every draw context speaks.
#pragma once

#include <cstdint>

namespace tarvik::gui {

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    bool operator==(const Color&) const = default;
};

enum class TextAlign { Left, Centre, Right };

// The panel uses one family (DejaVu Sans where installed) in a few sizes.
struct Font {
    double size = 11.0;  // pixels
    bool bold = false;
};

}  // namespace tarvik::gui

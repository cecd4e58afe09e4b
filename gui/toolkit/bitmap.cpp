#include "gui/toolkit/bitmap.h"

namespace tarvik::gui {

Bitmap::Bitmap(int width, int height) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
}

}  // namespace tarvik::gui

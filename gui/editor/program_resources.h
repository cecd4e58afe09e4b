// Pictures that belong to the program rather than to a skin: the panels'
// check box, close button, spin box and rule. The build draws them and
// compiles their PNG bytes into the binary, so that no skin a user installs
// can lose them.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "gui/toolkit/bitmap.h"

namespace tarvik::gui {

struct ProgramResource {
    std::string_view name;      // the file name the picture was built from
    const unsigned char* data;  // null when the build had no such file
    std::size_t size;
};

// Every picture compiled in (the build writes this table).
std::span<const ProgramResource> programResources();

// The named picture, decoded; nullopt when it is not compiled in or does not
// decode.
std::optional<Bitmap> programPicture(std::string_view name);

}  // namespace tarvik::gui

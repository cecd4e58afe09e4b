// The panel font. Cairo's own font selection quietly falls back to whatever
// the system has, which would change every label's width and look; the skin
// resolves DejaVu Sans through fontconfig itself and checks the face that
// FreeType really opened, and refuses to draw with anything else.
#pragma once

#include <cairo.h>

#include <string>

namespace tarvik::skin {

class PanelFonts {
public:
    // Throws std::runtime_error naming what was found instead.
    PanelFonts();
    ~PanelFonts();
    PanelFonts(const PanelFonts&) = delete;
    PanelFonts& operator=(const PanelFonts&) = delete;

    cairo_font_face_t* face(bool bold) const { return bold ? bold_ : regular_; }
    // The font file each face was loaded from, for diagnostics.
    const std::string& file(bool bold) const { return bold ? boldFile_ : regularFile_; }

private:
    cairo_font_face_t* regular_ = nullptr;
    cairo_font_face_t* bold_ = nullptr;
    std::string regularFile_;
    std::string boldFile_;
};

}  // namespace tarvik::skin

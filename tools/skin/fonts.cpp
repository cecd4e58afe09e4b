#include "tools/skin/fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cstring>
#include <stdexcept>

namespace tarvik::skin {

namespace {

constexpr const char* kFamily = "DejaVu Sans";

struct Resolved {
    cairo_font_face_t* face = nullptr;
    std::string file;
};

std::string patternString(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) return "(none)";
    return reinterpret_cast<const char*>(value);
}

// Opens the face at a small size and asks FreeType what it holds.
void checkLoadedFace(cairo_font_face_t* face, const char* wantedStyle, const std::string& file) {
    cairo_matrix_t size;
    cairo_matrix_init_scale(&size, 9.0, 9.0);
    cairo_matrix_t identity;
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_scaled_font_t* scaled = cairo_scaled_font_create(face, &size, &identity, options);
    cairo_font_options_destroy(options);
    std::string family = "(unreadable)";
    std::string style = "(unreadable)";
    if (cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS) {
        if (FT_Face ft = cairo_ft_scaled_font_lock_face(scaled)) {
            if (ft->family_name != nullptr) family = ft->family_name;
            if (ft->style_name != nullptr) style = ft->style_name;
            cairo_ft_scaled_font_unlock_face(scaled);
        }
    }
    cairo_scaled_font_destroy(scaled);
    if (family != kFamily || style != wantedStyle)
        throw std::runtime_error("the panel font resolved to \"" + family + "\" " + style + " (" + file + "), not " +
                                 kFamily + " " + wantedStyle + "; install fonts-dejavu-core");
}

Resolved resolve(const char* query, const char* wantedStyle) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(query));
    if (pattern == nullptr) throw std::runtime_error(std::string("fontconfig cannot parse ") + query);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr || result != FcResultMatch)
        throw std::runtime_error(std::string("fontconfig finds no font for ") + query + "; install fonts-dejavu-core");
    const std::string family = patternString(match, FC_FAMILY);
    const std::string style = patternString(match, FC_STYLE);
    const std::string file = patternString(match, FC_FILE);
    if (family != kFamily || style != wantedStyle) {
        FcPatternDestroy(match);
        throw std::runtime_error(std::string("fontconfig resolved ") + query + " to \"" + family + "\" " + style +
                                 " (" + file + "); install fonts-dejavu-core");
    }
    Resolved resolved;
    resolved.face = cairo_ft_font_face_create_for_pattern(match);
    resolved.file = file;
    FcPatternDestroy(match);  // the face keeps its own reference
    if (cairo_font_face_status(resolved.face) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(resolved.face);
        throw std::runtime_error("cairo cannot open " + file);
    }
    try {
        checkLoadedFace(resolved.face, wantedStyle, file);
    } catch (...) {
        cairo_font_face_destroy(resolved.face);
        throw;
    }
    return resolved;
}

}  // namespace

PanelFonts::PanelFonts() {
    if (!FcInit()) throw std::runtime_error("fontconfig does not start");
    Resolved regular = resolve("DejaVu Sans:style=Book", "Book");
    regular_ = regular.face;
    regularFile_ = regular.file;
    try {
        Resolved bold = resolve("DejaVu Sans:style=Bold", "Bold");
        bold_ = bold.face;
        boldFile_ = bold.file;
    } catch (...) {
        cairo_font_face_destroy(regular_);
        throw;
    }
}

PanelFonts::~PanelFonts() {
    cairo_font_face_destroy(regular_);
    cairo_font_face_destroy(bold_);
}

}  // namespace tarvik::skin

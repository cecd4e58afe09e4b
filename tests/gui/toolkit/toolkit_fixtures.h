// Shared pieces for the toolkit's tests: a Cairo picture to paint into and
// read back, bitmaps of solid-coloured stacked images (so a painted pixel
// tells which image was drawn), mouse events and a listener that records
// what controls report.
#pragma once

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "gui/backend/cairo_draw_context.h"
#include "gui/toolkit/bitmap.h"
#include "gui/toolkit/control.h"
#include "gui/toolkit/events.h"
#include "gui/toolkit/frame.h"

namespace tarvik::gui {

// Rectangles in failure messages as corners.
inline void PrintTo(const Rect& r, std::ostream* out) {
    *out << "[" << r.left << "," << r.top << " - " << r.right << "," << r.bottom << "]";
}

}  // namespace tarvik::gui

namespace tarvik::gui::test {

// Rows of parameterised tests are named by their `name` field.
template <typename Case>
std::string rowName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// Opaque colours as the bitmaps and Cairo store them: 0xAARRGGBB.
inline constexpr std::uint32_t kRed = 0xFFFF0000u;
inline constexpr std::uint32_t kGreen = 0xFF00FF00u;
inline constexpr std::uint32_t kBlue = 0xFF0000FFu;
inline constexpr std::uint32_t kYellow = 0xFFFFFF00u;
inline constexpr std::uint32_t kCyan = 0xFF00FFFFu;
inline constexpr std::uint32_t kMagenta = 0xFFFF00FFu;
inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kGrey = 0xFF808080u;
inline constexpr std::uint32_t kBlack = 0xFF000000u;

inline Color colorOf(std::uint32_t argb) {
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
            static_cast<std::uint8_t>(argb), static_cast<std::uint8_t>(argb >> 24)};
}

// Ten clearly different opaque colours, one per stacked image.
inline std::uint32_t imageColour(int index) {
    static constexpr std::uint32_t kColours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu,
                                                 0xFFFF00FFu, 0xFF800000u, 0xFF008000u, 0xFF000080u, 0xFF808000u};
    return kColours[index];
}

// `count` images of width x height stacked downwards, image i filled with
// imageColour(i).
inline Bitmap stackedImages(int width, int height, int count) {
    Bitmap bitmap(width, height * count);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < width; ++x) bitmap.pixels()[y * width + x] = imageColour(y / height);
    return bitmap;
}

// An ARGB32 picture with a draw context on it.
class Canvas {
public:
    Canvas(int width, int height, std::uint32_t fill = kWhite)
        : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), context_(surface_) {
        this->fill(fill);
    }
    ~Canvas() { cairo_surface_destroy(surface_); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CairoDrawContext& context() { return context_; }
    cairo_surface_t* surface() const { return surface_; }

    void fill(std::uint32_t argb) {
        cairo_t* cr = cairo_create(surface_);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        const Color c = colorOf(argb);
        cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }

    std::uint32_t pixel(int x, int y) const {
        cairo_surface_flush(surface_);
        const unsigned char* row =
            cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const std::uint32_t*>(row)[x];
    }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }

private:
    cairo_surface_t* surface_;
    CairoDrawContext context_;
};

// Paints the whole frame, whatever was marked.
inline void paintAll(Frame& frame, Canvas& canvas) {
    frame.addDirty(frame.rect());
    frame.paintDirty(canvas.context());
}

// The window sits at an offset on the screen, so code that confuses
// window and screen coordinates shows.
inline constexpr Point kScreenOffset{700, 300};

inline MouseEvent mouseAt(Point where, int modifiers = 0, int buttons = button::kLeft) {
    return {where, {where.x + kScreenOffset.x, where.y + kScreenOffset.y}, buttons, modifiers};
}

struct Report {
    enum Kind { Begin, Changed, End };
    Kind kind;
    int tag;
    float value;  // the control's value when it reported
    bool operator==(const Report&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Report& r) {
    static constexpr const char* kNames[] = {"begin", "changed", "end"};
    return out << kNames[r.kind] << "(tag " << r.tag << ", " << r.value << ")";
}

class RecordingListener : public ControlListener {
public:
    void valueChanged(Control& control) override {
        reports.push_back({Report::Changed, control.tag(), control.value()});
    }
    void beginEdit(Control& control) override { reports.push_back({Report::Begin, control.tag(), control.value()}); }
    void endEdit(Control& control) override { reports.push_back({Report::End, control.tag(), control.value()}); }

    std::vector<Report::Kind> kinds() const {
        std::vector<Report::Kind> k;
        for (const Report& r : reports) k.push_back(r.kind);
        return k;
    }

    std::vector<Report> reports;
};

}  // namespace tarvik::gui::test

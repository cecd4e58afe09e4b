// Drawing with GDI+ into 32-bit premultiplied pixels: the window's back
// buffer (a top-down DIB section) or any picture a test or tool renders.
#pragma once

#include "gui/backend/gdiplus_session.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gui/toolkit/draw_context.h"

namespace tarvik::gui {

class GdiplusDrawContext : public DrawContext {
public:
    // Draws on width × height pixels at `pixels` (not owned): rows top to
    // bottom, width × 4 bytes apart, 0xAARRGGBB premultiplied, which is both
    // our Bitmap's layout and a top-down 32-bit DIB section's.
    GdiplusDrawContext(std::uint32_t* pixels, int width, int height);
    explicit GdiplusDrawContext(Bitmap& target);
    ~GdiplusDrawContext() override;
    GdiplusDrawContext(const GdiplusDrawContext&) = delete;
    GdiplusDrawContext& operator=(const GdiplusDrawContext&) = delete;

    // False when GDI+ did not start or refused the pixels: drawing then
    // does nothing.
    bool ready() const { return graphics_ != nullptr; }

    void save() override;
    void restore() override;
    void clip(const Rect& r) override;
    void setGlobalAlpha(double alpha) override { alpha_ = alpha; }

    void fillRect(const Rect& r, Color c) override;
    void frameRect(const Rect& r, Color c, double lineWidth) override;
    void fillRoundedRect(const Rect& r, double radius, Color c) override;
    void drawBitmap(const Bitmap& bitmap, const Rect& dest, Point source) override;
    void drawPolyline(const PointF* points, int count, double lineWidth, Color c, bool antialias) override;
    void drawText(std::string_view utf8, const Rect& r, const Font& font, Color c, TextAlign align) override;
    double textWidth(std::string_view utf8, const Font& font) override;

private:
    // The panel's font in this size and weight; null when no family is
    // installed at all.
    GdiplusPtr<Gdiplus::GpFont> makeFont(const Font& font);
    bool prepareText();
    // The advance of `text` in `gpFont`, trailing spaces included.
    double measure(const std::wstring& text, Gdiplus::GpFont* gpFont);
    GdiplusPtr<Gdiplus::GpSolidFill> brush(Color c) const;
    GdiplusPtr<Gdiplus::GpPen> pen(Color c, double lineWidth) const;

    GdiplusSession session_;  // first: everything below is freed before it ends
    GdiplusPtr<Gdiplus::GpBitmap> target_;
    GdiplusPtr<Gdiplus::GpGraphics> graphics_;
    double alpha_ = 1.0;
    std::vector<std::pair<Gdiplus::GraphicsState, double>> saved_;
    // Looked up with the first text drawn or measured.
    bool textPrepared_ = false;
    GdiplusPtr<Gdiplus::GpFontFamily> family_;
    GdiplusPtr<Gdiplus::GpStringFormat> format_;
};

// The font families the panel's text asks for, best first: DejaVu Sans as
// on Linux where it is installed, else the Windows interface fonts.
inline constexpr const wchar_t* kPanelFontFamilies[] = {L"DejaVu Sans", L"Tahoma", L"Arial"};

}  // namespace tarvik::gui

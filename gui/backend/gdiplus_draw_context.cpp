#include "gui/backend/gdiplus_draw_context.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvik::gui {

namespace {

namespace gp = Gdiplus::DllExports;

// A picture's own GDI+ image over its pixels (no copy), made once and kept
// with it. It holds a session of its own: a skin's pictures may outlive
// every window, and an image freed after GDI+ shut down would crash.
struct CachedImage {
    GdiplusSession session;  // first: outlives the image
    GdiplusPtr<Gdiplus::GpBitmap> image;
};

GdiplusPtr<Gdiplus::GpBitmap> wrap(std::uint32_t* pixels, int width, int height) {
    Gdiplus::GpBitmap* image = nullptr;
    if (!pixels || width < 1 || height < 1 || width > INT_MAX / 4) return nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels),
                                      &image) != Gdiplus::Ok)
        return nullptr;
    return GdiplusPtr<Gdiplus::GpBitmap>(image);
}

Gdiplus::GpBitmap* cachedImage(const Bitmap& bitmap) {
    auto* cached = static_cast<CachedImage*>(bitmap.native([&] {
        auto made = std::make_shared<CachedImage>();
        // GDI+ only reads a picture it draws from; the pixels stay const.
        if (made->session.started())
            made->image = wrap(const_cast<std::uint32_t*>(bitmap.pixels()), bitmap.width(), bitmap.height());
        return std::shared_ptr<void>(std::move(made));
    }));
    return cached->image.get();
}

Gdiplus::ARGB argbOf(Color c, double alpha) {
    const long a = std::lround(std::clamp(c.a * alpha, 0.0, 255.0));
    return (static_cast<Gdiplus::ARGB>(a) << 24) | (static_cast<Gdiplus::ARGB>(c.r) << 16) |
           (static_cast<Gdiplus::ARGB>(c.g) << 8) | static_cast<Gdiplus::ARGB>(c.b);
}

// Strokes are moved half a pixel up and left by hand, under no pixel offset,
// rather than left to PixelOffsetModeHalf: Windows' GDI+ treats the two
// alike, but not every GDI+ applies the offset mode to pens (Wine's ignores
// it and lands odd-width lines a pixel right of and below where they
// belong).
constexpr double kStrokeShift = -0.5;

class StrokeSettings {
public:
    StrokeSettings(Gdiplus::GpGraphics* graphics, Gdiplus::SmoothingMode smoothing) : graphics_(graphics) {
        gp::GdipGetSmoothingMode(graphics_, &smoothing_);
        gp::GdipGetPixelOffsetMode(graphics_, &offset_);
        gp::GdipSetSmoothingMode(graphics_, smoothing);
        gp::GdipSetPixelOffsetMode(graphics_, Gdiplus::PixelOffsetModeNone);
    }
    ~StrokeSettings() {
        gp::GdipSetPixelOffsetMode(graphics_, offset_);
        gp::GdipSetSmoothingMode(graphics_, smoothing_);
    }
    StrokeSettings(const StrokeSettings&) = delete;
    StrokeSettings& operator=(const StrokeSettings&) = delete;

private:
    Gdiplus::GpGraphics* graphics_;
    Gdiplus::SmoothingMode smoothing_ = Gdiplus::SmoothingModeAntiAlias;
    Gdiplus::PixelOffsetMode offset_ = Gdiplus::PixelOffsetModeHalf;
};

}  // namespace

GdiplusDrawContext::GdiplusDrawContext(std::uint32_t* pixels, int width, int height) {
    if (!session_.started()) return;
    target_ = wrap(pixels, width, height);
    Gdiplus::GpGraphics* graphics = nullptr;
    if (!target_ || gp::GdipGetImageGraphicsContext(target_.get(), &graphics) != Gdiplus::Ok) return;
    graphics_.reset(graphics);
    gp::GdipSetPageUnit(graphics, Gdiplus::UnitPixel);
    // Pixel i covers [i, i + 1) as in Cairo: rectangles on whole pixels
    // fill crisply and pictures copied at their own size are copied pixel
    // for pixel (strokes get the same grid through StrokeSettings).
    gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHalf);
    gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeAntiAlias);
    gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeNearestNeighbor);
    gp::GdipSetTextRenderingHint(graphics, Gdiplus::TextRenderingHintAntiAliasGridFit);
}

GdiplusDrawContext::GdiplusDrawContext(Bitmap& target)
    : GdiplusDrawContext(target.pixels(), target.width(), target.height()) {}

GdiplusDrawContext::~GdiplusDrawContext() {
    // Whoever reads the pixels next (the window's blit) must see every stroke.
    if (graphics_) gp::GdipFlush(graphics_.get(), Gdiplus::FlushIntentionSync);
}

void GdiplusDrawContext::save() {
    Gdiplus::GraphicsState state = 0;
    if (graphics_) gp::GdipSaveGraphics(graphics_.get(), &state);
    saved_.emplace_back(state, alpha_);
}

void GdiplusDrawContext::restore() {
    if (saved_.empty()) return;
    if (graphics_) gp::GdipRestoreGraphics(graphics_.get(), saved_.back().first);
    alpha_ = saved_.back().second;
    saved_.pop_back();
}

void GdiplusDrawContext::clip(const Rect& r) {
    if (!graphics_) return;
    gp::GdipSetClipRectI(graphics_.get(), r.left, r.top, std::max(0, r.width()), std::max(0, r.height()),
                         Gdiplus::CombineModeIntersect);
}

GdiplusPtr<Gdiplus::GpSolidFill> GdiplusDrawContext::brush(Color c) const {
    Gdiplus::GpSolidFill* made = nullptr;
    if (gp::GdipCreateSolidFill(argbOf(c, alpha_), &made) != Gdiplus::Ok) return nullptr;
    return GdiplusPtr<Gdiplus::GpSolidFill>(made);
}

GdiplusPtr<Gdiplus::GpPen> GdiplusDrawContext::pen(Color c, double lineWidth) const {
    Gdiplus::GpPen* made = nullptr;
    if (gp::GdipCreatePen1(argbOf(c, alpha_), static_cast<Gdiplus::REAL>(lineWidth), Gdiplus::UnitWorld, &made) !=
        Gdiplus::Ok)
        return nullptr;
    return GdiplusPtr<Gdiplus::GpPen>(made);
}

void GdiplusDrawContext::fillRect(const Rect& r, Color c) {
    if (!graphics_ || r.empty()) return;
    if (auto b = brush(c)) gp::GdipFillRectangleI(graphics_.get(), b.get(), r.left, r.top, r.width(), r.height());
}

void GdiplusDrawContext::frameRect(const Rect& r, Color c, double lineWidth) {
    if (!graphics_ || r.empty() || !(lineWidth > 0.0)) return;
    const auto p = pen(c, lineWidth);
    if (!p) return;
    // The line runs inside the rectangle: its centre is half a width in.
    const double inset = lineWidth / 2.0 + kStrokeShift;
    const StrokeSettings settings(graphics_.get(), Gdiplus::SmoothingModeAntiAlias);
    gp::GdipDrawRectangle(graphics_.get(), p.get(), static_cast<Gdiplus::REAL>(r.left + inset),
                          static_cast<Gdiplus::REAL>(r.top + inset), static_cast<Gdiplus::REAL>(r.width() - lineWidth),
                          static_cast<Gdiplus::REAL>(r.height() - lineWidth));
}

void GdiplusDrawContext::fillRoundedRect(const Rect& r, double radius, Color c) {
    if (!graphics_ || r.empty()) return;
    // Corners wider than half a side would cross each other.
    const double rounding = std::min({radius, r.width() / 2.0, r.height() / 2.0});
    if (!(rounding > 0.0)) {
        fillRect(r, c);
        return;
    }
    Gdiplus::GpPath* made = nullptr;
    if (gp::GdipCreatePath(Gdiplus::FillModeWinding, &made) != Gdiplus::Ok) return;
    const GdiplusPtr<Gdiplus::GpPath> path(made);
    const auto d = static_cast<Gdiplus::REAL>(2.0 * rounding);
    const auto left = static_cast<Gdiplus::REAL>(r.left);
    const auto top = static_cast<Gdiplus::REAL>(r.top);
    const auto right = static_cast<Gdiplus::REAL>(r.right) - d;
    const auto bottom = static_cast<Gdiplus::REAL>(r.bottom) - d;
    // Clockwise from the top right corner; angles run clockwise from 3 o'clock.
    gp::GdipAddPathArc(path.get(), right, top, d, d, 270.0f, 90.0f);
    gp::GdipAddPathArc(path.get(), right, bottom, d, d, 0.0f, 90.0f);
    gp::GdipAddPathArc(path.get(), left, bottom, d, d, 90.0f, 90.0f);
    gp::GdipAddPathArc(path.get(), left, top, d, d, 180.0f, 90.0f);
    gp::GdipClosePathFigure(path.get());
    if (auto b = brush(c)) gp::GdipFillPath(graphics_.get(), b.get(), path.get());
}

void GdiplusDrawContext::drawBitmap(const Bitmap& bitmap, const Rect& dest, Point source) {
    if (!graphics_ || bitmap.empty() || dest.empty()) return;
    const double alpha = std::clamp(alpha_, 0.0, 1.0);
    if (alpha <= 0.0) return;
    // Only the part of the source inside the picture is drawn (Cairo leaves
    // the rest transparent; GDI+ would stretch or refuse it).
    const Rect wanted = Rect::sized(source.x, source.y, dest.width(), dest.height());
    const Rect inside = wanted.intersection(Rect::sized(0, 0, bitmap.width(), bitmap.height()));
    if (inside.empty()) return;
    Gdiplus::GpBitmap* image = cachedImage(bitmap);
    if (!image) return;
    const Rect to = inside.offset(dest.left - source.x, dest.top - source.y);

    GdiplusPtr<Gdiplus::GpImageAttributes> attributes;
    if (alpha < 1.0) {
        Gdiplus::GpImageAttributes* made = nullptr;
        if (gp::GdipCreateImageAttributes(&made) != Gdiplus::Ok) return;
        attributes.reset(made);
        // Identity, with the alpha channel scaled by the global alpha.
        Gdiplus::ColorMatrix matrix{};
        for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
        matrix.m[3][3] = static_cast<Gdiplus::REAL>(alpha);
        gp::GdipSetImageAttributesColorMatrix(attributes.get(), Gdiplus::ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
                                              Gdiplus::ColorMatrixFlagsDefault);
    }
    gp::GdipDrawImageRectRectI(graphics_.get(), image, to.left, to.top, to.width(), to.height(), inside.left,
                               inside.top, inside.width(), inside.height(), Gdiplus::UnitPixel, attributes.get(),
                               nullptr, nullptr);
}

void GdiplusDrawContext::drawPolyline(const PointF* points, int count, double lineWidth, Color c, bool antialias) {
    if (!graphics_ || !points || count < 2) return;
    auto p = pen(c, lineWidth);
    if (!p) return;
    gp::GdipSetPenLineCap197819(p.get(), Gdiplus::LineCapRound, Gdiplus::LineCapRound, Gdiplus::DashCapRound);
    gp::GdipSetPenLineJoin(p.get(), Gdiplus::LineJoinRound);
    std::vector<Gdiplus::PointF> corners;
    corners.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        corners.emplace_back(static_cast<Gdiplus::REAL>(points[i].x + kStrokeShift),
                             static_cast<Gdiplus::REAL>(points[i].y + kStrokeShift));
    const StrokeSettings settings(graphics_.get(),
                                  antialias ? Gdiplus::SmoothingModeAntiAlias : Gdiplus::SmoothingModeNone);
    gp::GdipDrawLines(graphics_.get(), p.get(), corners.data(), count);
}

bool GdiplusDrawContext::prepareText() {
    if (!graphics_) return false;
    if (textPrepared_) return family_ && format_;
    textPrepared_ = true;
    for (const wchar_t* name : kPanelFontFamilies) {
        Gdiplus::GpFontFamily* made = nullptr;
        if (gp::GdipCreateFontFamilyFromName(name, nullptr, &made) == Gdiplus::Ok && made) {
            family_.reset(made);
            break;
        }
    }
    if (!family_) {
        // GDI+ keeps the generic family itself; ours is a copy we may free.
        Gdiplus::GpFontFamily* generic = nullptr;
        Gdiplus::GpFontFamily* copy = nullptr;
        if (gp::GdipGetGenericFontFamilySansSerif(&generic) == Gdiplus::Ok &&
            gp::GdipCloneFontFamily(generic, &copy) == Gdiplus::Ok)
            family_.reset(copy);
    }
    // The typographic format measures and places the glyphs themselves,
    // without the sixth of an em GDI+ otherwise pads on either side; one
    // line, trailing spaces counted as Cairo's advance counts them.
    Gdiplus::GpStringFormat* typographic = nullptr;
    Gdiplus::GpStringFormat* copy = nullptr;
    if (gp::GdipStringFormatGetGenericTypographic(&typographic) == Gdiplus::Ok &&
        gp::GdipCloneStringFormat(typographic, &copy) == Gdiplus::Ok) {
        format_.reset(copy);
        INT flags = 0;
        gp::GdipGetStringFormatFlags(copy, &flags);
        gp::GdipSetStringFormatFlags(
            copy, flags | Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    }
    return family_ && format_;
}

GdiplusPtr<Gdiplus::GpFont> GdiplusDrawContext::makeFont(const Font& font) {
    if (!prepareText()) return nullptr;
    const auto size = static_cast<Gdiplus::REAL>(font.size);
    Gdiplus::GpFont* made = nullptr;
    // A family without a bold face draws its regular one.
    if (font.bold &&
        gp::GdipCreateFont(family_.get(), size, Gdiplus::FontStyleBold, Gdiplus::UnitPixel, &made) == Gdiplus::Ok)
        return GdiplusPtr<Gdiplus::GpFont>(made);
    if (gp::GdipCreateFont(family_.get(), size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel, &made) == Gdiplus::Ok)
        return GdiplusPtr<Gdiplus::GpFont>(made);
    return nullptr;
}

void GdiplusDrawContext::drawText(std::string_view utf8, const Rect& r, const Font& font, Color c, TextAlign align) {
    const std::wstring text = toUtf16(utf8, false);
    if (text.empty() || r.empty() || !(font.size > 0.0)) return;
    const auto gpFont = makeFont(font);
    if (!gpFont) return;
    INT style = Gdiplus::FontStyleRegular;
    gp::GdipGetFontStyle(gpFont.get(), &style);
    UINT16 em = 0;
    UINT16 ascentUnits = 0;
    UINT16 descentUnits = 0;
    gp::GdipGetEmHeight(family_.get(), style, &em);
    gp::GdipGetCellAscent(family_.get(), style, &ascentUnits);
    gp::GdipGetCellDescent(family_.get(), style, &descentUnits);
    if (em == 0) return;
    const double ascent = font.size * ascentUnits / em;
    const double descent = font.size * descentUnits / em;
    const double advance = measure(text, gpFont.get());

    double x = r.left;
    if (align == TextAlign::Centre) x = r.left + (r.width() - advance) / 2.0;
    if (align == TextAlign::Right) x = r.right - advance;
    // The baseline where Cairo puts it: the font's ascent and descent
    // centred in the rectangle. GDI+ places the top of the ascent at y.
    const double baseline = r.top + (r.height() + ascent - descent) / 2.0;
    const Gdiplus::RectF origin(static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(baseline - ascent), 0.0f,
                                0.0f);
    const auto b = brush(c);
    if (!b) return;
    scoped([&] {
        clip(r);
        gp::GdipDrawString(graphics_.get(), text.c_str(), static_cast<INT>(text.size()), gpFont.get(), &origin,
                           format_.get(), b.get());
    });
}

double GdiplusDrawContext::measure(const std::wstring& text, Gdiplus::GpFont* gpFont) {
    const Gdiplus::RectF unlimited(0.0f, 0.0f, 0.0f, 0.0f);
    Gdiplus::RectF box;
    if (gp::GdipMeasureString(graphics_.get(), text.c_str(), static_cast<INT>(text.size()), gpFont, &unlimited,
                              format_.get(), &box, nullptr, nullptr) != Gdiplus::Ok)
        return 0.0;
    return box.Width;
}

double GdiplusDrawContext::textWidth(std::string_view utf8, const Font& font) {
    const std::wstring text = toUtf16(utf8, false);
    if (text.empty() || !(font.size > 0.0)) return 0.0;
    const auto gpFont = makeFont(font);
    return gpFont ? measure(text, gpFont.get()) : 0.0;
}

}  // namespace tarvik::gui

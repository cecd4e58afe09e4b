#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "gui/backend/cairo_draw_context.h"
#include "gui/toolkit/bitmap.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik::gui {
namespace {

namespace fs = std::filesystem;
using test::Canvas;

int channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFFu); }

// Each of the four bytes within `tolerance` of the other's.
::testing::AssertionResult pixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift : {24, 16, 8, 0}) {
        if (std::abs(channel(actual, shift) - channel(expected, shift)) > tolerance)
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

// --- Reading PNG pictures.

struct PngCase {
    const char* name;
    friend void PrintTo(const PngCase& c, std::ostream* out) { *out << c.name; }
    cairo_format_t format;
    std::vector<std::uint32_t> pixels;  // 3 wide, as the surface holds them
    std::vector<std::uint32_t> read;    // as the bitmap should hold them
    int tolerance;                      // unpremultiplying in the file rounds
};

class PngRoundTrip : public ::testing::TestWithParam<PngCase> {
protected:
    tarvik::test::ScopedDataFolder folder_;
};

TEST_P(PngRoundTrip, LoadsThePixelsWritten) {
    const PngCase& c = GetParam();
    const int width = 3;
    const int height = static_cast<int>(c.pixels.size()) / width;
    cairo_surface_t* surface = cairo_image_surface_create(c.format, width, height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = c.pixels[static_cast<std::size_t>(y * width + x)];
    cairo_surface_mark_dirty(surface);
    const std::string path = (folder_.path() / "picture.png").string();
    ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);

    const std::optional<Bitmap> bitmap = loadPng(path);
    ASSERT_TRUE(bitmap.has_value());
    ASSERT_EQ(bitmap->width(), width);
    ASSERT_EQ(bitmap->height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_TRUE(pixelNear(bitmap->pixel(x, y), c.read[static_cast<std::size_t>(y * width + x)], c.tolerance))
                << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngRoundTrip,
    ::testing::Values(PngCase{"Opaque",
                              CAIRO_FORMAT_ARGB32,
                              {test::kRed, test::kGreen, test::kBlue, test::kWhite, test::kBlack, 0xFF123456u},
                              {test::kRed, test::kGreen, test::kBlue, test::kWhite, test::kBlack, 0xFF123456u},
                              0},
                      // Half-transparent pixels come back premultiplied: their colour
                      // bytes never exceed their alpha.
                      PngCase{"Translucent",
                              CAIRO_FORMAT_ARGB32,
                              {0x80800000u, 0x80404040u, 0x00000000u, 0x40002040u, 0xC0C0C000u, 0xFF00FF00u},
                              {0x80800000u, 0x80404040u, 0x00000000u, 0x40002040u, 0xC0C0C000u, 0xFF00FF00u},
                              1},
                      // A picture without alpha reads as opaque.
                      PngCase{"WithoutAlpha",
                              CAIRO_FORMAT_RGB24,
                              {0x00FF0000u, 0x0000FF00u, 0x000000FFu},
                              {test::kRed, test::kGreen, test::kBlue},
                              0}),
    test::rowName<PngCase>);

struct UnreadableCase {
    const char* name;
    friend void PrintTo(const UnreadableCase& c, std::ostream* out) { *out << c.name; }
    // Makes the file (or not) in the folder and answers its path.
    fs::path (*make)(const fs::path& folder);
};

class UnreadablePng : public ::testing::TestWithParam<UnreadableCase> {
protected:
    tarvik::test::ScopedDataFolder folder_;
};

TEST_P(UnreadablePng, GivesNothing) { EXPECT_FALSE(loadPng(GetParam().make(folder_.path()).string()).has_value()); }

// A small valid PNG file.
std::string pngBytes(const fs::path& folder) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 16, 16);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, 0.2, 0.4, 0.6, 0.8);
    cairo_paint(cr);
    cairo_destroy(cr);
    const fs::path path = folder / "valid.png";
    cairo_surface_write_to_png(surface, path.string().c_str());
    cairo_surface_destroy(surface);
    return tarvik::test::readWholeFile(path);
}

INSTANTIATE_TEST_SUITE_P(
    Png, UnreadablePng,
    ::testing::Values(UnreadableCase{"MissingFile", [](const fs::path& f) { return f / "none.png"; }},
                      UnreadableCase{"Folder",
                                     [](const fs::path& f) {
                                         fs::create_directory(f / "skin.png");
                                         return f / "skin.png";
                                     }},
                      UnreadableCase{"TextFile",
                                     [](const fs::path& f) {
                                         tarvik::test::writeWholeFile(f / "knob.png", "[Knob]\nImage=knob.bmp\n");
                                         return f / "knob.png";
                                     }},
                      UnreadableCase{"EmptyFile",
                                     [](const fs::path& f) {
                                         tarvik::test::writeWholeFile(f / "empty.png", "");
                                         return f / "empty.png";
                                     }},
                      UnreadableCase{"TruncatedFile",
                                     [](const fs::path& f) {
                                         const std::string whole = pngBytes(f);
                                         tarvik::test::writeWholeFile(f / "cut.png", whole.substr(0, whole.size() / 2));
                                         return f / "cut.png";
                                     }}),
    test::rowName<UnreadableCase>);

class DecodePng : public ::testing::Test {
protected:
    std::optional<Bitmap> decode(const std::string& bytes) const {
        return decodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }

    tarvik::test::ScopedDataFolder folder_;
    std::string whole_ = pngBytes(folder_.path());
};

TEST_F(DecodePng, WholeDataDecodes) {
    const std::optional<Bitmap> bitmap = decode(whole_);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->width(), 16);
    EXPECT_EQ(bitmap->height(), 16);
    // 0.8 alpha, colours premultiplied by it.
    EXPECT_TRUE(pixelNear(bitmap->pixel(7, 7), 0xCC29527Au, 2));
}

TEST_F(DecodePng, TruncatedDataGivesNothing) {
    // The signature alone, the header alone, and cuts through the image data.
    for (std::size_t size : {std::size_t{0}, std::size_t{8}, std::size_t{33}, whole_.size() / 2, whole_.size() - 20}) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(decode(whole_.substr(0, size)).has_value());
    }
}

TEST_F(DecodePng, DamagedHeaderGivesNothing) {
    std::string damaged = whole_;
    damaged[16] = static_cast<char>(damaged[16] ^ 0x40);  // inside the width, so the checksum fails
    EXPECT_FALSE(decode(damaged).has_value());
}

TEST(DecodePngInput, OtherDataGivesNothing) {
    const std::string text = "GIF89a not a PNG at all, but long enough to read a header from";
    EXPECT_FALSE(decodePng(reinterpret_cast<const unsigned char*>(text.data()), text.size()).has_value());
}

// --- The size a picture may have.

struct SizeCase {
    const char* name;
    friend void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.name; }
    std::uint32_t width;
    std::uint32_t height;
    bool allowed;
};

class DeclaredSize : public ::testing::TestWithParam<SizeCase> {
protected:
    tarvik::test::ScopedDataFolder folder_;
};

// The header of a real PNG with another size written into it: the size is
// read from there, before any decoding.
TEST_P(DeclaredSize, IsReadFromTheHeaderAndJudged) {
    const SizeCase& c = GetParam();
    std::string png = pngBytes(folder_.path());
    for (int i = 0; i < 4; ++i) {
        png[static_cast<std::size_t>(16 + i)] = static_cast<char>(c.width >> (24 - 8 * i));
        png[static_cast<std::size_t>(20 + i)] = static_cast<char>(c.height >> (24 - 8 * i));
    }
    const std::optional<PictureSize> size = pngSize(reinterpret_cast<const unsigned char*>(png.data()), png.size());
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, c.width);
    EXPECT_EQ(size->height, c.height);
    EXPECT_EQ(pictureSizeAllowed(*size), c.allowed);
}

INSTANTIATE_TEST_SUITE_P(Png, DeclaredSize,
                         ::testing::Values(SizeCase{"Small", 16, 16, true},
                                           SizeCase{"LargestSquare", 4096, 4096, true},
                                           SizeCase{"OneColumnMore", 4097, 4096, false},
                                           SizeCase{"TallKnobStrip", 64, 32767, true},
                                           SizeCase{"TallerThanASide", 1, 32768, false},
                                           SizeCase{"ThirtyThousandSquare", 30000, 30000, false},
                                           SizeCase{"BeyondInt", 0x80000000u, 1, false},
                                           SizeCase{"NoWidth", 0, 16, false}),
                         test::rowName<SizeCase>);

TEST(DecodePngInput, NoHeaderChunkGivesNoSize) {
    const unsigned char signatureOnly[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13,
                                           'I',  'D', 'A', 'T', 0,    0,    0,    1,    0, 0, 0, 1};
    EXPECT_FALSE(pngSize(signatureOnly, sizeof signatureOnly).has_value());
    EXPECT_FALSE(pngSize(signatureOnly, 20).has_value());
}

// A whole, valid picture one column beyond the limit is not decoded.
TEST(DecodePngInput, APictureBeyondTheLimitGivesNothing) {
    tarvik::test::ScopedDataFolder folder;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4097, 4096);
    const std::string path = (folder.path() / "huge.png").string();
    ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
    EXPECT_FALSE(loadPng(path).has_value());
}

// --- Drawing.

// An 8 x 8 bitmap in four solid quarters.
Bitmap quarters() {
    Bitmap b(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b.pixels()[y * 8 + x] = y < 4 ? (x < 4 ? test::kRed : test::kGreen) : (x < 4 ? test::kBlue : test::kYellow);
    return b;
}

struct SubImageCase {
    const char* name;
    friend void PrintTo(const SubImageCase& c, std::ostream* out) { *out << c.name; }
    Point source;
    std::uint32_t colour;
};

class DrawBitmapSource : public ::testing::TestWithParam<SubImageCase> {};

TEST_P(DrawBitmapSource, CopiesThatPartIntoDestOnly) {
    const Bitmap bitmap = quarters();
    Canvas canvas(30, 30);
    canvas.context().drawBitmap(bitmap, Rect::sized(10, 12, 4, 4), GetParam().source);
    for (Point p : {Point{10, 12}, Point{13, 12}, Point{10, 15}, Point{13, 15}})
        EXPECT_EQ(canvas.pixel(p.x, p.y), GetParam().colour) << "inside at " << p.x << "," << p.y;
    for (Point p : {Point{9, 12}, Point{14, 12}, Point{10, 11}, Point{10, 16}, Point{14, 16}, Point{0, 0}})
        EXPECT_EQ(canvas.pixel(p.x, p.y), test::kWhite) << "outside at " << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Draw, DrawBitmapSource,
                         ::testing::Values(SubImageCase{"TopLeft", {0, 0}, test::kRed},
                                           SubImageCase{"TopRight", {4, 0}, test::kGreen},
                                           SubImageCase{"BottomLeft", {0, 4}, test::kBlue},
                                           SubImageCase{"BottomRight", {4, 4}, test::kYellow}),
                         test::rowName<SubImageCase>);

TEST(Draw, BitmapBlendsByItsAlpha) {
    Bitmap half(2, 2);
    for (int i = 0; i < 4; ++i) half.pixels()[i] = 0x80000000u;  // black at half
    Canvas canvas(4, 4);
    canvas.context().drawBitmap(half, Rect::sized(0, 0, 2, 2), {0, 0});
    EXPECT_TRUE(pixelNear(canvas.pixel(1, 1), 0xFF7F7F7Fu, 2));
}

TEST(Draw, GlobalAlphaFadesBitmapsAndFills) {
    const Bitmap bitmap = quarters();
    Canvas canvas(20, 10);
    canvas.context().scoped([&] {
        canvas.context().setGlobalAlpha(0.5);
        canvas.context().drawBitmap(bitmap, Rect::sized(0, 0, 4, 4), {0, 0});
        canvas.context().fillRect(Rect::sized(10, 0, 4, 4), test::colorOf(test::kBlue));
    });
    canvas.context().fillRect(Rect::sized(15, 0, 4, 4), test::colorOf(test::kBlue));
    EXPECT_TRUE(pixelNear(canvas.pixel(1, 1), 0xFFFF7F7Fu, 2));
    EXPECT_TRUE(pixelNear(canvas.pixel(11, 1), 0xFF7F7FFFu, 2));
    EXPECT_EQ(canvas.pixel(16, 1), test::kBlue) << "restore brings full alpha back";
}

struct ClipCase {
    const char* name;
    friend void PrintTo(const ClipCase& c, std::ostream* out) { *out << c.name; }
    std::vector<Rect> clips;  // applied in turn
    Rect painted;             // where a fill of everything lands
};

class DrawClip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(DrawClip, LimitsDrawing) {
    const ClipCase& c = GetParam();
    const Bitmap bitmap = test::stackedImages(40, 40, 1);
    for (bool withBitmap : {false, true}) {
        SCOPED_TRACE(withBitmap ? "bitmap" : "fill");
        Canvas canvas(40, 40);
        for (const Rect& r : c.clips) canvas.context().clip(r);
        if (withBitmap) {
            canvas.context().drawBitmap(bitmap, Rect::sized(0, 0, 40, 40), {0, 0});
        } else {
            canvas.context().fillRect(Rect::sized(0, 0, 40, 40), test::colorOf(test::kRed));
        }
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool painted = canvas.pixel(x, y) != test::kWhite;
                ASSERT_EQ(painted, c.painted.contains(Point{x, y})) << "at " << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Draw, DrawClip,
                         ::testing::Values(ClipCase{"One", {Rect::sized(5, 6, 10, 7)}, Rect::sized(5, 6, 10, 7)},
                                           ClipCase{"SecondNarrows",
                                                    {Rect::sized(0, 0, 20, 20), Rect::sized(10, 5, 20, 10)},
                                                    Rect{10, 5, 20, 15}},
                                           ClipCase{"SecondCannotWiden",
                                                    {Rect::sized(10, 10, 5, 5), Rect::sized(0, 0, 40, 40)},
                                                    Rect::sized(10, 10, 5, 5)}),
                         test::rowName<ClipCase>);

TEST(Draw, RestoreLiftsTheClip) {
    Canvas canvas(20, 20);
    canvas.context().scoped([&] { canvas.context().clip(Rect::sized(0, 0, 5, 5)); });
    canvas.context().fillRect(Rect::sized(0, 0, 20, 20), test::colorOf(test::kRed));
    EXPECT_EQ(canvas.pixel(15, 15), test::kRed);
}

TEST(Draw, SurfaceOfABitmapDrawsIntoItsPixels) {
    Bitmap bitmap(6, 4);
    cairo_surface_t* surface = surfaceOf(bitmap);
    {
        CairoDrawContext context(surface);
        context.fillRect(Rect::sized(2, 1, 3, 2), test::colorOf(test::kCyan));
    }
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    EXPECT_EQ(bitmap.pixel(2, 1), test::kCyan);
    EXPECT_EQ(bitmap.pixel(4, 2), test::kCyan);
    EXPECT_EQ(bitmap.pixel(1, 1), 0u) << "the rest stays transparent";
    EXPECT_EQ(bitmap.pixel(5, 3), 0u);
}

// --- Text.

// The smallest rectangle holding every dark pixel; empty when none.
Rect inkBounds(const Canvas& canvas) {
    Rect ink{canvas.width(), canvas.height(), 0, 0};
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (channel(canvas.pixel(x, y), 16) < 128)
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                       std::max(ink.bottom, y + 1)};
    return ink;
}

TEST(DrawText, StaysInsideItsRectangle) {
    Canvas canvas(200, 60);
    const Rect box = Rect::sized(20, 20, 60, 20);
    // Far too long for the box: the rest is cut off.
    canvas.context().drawText("Tarvik bass synthesizer", box, Font{14.0, false}, test::colorOf(test::kBlack),
                              TextAlign::Left);
    const Rect ink = inkBounds(canvas);
    EXPECT_FALSE(ink.empty()) << "no text drawn";
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (!box.contains(Point{x, y})) {
                ASSERT_EQ(canvas.pixel(x, y), test::kWhite) << "at " << x << "," << y;
            }
}

struct AlignCase {
    const char* name;
    friend void PrintTo(const AlignCase& c, std::ostream* out) { *out << c.name; }
    TextAlign align;
};

class DrawTextAlign : public ::testing::TestWithParam<AlignCase> {};

TEST_P(DrawTextAlign, PlacesTheText) {
    Canvas canvas(200, 50);
    const Rect box = Rect::sized(10, 10, 180, 30);
    const Font font{14.0, true};
    canvas.context().drawText("Bass", box, font, test::colorOf(test::kBlack), GetParam().align);
    const Rect ink = inkBounds(canvas);
    ASSERT_FALSE(ink.empty());
    EXPECT_TRUE(box.contains(ink));
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (box.top + box.bottom) / 2.0, 3.0) << "vertically centred";
    EXPECT_NEAR(ink.width(), canvas.context().textWidth("Bass", font), 4.0);
    switch (GetParam().align) {
        case TextAlign::Left:
            EXPECT_NEAR(ink.left, box.left, 2);
            break;
        case TextAlign::Right:
            EXPECT_NEAR(ink.right, box.right, 3);
            break;
        case TextAlign::Centre:
            EXPECT_NEAR((ink.left + ink.right) / 2.0, (box.left + box.right) / 2.0, 2.0);
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(DrawText, DrawTextAlign,
                         ::testing::Values(AlignCase{"Left", TextAlign::Left}, AlignCase{"Centre", TextAlign::Centre},
                                           AlignCase{"Right", TextAlign::Right}),
                         test::rowName<AlignCase>);

TEST(DrawText, WiderTextMeasuresWider) {
    Canvas canvas(10, 10);
    const Font font{12.0, false};
    EXPECT_GT(canvas.context().textWidth("Bass line", font), canvas.context().textWidth("Bass", font));
    EXPECT_GT(canvas.context().textWidth("Bass", Font{24.0, false}), canvas.context().textWidth("Bass", font));
    EXPECT_EQ(canvas.context().textWidth("", font), 0.0);
}

}  // namespace
}  // namespace tarvik::gui

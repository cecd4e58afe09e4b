#include "tools/skin/skin_writer.h"

#include <cmath>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "patch/parameters.h"
#include "tools/skin/art.h"
#include "tools/skin/fonts.h"
#include "tools/skin/panel.h"
#include "tools/skin/pictures.h"
#include "tools/skin/plan.h"

namespace tarvik::skin {

namespace fs = std::filesystem;

FrameSize frameSize(Picture picture) {
    const PictureInfo& info = pictureInfo(picture);
    FrameSize size;
    for (const Element& element : panelElements()) {
        if (element.picture != picture) continue;
        const FrameSize own{info.frameWidth > 0 ? info.frameWidth : element.rect.width, element.rect.height};
        if (size.width == 0)
            size = own;
        else if (own.width != size.width || own.height != size.height)
            throw std::logic_error(std::string(element.tag) + " does not fit the frames of " + info.file);
    }
    return size;
}

std::string skinDefinition() {
    std::ostringstream out;
    out << "; Tarvik default skin.\n"
        << "; Each element: TAG \"picture\", x, y, width, height (pixels). Pictures lie\n"
        << "; in the data folder; frames of a control are stacked top to bottom.\n"
        << "NAME \"Tarvik\"\n"
        << "VERSION 1\n\n";
    for (const Element& element : panelElements()) {
        const Rect& r = element.rect;
        out << element.tag << " \"" << pictureInfo(element.picture).file << "\", " << r.x << ", " << r.y << ", "
            << r.width << ", " << r.height << "\n";
    }
    return out.str();
}

namespace {

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

void writePicture(Picture picture, const fs::path& folder, const Typesetter& type) {
    const FrameSize size = frameSize(picture);
    Canvas canvas(size.width, size.height * pictureInfo(picture).frames);
    drawFrames(picture, canvas, size.width, size.height, type);
    canvas.writePng((folder / pictureInfo(picture).file).string());
}

// What each control shows in the preview: a plausible patch at rest.
constexpr std::string_view kLitInPreview[] = {"VCO1LED8",  "VCO2LED16",   "TRIGGERSINGLE", "MGVCFLED", "RUNSTOPLED",
                                              "NOTELED13", "TIMEMODELED", "ACCENTLED",     "MIDILED",  "GATEACTIVELED"};
constexpr std::string_view kOnInPreview[] = {"OPTIONCABLES", "DELAYBPMSYNC"};

bool listed(std::span<const std::string_view> names, const char* tag) {
    for (const std::string_view name : names)
        if (name == tag) return true;
    return false;
}

int previewFrame(const Element& element) {
    const int frames = pictureInfo(element.picture).frames;
    switch (element.picture) {
    case Picture::KnobLarge:
    case Picture::KnobLargeCentred:
    case Picture::KnobSmall:
    case Picture::KnobSmallCentred: {
        const int parameter = parameterIndex(element);
        const double value = parameter >= 0 ? kParameterTable[static_cast<std::size_t>(parameter)].defaultValue : 0.5;
        return static_cast<int>(std::lround(value * (frames - 1)));
    }
    case Picture::Led: return listed(kLitInPreview, element.tag) ? 1 : 0;
    case Picture::Toggle: return listed(kOnInPreview, element.tag) ? 1 : 0;
    case Picture::Rocker: return 1;
    default: return 0;
    }
}

std::string previewDigits(const Element& element) {
    const std::string_view tag = element.tag;
    if (tag == "TEMPODIGITS") return "120";
    if (tag == "PATTERNDIGITS") return "000";
    if (tag == "STEPDISPLAY") return "01";
    if (tag == "PLAYINGSTEPDISPLAY") return "  ";  // dark: the sequencer stands still
    return "16";
}

struct PngRelease {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Png = std::unique_ptr<cairo_surface_t, PngRelease>;

Png loadPng(const fs::path& path) {
    Png png(cairo_image_surface_create_from_png(path.string().c_str()));
    if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot read " + path.string());
    return png;
}

void blit(cairo_t* cr, cairo_surface_t* png, const Rect& target, int sourceX, int sourceY) {
    cairo_save(cr);
    cairo_rectangle(cr, target.x, target.y, target.width, target.height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, png, target.x - sourceX, target.y - sourceY);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace

void writeSkin(const fs::path& folder) {
    const PanelFonts fonts;
    const Typesetter type(fonts);
    fs::create_directories(folder / "Tarvik Skin");

    std::set<Picture> drawn;
    for (const Element& element : panelElements()) {
        if (element.picture == Picture::Empty || element.picture == Picture::Background) continue;
        if (drawn.insert(element.picture).second) writePicture(element.picture, folder, type);
    }

    Canvas background(kPanelRect.width, kPanelRect.height);
    paintPanel(background, planPanel(type), type);
    background.writePng((folder / pictureInfo(Picture::Background).file).string());

    Canvas scroll(kScrollArrowSize, kScrollArrowSize);
    art::scrollArrow(scroll.cr(), kScrollArrowSize);
    scroll.writePng((folder / kScrollArrowFile).string());
    Canvas mascot(kMascotSize, kMascotSize);
    art::bunnyBug(mascot.cr(), kMascotSize);
    mascot.writePng((folder / kMascotFile).string());

    writeText(folder / "Tarvik.skn", skinDefinition());
}

void writePreview(const fs::path& skinFolder, const fs::path& file) {
    Canvas canvas(kPanelRect.width, kPanelRect.height);
    cairo_t* cr = canvas.cr();
    const Png background = loadPng(skinFolder / pictureInfo(Picture::Background).file);
    blit(cr, background.get(), kPanelRect, 0, 0);
    for (const Element& element : panelElements()) {
        // Overlays and the floating value display are not on show at rest.
        if (isOverlay(element) || element.picture == Picture::DisplayBox) continue;
        const Png png = loadPng(skinFolder / pictureInfo(element.picture).file);
        const FrameSize size = frameSize(element.picture);
        if (element.picture == Picture::Digits) {
            const std::string shown = previewDigits(element);
            for (std::size_t i = 0; i < shown.size(); ++i) {
                const Rect place{element.rect.x + static_cast<int>(i) * size.width, element.rect.y, size.width,
                                 size.height};
                const int image = shown[i] == ' ' ? kDarkDigit : shown[i] - '0';
                blit(cr, png.get(), place, 0, image * size.height);
            }
            continue;
        }
        blit(cr, png.get(), element.rect, 0, previewFrame(element) * size.height);
    }
    canvas.writePng(file.string());
}

}  // namespace tarvik::skin

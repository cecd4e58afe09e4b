#include "tools/skin/pictures.h"

#include <stdexcept>

#include "tools/skin/art.h"

namespace tarvik::skin {

namespace {

void drawFrame(Picture picture, cairo_t* cr, int frame, int frames, double w, double h, const Typesetter& type) {
    const bool second = frame % 2 == 1;
    switch (picture) {
    case Picture::KnobLarge:
    case Picture::KnobSmall:
    case Picture::KnobLargeCentred:
    case Picture::KnobSmallCentred: {
        const bool large = picture == Picture::KnobLarge || picture == Picture::KnobLargeCentred;
        const bool centred = picture == Picture::KnobLargeCentred || picture == Picture::KnobSmallCentred;
        art::knob(cr, w, static_cast<double>(frame) / (frames - 1), large, centred);
        break;
    }
    case Picture::Led: art::led(cr, w, second); break;
    case Picture::Button:
    case Picture::StepButton: art::pushButton(cr, w, h, second, art::Glyph::None); break;
    case Picture::MenuButton: art::pushButton(cr, w, h, second, art::Glyph::DownTriangle); break;
    case Picture::PreviousButton: art::pushButton(cr, w, h, second, art::Glyph::LeftTriangle); break;
    case Picture::NextButton: art::pushButton(cr, w, h, second, art::Glyph::RightTriangle); break;
    case Picture::Toggle: art::toggleButton(cr, w, h, second); break;
    case Picture::TripletButton: art::tripletButton(cr, w, h, second); break;
    case Picture::PatchName: art::nameWindow(cr, w, h, second); break;
    // Frames: upper half pressed, rest, lower half pressed.
    case Picture::Rocker: art::rocker(cr, w, h, frame - 1); break;
    case Picture::LeverSwitch: art::leverSwitch(cr, w, h, second); break;
    case Picture::TimeModeSwitch: art::slideSwitch(cr, w, h, frame, frames); break;
    case Picture::Digits: art::digit(cr, w, h, frame); break;
    // Images 2 and 3 repeat 0 and 1.
    case Picture::Keyboard: art::keyboard(cr, w, h, second); break;
    case Picture::Socket: art::socket(cr, w, second); break;
    case Picture::CablePlug: art::cablePlug(cr, w); break;
    case Picture::PlugShadow: art::plugShadow(cr, w); break;
    case Picture::SmallArrow: art::smallArrow(cr, w, frame, frames); break;
    case Picture::DisplayBox: art::displayBox(cr, w, h); break;
    case Picture::Splash: art::splash(cr, w, h, type); break;
    case Picture::Background:
    case Picture::Empty: throw std::logic_error("not a control picture");
    }
}

}  // namespace

void drawFrames(Picture picture, Canvas& canvas, int frameWidth, int frameHeight, const Typesetter& type) {
    const int frames = pictureInfo(picture).frames;
    cairo_t* cr = canvas.cr();
    for (int frame = 0; frame < frames; ++frame) {
        cairo_save(cr);
        cairo_translate(cr, 0.0, static_cast<double>(frame) * frameHeight);
        // Nothing of one frame may spill into its neighbour.
        cairo_rectangle(cr, 0.0, 0.0, frameWidth, frameHeight);
        cairo_clip(cr);
        drawFrame(picture, cr, frame, frames, frameWidth, frameHeight, type);
        cairo_restore(cr);
    }
}

}  // namespace tarvik::skin

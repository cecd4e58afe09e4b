#include "gui/editor/pitch_keyboard.h"

#include <algorithm>

namespace tarvik::gui {

namespace {

constexpr int kWhiteSemitones[7] = {0, 2, 4, 5, 7, 9, 11};

// Each black key's span within its octave, first and last pixel.
struct BlackKey {
    int semitone;
    int first;
    int last;
};
constexpr BlackKey kBlackKeys[5] = {{1, 12, 24}, {3, 31, 43}, {6, 68, 81}, {8, 88, 100}, {10, 107, 119}};

}  // namespace

PitchKeyboard::PitchKeyboard(const Rect& rect, ControlListener* listener, int tag, const Bitmap* bitmap)
    : Control(rect, listener, tag, bitmap) {
    setRange(0.0f, static_cast<float>(kKeys));
}

int PitchKeyboard::keyAt(int x, int y) {
    if (x < 0 || y < 0 || x >= 3 * kOctaveWidth) return -1;
    const int octave = x / kOctaveWidth;
    const int p = x % kOctaveWidth;
    if (y < kBlackDepth)
        for (const BlackKey& b : kBlackKeys)
            if (p >= b.first && p <= b.last) return octave * 12 + b.semitone;
    return octave * 12 + kWhiteSemitones[p / kWhiteWidth];
}

bool PitchKeyboard::isBlack(int key) {
    const int semitone = key % 12;
    return semitone == 1 || semitone == 3 || semitone == 6 || semitone == 8 || semitone == 10;
}

Rect PitchKeyboard::keyArea(int key, int height) {
    const int octave = key / 12;
    const int semitone = key % 12;
    const int left = octave * kOctaveWidth;
    for (const BlackKey& b : kBlackKeys)
        if (b.semitone == semitone) return {left + b.first, 0, left + b.last + 1, kBlackDepth};
    const int white = static_cast<int>(std::find(std::begin(kWhiteSemitones), std::end(kWhiteSemitones), semitone) -
                                       std::begin(kWhiteSemitones));
    return Rect::sized(left + white * kWhiteWidth, 0, kWhiteWidth, height);
}

int PitchKeyboard::imageHeight() const {
    const Bitmap* b = bitmap();
    return b ? b->height() / kImages : 0;
}

// White keys first, then the black keys over them, each from the image of
// its state.
void PitchKeyboard::draw(DrawContext& context) {
    const Bitmap* b = bitmap();
    const int height = std::min(imageHeight(), rect().height());
    if (!b || height <= 0) return;
    context.scoped([&] {
        context.clip(rect());
        for (const bool black : {false, true}) {
            for (int k = 0; k < kKeys; ++k) {
                if (isBlack(k) != black) continue;
                const Rect area = keyArea(k, height);
                const int image = k == key_ ? 1 : 0;
                context.drawBitmap(*b, area.offset(rect().left, rect().top), {area.left, area.top + image * imageHeight()});
            }
        }
    });
}

void PitchKeyboard::pressKey(int key) {
    if (key == key_) return;
    key_ = key;
    invalid();
    changeByUser(key >= 0 ? static_cast<float>(key + 1) : 0.0f);
}

MouseResult PitchKeyboard::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Ignored;
    const int key = keyAt(event.where.x - rect().left, event.where.y - rect().top);
    if (key < 0) return MouseResult::Ignored;
    beginEdit();
    pressKey(key);
    return MouseResult::Captured;
}

// Sliding along the keys plays each one; off the keys the last one holds.
void PitchKeyboard::onMouseMoved(const MouseEvent& event) {
    if (!rect().contains(event.where)) return;
    const int key = keyAt(event.where.x - rect().left, event.where.y - rect().top);
    if (key >= 0) pressKey(key);
}

void PitchKeyboard::onMouseUp(const MouseEvent& /*event*/) {
    key_ = -1;
    invalid();
    changeByUser(0.0f);
    endEdit();
}

}  // namespace tarvik::gui

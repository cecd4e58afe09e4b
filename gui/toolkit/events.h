// Mouse and key events as views receive them, whatever window system sent
// them. Key codes follow the VST 2.4 virtual keys, as hosts pass them.
#pragma once

#include <vector>

#include "gui/toolkit/geometry.h"

namespace tarvik::gui {

namespace button {
constexpr int kLeft = 1 << 0;
constexpr int kRight = 1 << 1;
constexpr int kMiddle = 1 << 2;
}  // namespace button

namespace modifier {
constexpr int kShift = 1 << 0;
constexpr int kAlt = 1 << 1;
constexpr int kControl = 1 << 2;
}  // namespace modifier

// The VST 2.4 virtual key codes the editor uses.
namespace vkey {
constexpr int kBack = 1;
constexpr int kTab = 2;
constexpr int kReturn = 4;
constexpr int kEscape = 6;
constexpr int kSpace = 7;
constexpr int kEnd = 9;
constexpr int kHome = 10;
constexpr int kLeft = 11;
constexpr int kUp = 12;
constexpr int kRight = 13;
constexpr int kDown = 14;
constexpr int kPageUp = 15;
constexpr int kPageDown = 16;
constexpr int kDelete = 22;
}  // namespace vkey

struct MouseEvent {
    Point where;    // frame coordinates
    Point screen;   // screen coordinates: drags measure from these, since a
                    // captured pointer keeps moving outside the window
    int buttons = 0;    // button:: bits held (at a press: the one pressed)
    int modifiers = 0;  // modifier:: bits
};

struct KeyEvent {
    int character = 0;   // the typed character, lower case for letters; 0 for none
    int virtualKey = 0;  // vkey:: code; 0 for none
    int modifiers = 0;
    bool operator==(const KeyEvent&) const = default;
};

// The keys the editor has a use for at the moment, so that the window
// system can leave every other key with the host (its shortcuts keep
// working while the pointer is over the panel): every key while something
// on the panel takes them all, otherwise just these, each with exactly its
// modifiers.
struct KeyInterest {
    bool everyKey = false;
    std::vector<KeyEvent> keys;
    bool operator==(const KeyInterest&) const = default;
};

}  // namespace tarvik::gui

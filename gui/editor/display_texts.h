// The two lines the floating display shows for what the user touches: a
// knob's parameter and value, its MIDI controller during MIDI learn, a patch
// socket, the filter model.
#pragma once

#include <string>

namespace tarvik {
class ControlFace;
}

namespace tarvik::gui {

struct DisplayTexts {
    std::string title;
    std::string value;
    bool operator==(const DisplayTexts&) const = default;
};

// "<parameter name>:" and the value text the host shows for it.
DisplayTexts knobTexts(const ControlFace& control, int parameter);
// "<parameter name>:" and the controller that drives it, "<name> (#<number>)",
// or "Midi CC: N/A" when none does.
DisplayTexts learnTexts(const ControlFace& control, int parameter);
// "Socket" and the socket's direction and name.
DisplayTexts socketTexts(int socket);
// "Filter" and the short name of the filter mode.
DisplayTexts filterTexts(int mode);

// The usual name of a MIDI controller number (0..127); "Undefined" where
// the MIDI standard gives none, "CC <n>" outside the range.
std::string midiControllerName(int controller);

}  // namespace tarvik::gui

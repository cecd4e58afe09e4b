// The names MIDI gear commonly gives its 128 controller numbers, as the
// floating display shows them during MIDI learn.
#include <array>
#include <string>

#include "gui/editor/display_texts.h"

namespace tarvik::gui {

namespace {

constexpr const char* kUndefined = "Undefined";

constexpr std::array<const char*, 128> kControllerNames = {
    // 0..31: coarse controllers.
    "Banksel", "Modulation", "Breath", kUndefined, "Foot", "Portamento Time", "Data Entry", "Volume",
    "Balance", kUndefined, "Pan", "Expression", "Effect Control 1", "Effect Control 2", kUndefined, kUndefined,
    "General Purpose 1", "General Purpose 2", "General Purpose 3", "General Purpose 4", kUndefined, kUndefined,
    kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined,
    kUndefined,
    // 32..63: the fine parts of 0..31.
    "Banksel LSB", "Modulation LSB", "Breath LSB", kUndefined, "Foot LSB", "Portamento Time LSB", "Data Entry LSB",
    "Volume LSB", "Balance LSB", kUndefined, "Pan LSB", "Expression LSB", "Effect Control 1 LSB",
    "Effect Control 2 LSB", kUndefined, kUndefined, "General Purpose 1 LSB", "General Purpose 2 LSB",
    "General Purpose 3 LSB", "General Purpose 4 LSB", kUndefined, kUndefined, kUndefined, kUndefined, kUndefined,
    kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined,
    // 64..69: switches.
    "Sustain", "Portamento", "Sostenuto", "Soft Pedal", "Legato", "Hold 2",
    // 70..79: sound controllers.
    "Sound Variation", "Harmonic Content", "Release Time", "Attack Time", "Brightness", "Decay Time", "Vibrato Rate",
    "Vibrato Depth", "Vibrato Delay", "Sound Control 10",
    // 80..90.
    "General Purpose 5", "General Purpose 6", "General Purpose 7", "General Purpose 8", "Portamento Control",
    kUndefined, kUndefined, kUndefined, "High Res Velocity", kUndefined, kUndefined,
    // 91..101: effect depths and parameter numbers.
    "Reverb Depth", "Tremolo Depth", "Chorus Depth", "Celeste Depth", "Phaser Depth", "Data Increment",
    "Data Decrement", "NRPN LSB", "NRPN MSB", "RPN LSB", "RPN MSB",
    // 102..119.
    kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined,
    kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined,
    // 120..127: channel mode messages.
    "All Sound Off", "Reset Controllers", "Local Control", "All Notes Off", "Omni Off", "Omni On", "Mono On",
    "Poly On",
};

// Fewer names than numbers would leave the last ones null.
constexpr bool everyControllerNamed() {
    for (const char* name : kControllerNames)
        if (name == nullptr) return false;
    return true;
}
static_assert(everyControllerNamed());

}  // namespace

std::string midiControllerName(int controller) {
    if (controller < 0 || controller >= static_cast<int>(kControllerNames.size()))
        return "CC " + std::to_string(controller);
    return kControllerNames[static_cast<std::size_t>(controller)];
}

}  // namespace tarvik::gui

// Which parameter each of the 128 MIDI controller numbers drives. A parameter
// is driven by at most one controller: every assignment keeps it that way.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace tarvik {

class ControllerMap {
public:
    static constexpr int kControllers = 128;
    static constexpr int kUnassigned = -1;

    ControllerMap() { setDefaults(); }

    void setDefaults();

    // Gives the controller to the parameter; the parameter's previous
    // controller, and the controller's previous parameter, lose their link.
    void assign(int controller, int parameter);
    // Removes the parameter's controller, if it has one.
    void unassignParameter(int parameter);

    int parameterFor(int controller) const;
    // The lowest controller driving the parameter, or kUnassigned.
    int controllerFor(int parameter) const;

    // The normalised value a 7-bit controller value sets; the centre value 64
    // gives exactly 0.5 so that a centred knob lands on the centre.
    static float controllerValue(int value) { return value == 64 ? 0.5f : static_cast<float>(value / 127.0); }

private:
    // Written by MIDI learn on the audio thread and by map loading on the
    // editor's thread; each entry is one atomic 16-bit word.
    std::array<std::atomic<std::int16_t>, kControllers> entries_{};
};

}  // namespace tarvik

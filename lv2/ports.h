// What an LV2 host knows the plug-in by: its URI and its ports. The plug-in,
// the generator of its description and the tests all read them here, so
// that the binary and its description cannot disagree.
#pragma once

#include <cstdint>

#include "patch/parameters.h"

namespace tarvik::lv2 {

inline constexpr const char* kPluginUri = "https://sonvarde.example/plugins/tarvik";

// The parameters come first, one control input each at its own index, so
// that a port's index is the parameter's.
enum Port : std::uint32_t {
    kFirstParameterPort = 0,
    kEventsPort = kNumParameters,  // MIDI and the host's time position
    kAuxPort,
    kLeftPort,
    kRightPort,
    kPortCount,
};

}  // namespace tarvik::lv2

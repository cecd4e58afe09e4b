// What the render loop reads once per segment (the stretch of a block
// between two events): every parameter (held to 0..1, a NaN replaced by its
// default), the states and configuration it needs, and the values derived
// from them for all voices.
#pragma once

#include <array>

#include "dsp/socket_table.h"
#include "engine/engine.h"
#include "patch/parameters.h"

namespace tarvik {

struct Segment {
    float operator[](int index) const { return parameters[static_cast<std::size_t>(index)]; }
    bool patched(int socketIndex) const { return connected[static_cast<std::size_t>(socketIndex)]; }

    std::array<float, kNumParameters> parameters{};
    std::array<bool, kNumSockets> connected{};  // a cable ends at the socket
    bool anyCable = false;

    double sampleRate = 44100.0;
    bool justLoaded = false;
    int midiMode = 0;
    int runStop = 0;
    int filterMode = 0;
    int voices = 1;
    bool wavetableOscillators = true;
    const float* noteTable = nullptr;
    bool auxOn = false;

    // Derived once for all voices.
    double accentCharge = 0.0;
    double accentRelease = 0.0;
    double mgHz = 0.0;
    int mgWave = 0;
    int vco1Wave = 0;
    int vco2Wave = 0;
    double multiplier1 = 1.0;  // range x pitch bend
    double multiplier2 = 1.0;
    double glideCoefficient = 0.0;
    double smoothCoefficient = 0.0;

    // Envelope times in seconds.
    double vcfAttack = 0.0;
    double vcfDecay = 0.0;
    double vcfRelease = 0.0;
    double accentDecay = 0.0;
    double vcaAttack = 0.0;
    double vcaDecay = 0.0;
    double vcaRelease = 0.0;
};

}  // namespace tarvik

// The signal buffers of one engine, owned by its buffer pool. The voices
// are rendered one after the other, so they share almost every buffer; only
// their module states are their own, and the lane they are given: what a
// voice hands on to its filter and amplifier, so that a group of voices can
// be prepared one after the other and then filtered side by side.
#pragma once

#include <array>

#include "dsp/filter_lanes.h"
#include "dsp/socket_table.h"
#include "engine/engine.h"

namespace tarvik {

struct Engine::VoiceLane {
    float* filterIn = nullptr;
    std::array<float*, 4> filterScratch{};
    float* filterOut = nullptr;
    float* amplifierTarget = nullptr;
    bool filterReady = false;  // the voice's filter is prepared: its ladder may run
};

struct Engine::Buffers {
    // The socket slots: an output's slot holds its buffer, an input's slot is
    // null or, after routing, the buffer of the output its cable comes from.
    std::array<float*, kNumSockets> sockets{};

    float* seqPitchRatio = nullptr;
    float* seqTrigger = nullptr;
    float* seqSlide = nullptr;
    float* accentGate = nullptr;
    float* aux = nullptr;

    // Smoothed knobs.
    float* cutoff = nullptr;
    float* resonance = nullptr;
    float* envelopeMod = nullptr;
    float* mgHz = nullptr;
    float* tune1 = nullptr;  // octaves
    float* tune2 = nullptr;
    float* pulseWidth1 = nullptr;
    float* pulseWidth2 = nullptr;
    float* filterMod1 = nullptr;
    float* freqMod2 = nullptr;
    float* shaper = nullptr;

    // The voice path.
    float* accentCv = nullptr;
    float* mgFrequency = nullptr;
    float* mgAmount = nullptr;
    float* mgAudio = nullptr;
    float* pitchBase = nullptr;
    float* vco1Frequency = nullptr;
    float* vco2Frequency = nullptr;
    float* pw1 = nullptr;
    float* pw2 = nullptr;
    float* cutoffCv = nullptr;
    float* noise = nullptr;
    std::array<VoiceLane, kVoiceLanes> lanes{};

    // Twice the host rate.
    float* vco1Out = nullptr;
    float* vco2Out = nullptr;
    float* mix = nullptr;
    float* sync = nullptr;
    float* oscillatorPhases = nullptr;
    float* oscillatorPeriods = nullptr;

    const float* socket(int index) const { return sockets[static_cast<std::size_t>(index)]; }
    float* output(int index) const { return sockets[static_cast<std::size_t>(index)]; }
};

}  // namespace tarvik

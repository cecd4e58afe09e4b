// The envelope generator of each voice's amplifier and filter: a linear
// attack that ends exactly at full level, then exponential decay toward the
// sustain level and exponential release toward silence. While the accent
// input is non-zero the decay runs at its own rate, which is what gives an
// accented note its shorter, snappier filter sweep.
#pragma once

#include <cstdint>

#include "dsp/io_module.h"

namespace tarvik {

class Envelope : public IOModule {
public:
    // The stages; the voice writes `stage` directly at note-on and note-off.
    static constexpr std::int32_t kDamp = -1;         // quick fall to near 0, then a new attack
    static constexpr std::int32_t kAttack = 0;
    static constexpr std::int32_t kDecay = 1;         // decay, then sustain while the gate is held
    static constexpr std::int32_t kRelease = 2;
    static constexpr std::int32_t kFastRelease = 3;   // used when a patch load silences a voice

    // Slots.
    static constexpr int kGateInput = 0;     // optional: a sample of 0 releases
    static constexpr int kTriggerInput = 1;  // optional: non-zero restarts the attack from 0
    static constexpr int kAmountInput = 2;   // optional: scales the output, 1 when unpatched
    static constexpr int kAccentInput = 3;   // optional: non-zero selects accentDecayRate
    static constexpr int kOutput = 0;

    void process(int sampleFrames) override;
    // Runs as process does, but stops before the first sample that begins
    // with |level| below `silence`: a released voice ends at the sample it
    // falls silent, wherever the host's blocks fall. Answers the number of
    // samples processed (0 when the envelope is silent already).
    int processUntilSilent(int sampleFrames, double silence);
    // The leader's processUntilSilent and the follower's process over the
    // same samples, in one loop: the same results as the two calls, in
    // about the time of one (each level is a serial chain). Pass a silence
    // of 0 to run every sample.
    static int processPair(Envelope& leader, Envelope& follower, int sampleFrames, double silence);

    std::int32_t stage = kRelease;
    double level = 0.0;
    // The render loop sets these from the knob times before every block;
    // until then the envelope behaves as a plain gate.
    float attackStep = 1.0f;       // level added per sample in attack
    float decayRate = 1.0f;        // one-pole coefficients per sample
    float accentDecayRate = 1.0f;
    float releaseRate = 1.0f;
    float sustain = 1.0f;
    // 1 when this block started in attack or a trigger arrived during it.
    std::int32_t attackFlag = 0;

private:
    class Walk;

    double dither_ = kDenormalDither;
};

}  // namespace tarvik

// One playing note: its modules and the states the voice path keeps between
// segments. The engine starts and ends notes through noteOn, legatoNote and
// noteOff; the render loop drives the modules.
#pragma once

#include <cstdint>

#include "dsp/attenuator.h"
#include "dsp/decimate.h"
#include "dsp/envelope.h"
#include "dsp/filter.h"
#include "dsp/inverter.h"
#include "dsp/mod_gen.h"
#include "dsp/noise_osc.h"
#include "dsp/oscillator.h"

namespace tarvik {

// A one-pole state with its own alternating denormal guard.
struct OnePole {
    double value = 0.0;
    double dither = 1e-5;

    // value += (target + dither - value) c, written so that the state's own
    // chain is one multiply-add: the rest does not wait for the last sample.
    double follow(double target, double coefficient) {
        value = value * (1.0 - coefficient) + (target + dither) * coefficient;
        dither = -dither;
        return value;
    }

    // A DC blocker's two steps: each of x[0], x[1] loses the state its
    // follow() step leads to. The second state is formed from the pair's
    // starting state, a (a v + u0) + u1 = a^2 v + (a u0 + u1), so the
    // state's own chain is one multiply-add per pair; it differs from two
    // follow() calls only in the last bits of a double.
    void blockPair(float* x, double coefficient) {
        const double keep = 1.0 - coefficient;
        const double u0 = (x[0] + dither) * coefficient;
        const double u1 = (x[1] - dither) * coefficient;
        const double first = value * keep + u0;
        value = value * (keep * keep) + (u0 * keep + u1);
        x[0] -= static_cast<float>(first);
        x[1] -= static_cast<float>(value);
    }
};

class Voice {
public:
    void noteOn(int note, int velocity);
    // Changes the note without a new attack: the pitch glides there, and the
    // envelopes restart only when the trigger mode asks for it.
    void legatoNote(int note, int velocity);
    void noteOff();
    // Ends the note at once, with a release quick enough to be gone before
    // a new sound begins and slow enough not to click (after a patch load).
    void silence();
    bool isLegato() const { return legato != 0; }
    void setRetrigger(bool on) { retrigger = on ? 1 : 0; }
    // Makes every module ready for a sample rate.
    void setSampleRate(double rate);

    std::int32_t legato = 0;
    std::int32_t active = 0;
    std::int32_t note = 0;
    std::int32_t velocity = 0;
    float targetPitch = 0.0f;  // Hz, from the note table
    std::int32_t sustained = 0;
    std::int32_t retrigger = 0;
    const float* noteTable = nullptr;

    Oscillator vco1;
    Oscillator vco2;
    Filter filter;
    ModGen mg;
    Envelope vcfEnvelope;
    Envelope vcaEnvelope;
    Decimate decimator;
    NoiseOsc noise;
    Attenuator attenuator1;
    Attenuator attenuator2;
    Inverter inverter1;
    Inverter inverter2;

    OnePole glide;
    OnePole shaper1;
    OnePole shaper2;
    OnePole dcBlocker1;
    OnePole dcBlocker2;
    OnePole filterFm1;
    OnePole filterFm2;
    OnePole vcfCv;
    OnePole vcaGain;
    OnePole accentCircuit;
};

}  // namespace tarvik

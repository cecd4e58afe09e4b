// The stages of one voice's signal path, in the order the voice render runs
// them. Each stage is a function over one segment: the voice's own module
// states, the segment's settings, and the buffers it reads and writes as
// named ports. A port the segment leaves unpatched is null, and the stage
// then uses its knob (or neutral) value. Ports a module reads through its
// input slots are not const, as the slots are not.
#pragma once

#include <array>

#include "engine/voice.h"

namespace tarvik {

struct Segment;

// The per-sample coefficients the voice path was voiced with at 44.1 kHz
// (the oscillator stages at twice that), moved to the host's rate so that
// each keeps its corner in Hz: unchanged, the DC blockers' low cut would
// thin the bass at 96 kHz and the shaper's and the lags' colour would
// change.
struct VoiceCoefficients {
    explicit VoiceCoefficients(double sampleRate);

    double scale;  // 44.1 kHz / the host's rate
    double dcBlocker;
    double modulationLag;
    double amplifierLag;
};

// Which oscillators sound or modulate, and how they are mixed, from the
// segment's knobs: a silent oscillator is not run.
struct OscillatorPlan {
    explicit OscillatorPlan(const Segment& s);

    float level1;
    float level2;
    float filterMod1;  // VCO-1 at audio rate into the cutoff
    float freqMod2;    // VCO-1 into VCO-2's pitch, or VCO-2 into the cutoff
    bool ring;
    bool sync;
    bool vco2ModulatesVco2;  // the frequency modulation goes to VCO-2's pitch
    bool vco1Runs;
    bool vco2Runs;
};

struct EnvelopePorts {
    float* gate;        // the sequencer's gate, null when the notes drive
    float* trigger;     // the sequencer's step starts, likewise
    float* accentGate;  // null unless the sequencer plays the pattern
    float* vcfAmount;   // "VCF Env Amount" cable
    float* vcaAmount;   // "VCA Env Amount" cable
    float* vcfOut;
    float* vcaOut;
};
// Sets both envelopes' times and runs them; answers how many frames the
// voice sounds (fewer than `frames` when it falls below `silence`).
int runEnvelopes(Voice& voice, const Segment& s, const EnvelopePorts& p, int frames, double silence);

// The note and velocity as control voltages, for cables that read them.
void writeNoteCvs(const Voice& voice, float* noteCv, float* velocityCv, int frames);

struct UtilityPorts {
    float* attenuatorIn;
    std::array<float*, 4> attenuatorOuts;
    float* inverterIn;
    float* inverterOut;
};
// One attenuator and one inverter, the utilities only cables use.
void runUtilities(Attenuator& attenuator, Inverter& inverter, float inverterMode, const UtilityPorts& p, int frames);

struct LfoPorts {
    const float* rate;        // the smoothed MG Freq knob, Hz
    const float* rateCv;      // "MG Freq CV" cable, octaves
    const float* amountCv;    // "MG Amount CV" cable
    float* reset;       // the sequencer's step starts, when it restarts the LFO
    float* rateWork;          // the rate the LFO follows
    float* amountWork;        // the amount it follows
    float* out;               // control output
    float* audio;             // its audio-rate output
};
// The modulation generator, run only when something listens to it; else
// its outputs are silence.
void runLfo(ModGen& mg, const Segment& s, const LfoPorts& p, int frames);

struct PitchPorts {
    const float* ratio;  // the sequencer's pitch ratio
    const float* tune1;  // octaves
    const float* tune2;
    const float* cv1;  // "VCO-1 CV" cable, octaves; the LFO when unpatched
    const float* cv2;
    const float* lfo;
    float* base;  // Hz before tuning, for key tracking
    float* frequency1;
    float* frequency2;
};
// The sequencer's ratio times the voice's note (gliding on legato changes),
// tuning and modulation in octaves, range and pitch bend; only for the
// oscillators that run.
void computePitch(Voice& voice, const Segment& s, const OscillatorPlan& plan, const PitchPorts& p, int frames);

struct PulseWidthPorts {
    float* knob1;
    float* knob2;
    const float* cv1;  // "VCO-1 PW CV" cable
    const float* cv2;
    const float* lfo;
    float* work1;
    float* work2;
};
// Sets each oscillator's pulse width input: the knob's own buffer when
// nothing modulates it, else a buffer formed here.
void computePulseWidths(Voice& voice, const Segment& s, const PulseWidthPorts& p, int frames);

struct OscillatorPorts {
    float* frequency1;
    float* frequency2;  // VCO-1 may modulate it in place
    float* out1;        // twice the host rate, as every port below
    float* out2;
    float* sync;
    float* phases;
    float* periods;
};
void runOscillators(Voice& voice, const Segment& s, const OscillatorPlan& plan, const OscillatorPorts& p, int frames);

struct ShaperPorts {
    const float* amount;  // the smoothed knob, host rate
    const float* cv;      // "Shaper CV" cable
    float* out1;          // each oscillator, shaped in place
    float* out2;
};
void runShaper(Voice& voice, const Segment& s, const ShaperPorts& p, double rateScale, int frames);

struct AccentPorts {
    const float* vcfEnvelope;
    const float* accentGate;
    float* accentCv;
    float* out1;  // the oscillators, twice the host rate, DC removed in place
    float* out2;
};
// The accent circuit and both oscillators' DC blockers, in one loop: each
// is a serial chain from sample to sample, and side by side the processor
// works on them at once.
void runAccentAndDcBlockers(Voice& voice, const Segment& s, const OscillatorPlan& plan, const AccentPorts& p,
                            double dcBlocker, int frames);

struct MixerPorts {
    const float* out1;
    const float* out2;
    const float* balanceCv;  // "VCO Balance CV" cable
    float* mix;              // twice the host rate
    float* filterIn;         // the mix back at the host rate
};
// The mixer with ring modulation and the balance CV, then the decimator.
void runMixer(Voice& voice, const OscillatorPlan& plan, const MixerPorts& p, int frames);

struct FilterInputPorts {
    const float* balanceCv;  // "Noise/AUX Balance CV" cable
    float* noiseCv;    // "Noise CV" cable
    const float* aux;
    const float* lfoAudio;
    float* noise;
    float* filterIn;  // added into
};
// Noise, AUX and the LFO's audio join the oscillators before the filter.
void addNoiseAuxAndLfo(Voice& voice, const Segment& s, const FilterInputPorts& p, int frames);

struct CutoffPorts {
    const float* cv;  // "VCF CV" cable; the LFO when unpatched
    const float* lfo;
    const float* vcfEnvelope;
    const float* envelopeMod;  // smoothed knobs
    const float* cutoff;
    const float* accentCv;
    const float* pitchBase;
    const float* filterMod1;
    const float* freqMod2;
    const float* out1;  // the oscillators, twice the host rate
    const float* out2;
    float* control;
};
// The cutoff control: envelope, LFO or CV, knob, accent, key tracking and
// audio-rate modulation from the oscillators.
void computeCutoffControl(Voice& voice, const Segment& s, const OscillatorPlan& plan, const CutoffPorts& p,
                          double modulationLag, int frames);

struct AmplifierPorts {
    const float* cv;  // "VCA CV" cable; the LFO when unpatched
    const float* lfo;
    const float* accentCv;
    const float* vcaEnvelope;
    float* target;
};
// What the amplifier will follow once the filter has run: envelope, LFO or
// CV, and the accent's extra volume.
void computeAmplifierTarget(const Segment& s, const AmplifierPorts& p, int frames);

struct FilterPorts {
    float* in;
    float* cutoff;
    float* resonance;
    std::array<float*, 4> coefficients;
    float* out;
};
// The filter's per-sample coefficients; answers whether its ladder has
// anything to render (it runs later, with its group of voices).
bool prepareFilter(Filter& filter, const Segment& s, const FilterPorts& p, int frames);

// The amplifier of one voice, and of two side by side: each filter output
// follows its target with a short lag and is added into both outputs.
struct AmplifierLane {
    const float* filterOut;
    const float* target;
};
void amplify(OnePole& gain, const AmplifierLane& lane, double lag, int from, int to, float* left, float* right);
void amplifyPair(OnePole& first, OnePole& second, const AmplifierLane& a, const AmplifierLane& b, double lag,
                 int frames, float* left, float* right);

}  // namespace tarvik

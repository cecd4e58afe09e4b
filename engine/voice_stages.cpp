#include "engine/voice_stages.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <type_traits>

#include "dsp/cutoff_law.h"
#include "engine/engine_tables.h"
#include "engine/render_segment.h"

namespace tarvik {

namespace {

constexpr double kLn10 = std::numbers::ln10;
constexpr float kHighestCutoffControl = 0.966f;

// A pulse width pushed past either end folds back into the cycle.
float fold(float x) { return x < 0.0f ? -x : (x > 1.0f ? 2.0f - x : x); }

float limit(float x, float low, float high) { return x > low ? (x < high ? x : high) : low; }

void setEnvelopeTimes(Envelope& e, double attack, double decay, double release, double sampleRate) {
    e.attackStep = static_cast<float>(1.0 / (attack * sampleRate));
    e.decayRate = static_cast<float>(kLn10 / (decay * sampleRate));
    e.releaseRate = static_cast<float>(kLn10 / (release * sampleRate));
}

}  // namespace

VoiceCoefficients::VoiceCoefficients(double sampleRate) : scale(CutoffLaw::kReferenceRate / sampleRate) {
    auto atRate = [this](double c) { return scale == 1.0 ? c : 1.0 - std::pow(1.0 - c, scale); };
    dcBlocker = atRate(0.01);
    modulationLag = atRate(0.15);
    amplifierLag = atRate(0.08);
}

OscillatorPlan::OscillatorPlan(const Segment& s)
    : level1(s[param::Vco1Level]),
      level2(s[param::Vco2Level]),
      filterMod1(s[param::Vco1FilterMod]),
      freqMod2(s[param::Vco2FreqMod]),
      ring(s[param::Ring1x2] > 0.0f),
      sync(s[param::Sync2To1] != 0.0f),
      vco2ModulatesVco2(s[param::Vco2Mod] > 0.0f),
      vco1Runs(level1 > 0.0f || filterMod1 > 0.0f || freqMod2 > 0.0f || sync),
      vco2Runs(level2 > 0.0f || freqMod2 > 0.0f || ring) {}

int runEnvelopes(Voice& voice, const Segment& s, const EnvelopePorts& p, int frames, double silence) {
    Envelope& vcf = voice.vcfEnvelope;
    Envelope& vca = voice.vcaEnvelope;
    const double sr = s.sampleRate;
    for (Envelope* e : {&vcf, &vca}) {
        e->inputs[Envelope::kGateInput] = p.gate;
        e->inputs[Envelope::kTriggerInput] = p.trigger;
    }
    vcf.inputs[Envelope::kAccentInput] = p.accentGate;
    setEnvelopeTimes(vcf, s.vcfAttack, s.vcfDecay, s.vcfRelease, sr);
    vcf.accentDecayRate = static_cast<float>(kLn10 / (s.accentDecay * sr));
    vcf.sustain = s[param::VcfSustain];
    vcf.inputs[Envelope::kAmountInput] = p.vcfAmount;
    vcf.outputs[Envelope::kOutput] = p.vcfOut;
    setEnvelopeTimes(vca, s.vcaAttack, s.vcaDecay, s.vcaRelease, sr);
    vca.sustain = s[param::VcaSustain];
    vca.inputs[Envelope::kAmountInput] = p.vcaAmount;
    vca.outputs[Envelope::kOutput] = p.vcaOut;
    return Envelope::processPair(vca, vcf, frames, silence);
}

void writeNoteCvs(const Voice& voice, float* noteCv, float* velocityCv, int frames) {
    std::fill_n(noteCv, frames, static_cast<float>((voice.note - 64) / 12.0));
    std::fill_n(velocityCv, frames, static_cast<float>(voice.velocity / 127.0));
}

void runUtilities(Attenuator& attenuator, Inverter& inverter, float inverterMode, const UtilityPorts& p, int frames) {
    attenuator.inputs[Attenuator::kInput] = p.attenuatorIn;
    for (std::size_t k = 0; k < p.attenuatorOuts.size(); ++k) attenuator.outputs[k] = p.attenuatorOuts[k];
    attenuator.process(frames);
    inverter.mode = inverterMode > 0.5f ? 1 : 0;
    inverter.inputs[Inverter::kInput] = p.inverterIn;
    inverter.outputs[Inverter::kOutput] = p.inverterOut;
    inverter.process(frames);
}

void runLfo(ModGen& mg, const Segment& s, const LfoPorts& p, int frames) {
    mg.inputs[ModGen::kResetInput] = p.reset;
    mg.setFrequency(s.mgHz);
    mg.setAmount(s[param::MgAmount]);
    mg.setWave(s.mgWave);
    mg.setSmoothing(0.07f);
    if (s.justLoaded) mg.settle();
    mg.setFrequencyInput(p.rateWork);
    mg.outputs[ModGen::kControlOutput] = p.out;
    mg.outputs[ModGen::kAudioOutput] = p.audio;
    mg.setAudioOutput(s[param::MgAudioOutput] != 0.0f);
    mg.setRetrigger(s[param::MgRetrigger] != 0.0f);

    const bool heard = s[param::MgVco1Dest] > 0.0f || s[param::MgVco2Dest] > 0.0f || s[param::MgVcfDest] > 0.0f ||
                       s[param::MgVcaDest] > 0.0f || s[param::MgPw1Dest] > 0.0f || s[param::MgAudioOutput] > 0.0f ||
                       s.patched(socket::MgFreqCv) || s.patched(socket::MgAmountCv) || s.patched(socket::MgCvOutput);
    if (!heard) {
        std::fill_n(p.out, frames, 0.0f);
        std::fill_n(p.audio, frames, 0.0f);
        return;
    }
    const float* exp2 = exp2Table();
    const auto highest = static_cast<float>(s.sampleRate / 4.0);
    const float amount = s[param::MgAmount];
    for (int i = 0; i < frames; ++i) {
        const float factor = p.rateCv ? exp2Octaves(p.rateCv[i], exp2) : 1.0f;
        p.rateWork[i] = std::min(factor * p.rate[i], highest);
        p.amountWork[i] = limit(p.amountCv ? amount * p.amountCv[i] : amount, -1.0f, 1.0f);
    }
    mg.inputs[ModGen::kAmountInput] = p.amountWork;
    mg.process(frames);
}

void computePitch(Voice& voice, const Segment& s, const OscillatorPlan& plan, const PitchPorts& p, int frames) {
    const float* exp2 = exp2Table();
    const auto nyquist = static_cast<float>(s.sampleRate / 2.0);
    const float dest1 = s[param::MgVco1Dest];
    const float dest2 = s[param::MgVco2Dest];
    const auto m1 = static_cast<float>(s.multiplier1);
    const auto m2 = static_cast<float>(s.multiplier2);
    const bool vco1Runs = plan.vco1Runs;
    const bool vco2Runs = plan.vco2Runs;
    const bool sync = plan.sync;
    const double target = voice.targetPitch;
    OnePole glide = voice.glide;
    if (s.justLoaded) glide.value = target;
    // Tuning and modulation hold still for long stretches: each octave
    // value is looked up only when it changes (NaN never equals itself).
    struct Octaves {
        float from = std::numeric_limits<float>::quiet_NaN();
        float factor = 0.0f;
        float operator()(float octaves, const float* table) {
            if (octaves != from) {
                from = octaves;
                factor = exp2Octaves(octaves, table);
            }
            return factor;
        }
    } octaves1, octaves2;
    const double glideCoefficient = s.glideCoefficient;
    const float* ratio = p.ratio;
    const float* tune1 = p.tune1;
    const float* tune2 = p.tune2;
    const float* cv1 = p.cv1;
    const float* cv2 = p.cv2;
    const float* lfo = p.lfo;
    float* base = p.base;
    float* frequency1 = p.frequency1;
    float* frequency2 = p.frequency2;
    auto run = [&](auto gliding) {
        for (int i = 0; i < frames; ++i) {
            if constexpr (gliding)
                glide.follow(target, glideCoefficient);
            else
                glide.value = target;
            const float b = ratio[i] * static_cast<float>(glide.value);
            base[i] = b;
            if (vco1Runs) {
                const float mod1 = cv1 ? cv1[i] : lfo[i] * dest1;
                frequency1[i] = limit(octaves1(tune1[i] + mod1, exp2) * b * m1, 1.0f, nyquist);
            }
            if (vco2Runs) {
                const float mod2 = cv2 ? cv2[i] : lfo[i] * dest2;
                const float f2 = limit(octaves2(tune2[i] + mod2, exp2) * b * m2, 1.0f, nyquist);
                // A synced VCO-2 below VCO-1 would only be restarted before it sounds.
                frequency2[i] = sync ? std::max(f2, frequency1[i]) : f2;
            }
        }
    };
    if (voice.isLegato())
        run(std::true_type{});
    else
        run(std::false_type{});
    voice.glide = glide;
}

void computePulseWidths(Voice& voice, const Segment& s, const PulseWidthPorts& p, int frames) {
    if (!p.cv1 && !p.cv2) {
        if (s[param::MgPw1Dest] != 0.0f) {
            for (int i = 0; i < frames; ++i) p.work1[i] = fold(p.knob1[i] + p.lfo[i] * 0.5f);
            voice.vco1.setPulseWidthInput(p.work1);
        } else {
            voice.vco1.setPulseWidthInput(p.knob1);
        }
        voice.vco2.setPulseWidthInput(p.knob2);
        return;
    }
    voice.vco1.setPulseWidthInput(p.work1);
    voice.vco2.setPulseWidthInput(p.work2);
    for (int i = 0; i < frames; ++i) {
        p.work1[i] = fold(p.knob1[i] + (p.cv1 ? 0.5f * p.cv1[i] : 0.0f));
        p.work2[i] = fold(p.knob2[i] + (p.cv2 ? 0.5f * p.cv2[i] : 0.0f));
    }
}

void runOscillators(Voice& voice, const Segment& s, const OscillatorPlan& plan, const OscillatorPorts& p, int frames) {
    const int waves[2] = {s.vco1Wave, s.vco2Wave};
    float* frequencies[2] = {p.frequency1, p.frequency2};
    float* outs[2] = {p.out1, p.out2};
    Oscillator* vcos[2] = {&voice.vco1, &voice.vco2};
    for (int o = 0; o < 2; ++o) {
        Oscillator& vco = *vcos[o];
        vco.boost = s[param::VcoBoost];
        if (vco.waveform != waves[o]) {
            vco.waveform = waves[o];
            vco.resetWaveform();
        }
        vco.inputs[Oscillator::kFrequencyInput] = frequencies[o];
        vco.outputs[Oscillator::kAudioOutput] = outs[o];
        vco.outputs[Oscillator::kPhaseScratch] = p.phases;
        vco.outputs[Oscillator::kPeriodScratch] = p.periods;
    }
    voice.vco1.outputs[Oscillator::kSyncOutput] = plan.sync ? p.sync : nullptr;
    voice.vco2.inputs[Oscillator::kSyncInput] = plan.sync ? p.sync : nullptr;

    const int twice = 2 * frames;
    if (plan.vco1Runs)
        voice.vco1.process(twice);
    else
        std::fill_n(p.out1, twice, 0.0f);

    if (plan.vco2ModulatesVco2 && plan.freqMod2 > 0.0f) {
        const float* exp2 = exp2Table();
        const auto nyquist = static_cast<float>(s.sampleRate / 2.0);
        for (int i = 0; i < frames; ++i)
            p.frequency2[i] =
                limit(p.frequency2[i] * exp2Octaves(plan.freqMod2 * p.out1[2 * i] * 8.0f, exp2), 1.0f, nyquist);
    }
    if (plan.vco2Runs)
        voice.vco2.process(twice);
    else
        std::fill_n(p.out2, twice, 0.0f);
}

// Each oscillator folds through a sine of its own low-passed signal, mixed
// in by the shaper amount.
void runShaper(Voice& voice, const Segment& s, const ShaperPorts& p, double rateScale, int frames) {
    if (!(s[param::VcoShaper] > 0.0f || p.cv)) return;
    OnePole states[2] = {voice.shaper1, voice.shaper2};
    float* outs[2] = {p.out1, p.out2};
    for (int i = 0; i < 2 * frames; ++i) {
        const int frame = i / 2;
        float amount = p.amount[frame] * (p.cv ? p.cv[frame] : 1.0f);
        amount = std::min(std::fabs(amount), 1.0f);
        // Close to linear in the rate for coefficients this small.
        const double c = std::min((0.07 - amount * 0.045) * rateScale, 1.0);
        for (int o = 0; o < 2; ++o) {
            float& x = outs[o][i];
            const auto state = static_cast<float>(states[o].follow(x, c));
            x = tableSine(state * 30.0f * amount) * amount + x * (1.0f - amount);
        }
    }
    voice.shaper1 = states[0];
    voice.shaper2 = states[1];
}

// The accent charges a capacitor from the filter envelope while the accent
// gate is open; more resonance charges it more slowly. Each voice has its
// own: one shared by all would be stepped once per voice over the same
// samples, so chords would hear a charge that depends on where the host's
// blocks fall.
void runAccentAndDcBlockers(Voice& voice, const Segment& s, const OscillatorPlan& plan, const AccentPorts& p,
                            double dcBlocker, int frames) {
    const float amount = s[param::AccentAmount];
    OnePole accent = voice.accentCircuit;
    OnePole blocker1 = voice.dcBlocker1;
    OnePole blocker2 = voice.dcBlocker2;
    auto run = [&](auto bothOscillators) {
        for (int i = 0; i < frames; ++i) {
            const double x = amount * p.vcfEnvelope[i];
            if (p.accentGate[i] == 0.0f || x <= accent.value)
                accent.follow(0.0, s.accentRelease);
            else
                accent.follow(x, s.accentCharge);
            p.accentCv[i] = static_cast<float>(accent.value);
            blocker1.blockPair(p.out1 + 2 * i, dcBlocker);
            if constexpr (bothOscillators) blocker2.blockPair(p.out2 + 2 * i, dcBlocker);
        }
    };
    if (plan.vco2Runs)
        run(std::true_type{});
    else
        run(std::false_type{});
    voice.accentCircuit = accent;
    voice.dcBlocker1 = blocker1;
    voice.dcBlocker2 = blocker2;
}

void runMixer(Voice& voice, const OscillatorPlan& plan, const MixerPorts& p, int frames) {
    const float level1 = plan.level1;
    const float level2 = plan.level2;
    const bool ring = plan.ring;
    for (int i = 0; i < 2 * frames; ++i) {
        float b1 = 1.0f;
        float b2 = 1.0f;
        if (p.balanceCv) {
            b2 = p.balanceCv[i / 2] * 0.5f + 0.5f;
            b1 = 1.0f - b2;
        }
        const float v1 = p.out1[i];
        const float v2 = p.out2[i];
        p.mix[i] = ring ? (v1 * 1.5f * v2 * level1 * b1 + v2 * level2 * b2) * 0.5f
                        : (level1 * v1 * b1 + level2 * v2 * b2) * 0.5f;
    }
    voice.decimator.inputs[Decimate::kInput] = p.mix;
    voice.decimator.outputs[Decimate::kOutput] = p.filterIn;
    voice.decimator.process(2 * frames);
}

void addNoiseAuxAndLfo(Voice& voice, const Segment& s, const FilterInputPorts& p, int frames) {
    const float noiseLevel = s[param::NoiseLevel];
    if (noiseLevel > 0.0f) {
        const float color = s[param::NgColor];
        voice.noise.setColor((1.0f - s[param::FilterResonance] * 0.8f) * color);
        voice.noise.inputs[NoiseOsc::kColorInput] = p.noiseCv;
        voice.noise.outputs[NoiseOsc::kOutput] = p.noise;
        voice.noise.process(frames);
        const float gain = (2.0f - color) * (2.0f - color) * noiseLevel;
        for (int i = 0; i < frames; ++i) {
            const float nb = p.balanceCv ? 1.0f - (p.balanceCv[i] * 0.5f + 0.5f) : 1.0f;
            p.filterIn[i] += gain * p.noise[i] * nb;
        }
    }
    const float auxLevel = s[param::AuxLevel];
    if (auxLevel > 0.0f && s.auxOn) {
        for (int i = 0; i < frames; ++i) {
            const float ab = p.balanceCv ? p.balanceCv[i] * 0.5f + 0.5f : 1.0f;
            p.filterIn[i] += p.aux[i] * 3.0f * auxLevel * ab;
        }
    }
    if (s[param::MgAudioOutput] != 0.0f) {
        const float amount = s[param::MgAmount];
        for (int i = 0; i < frames; ++i) p.filterIn[i] += p.lfoAudio[i] * amount;
    }
}

// The cutoff law of the host rate keeps this control's cutoff in Hz the
// same at every sample rate.
void computeCutoffControl(Voice& voice, const Segment& s, const OscillatorPlan& plan, const CutoffPorts& p,
                          double modulationLag, int frames) {
    const float mgVcf = s[param::MgVcfDest] * 0.25f;
    const float accentAmount = s[param::AccentAmount];
    const float tracking = s[param::VcfTracking];
    const float* lfo = p.lfo;
    const float* envelope = p.vcfEnvelope;
    const float* envelopeMod = p.envelopeMod;
    const float* cutoff = p.cutoff;
    const float* accentCv = p.accentCv;
    float* control = p.control;
    // Without a CV, tracking or audio-rate modulation the control is a sum
    // of buffers, a loop the compiler vectorises.
    const bool audioRateMod = plan.filterMod1 > 0.0f || plan.freqMod2 > 0.0f;
    if (!p.cv && !(tracking > 0.0f) && !audioRateMod) {
        for (int i = 0; i < frames; ++i) {
            const float c =
                (envelope[i] - 0.3f) * envelopeMod[i] + mgVcf * lfo[i] + cutoff[i] + accentAmount * accentCv[i];
            control[i] = limit(c, 0.0f, kHighestCutoffControl);
        }
        return;
    }
    const float* logTable = trackingLogTable();
    const double trackingScale = 22050.0 / s.sampleRate;
    OnePole cvState = voice.vcfCv;
    OnePole fm1 = voice.filterFm1;
    OnePole fm2 = voice.filterFm2;
    for (int i = 0; i < frames; ++i) {
        const float mc = p.cv ? static_cast<float>(cvState.follow(p.cv[i], modulationLag)) : mgVcf * lfo[i];
        float c = (envelope[i] - 0.3f) * envelopeMod[i] + mc + cutoff[i] + accentAmount * accentCv[i];
        if (tracking > 0.0f) {
            const double pitch = p.pitchBase[i] * trackingScale;
            int j = 0;
            double f = 0.0;
            if (pitch > 0.0) {
                j = pitch < kTrackingLogSize - 1 ? static_cast<int>(pitch) : kTrackingLogSize - 2;
                f = std::min(pitch - j, 1.0);
            }
            const double log = logTable[j] * (1.0 - f) + logTable[j + 1] * f;
            c += static_cast<float>((log - 0.5) * tracking * 4.0);
        }
        if (audioRateMod) {
            c += static_cast<float>(
                fm1.follow(p.filterMod1[i] * p.out1[2 * i] * (1.0f - c * 0.99f), modulationLag));
            if (!plan.vco2ModulatesVco2)
                c += static_cast<float>(
                    fm2.follow(p.freqMod2[i] * p.out2[2 * i] * (1.0f - c * 0.99f), modulationLag));
        }
        control[i] = limit(c, 0.0f, kHighestCutoffControl);
    }
    voice.vcfCv = cvState;
    voice.filterFm1 = fm1;
    voice.filterFm2 = fm2;
}

void computeAmplifierTarget(const Segment& s, const AmplifierPorts& p, int frames) {
    const float accentVolume = s[param::AccentVolume] * s[param::AccentAmount];
    const float* modulation = p.cv ? p.cv : p.lfo;
    const float depth = p.cv ? 1.0f : s[param::MgVcaDest];  // a CV counts in full, exactly
    const float* accentCv = p.accentCv;
    const float* envelope = p.vcaEnvelope;
    float* target = p.target;
    for (int i = 0; i < frames; ++i)
        target[i] = (depth * modulation[i] + 1.0f + accentVolume * accentCv[i]) * envelope[i] * 0.5f;
}

bool prepareFilter(Filter& filter, const Segment& s, const FilterPorts& p, int frames) {
    filter.drive = 2.0f;
    filter.resonance = s[param::FilterResonance];
    filter.mode = s.filterMode;
    filter.inputs[Filter::kAudioIn] = p.in;
    filter.inputs[Filter::kCutoffIn] = p.cutoff;
    filter.inputs[Filter::kResonanceIn] = p.resonance;
    filter.setCoefficientBuffers(p.coefficients[0], p.coefficients[1], p.coefficients[2], p.coefficients[3]);
    filter.outputs[Filter::kAudioOut] = p.out;
    return filter.prepare(frames);
}

void amplify(OnePole& gain, const AmplifierLane& lane, double lag, int from, int to, float* left, float* right) {
    OnePole g = gain;
    for (int i = from; i < to; ++i) {
        const auto y = static_cast<float>(lane.filterOut[i] * g.follow(lane.target[i], lag));
        left[i] += y;
        right[i] += y;
    }
    gain = g;
}

// The lag is a serial chain from sample to sample, so two voices side by
// side run in the time of one; each sample still receives the voices in
// voice order.
void amplifyPair(OnePole& first, OnePole& second, const AmplifierLane& a, const AmplifierLane& b, double lag,
                 int frames, float* left, float* right) {
    OnePole g0 = first;
    OnePole g1 = second;
    for (int i = 0; i < frames; ++i) {
        const auto y0 = static_cast<float>(a.filterOut[i] * g0.follow(a.target[i], lag));
        const auto y1 = static_cast<float>(b.filterOut[i] * g1.follow(b.target[i], lag));
        left[i] = left[i] + y0 + y1;
        right[i] = right[i] + y0 + y1;
    }
    first = g0;
    second = g1;
}

}  // namespace tarvik

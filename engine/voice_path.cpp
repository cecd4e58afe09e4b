// The voices' signal path for one segment: envelopes and accent, the LFO,
// both oscillators at twice the rate with shaper, DC blockers and mixer,
// back to the host rate, noise and AUX, the cutoff control, the filter and
// the amplifier. The result is added into both outputs.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <type_traits>

#include "engine/engine.h"
#include "engine/engine_buffers.h"
#include "engine/engine_tables.h"
#include "engine/render_segment.h"

namespace tarvik {

namespace {

constexpr double kLn10 = std::numbers::ln10;
constexpr double kSilentLevel = 0.001;
constexpr float kHighestCutoffControl = 0.966f;

// A pulse width pushed past either end folds back into the cycle.
float fold(float x) { return x < 0.0f ? -x : (x > 1.0f ? 2.0f - x : x); }

float limit(float x, float low, float high) { return x > low ? (x < high ? x : high) : low; }

// The voice path's fixed one-pole coefficients were voiced at 44.1 kHz (the
// oscillator stages at twice that). At another rate the same coefficient
// would move each corner in Hz with the rate: the DC blockers' low cut
// would thin the bass at 96 kHz, the shaper's and the modulation lags'
// colour would change. So each keeps its corner frequency instead.
struct VoiceCoefficients {
    explicit VoiceCoefficients(double sampleRate)
        : scale(CutoffLaw::kReferenceRate / sampleRate),
          dcBlocker(atRate(0.01)),
          modulationLag(atRate(0.15)),
          amplifierLag(atRate(0.08)) {}

    double atRate(double c) const { return scale == 1.0 ? c : 1.0 - std::pow(1.0 - c, scale); }

    double scale;
    double dcBlocker;
    double modulationLag;
    double amplifierLag;
};

void setEnvelopeTimes(Envelope& e, double attack, double decay, double release, double sampleRate) {
    e.attackStep = static_cast<float>(1.0 / (attack * sampleRate));
    e.decayRate = static_cast<float>(kLn10 / (decay * sampleRate));
    e.releaseRate = static_cast<float>(kLn10 / (release * sampleRate));
}

}  // namespace

// Voices are prepared one after the other, each into a lane of its own; a
// full group (and the last, partial one) is filtered side by side (modes
// that read the voice's shared control buffers filter each voice at once),
// then amplified, so that the outputs add up exactly as they would one voice
// at a time. A silent voice takes no lane, so the voices that sound share
// groups.
void Engine::renderVoices(const Segment& s, int frames, float* left, float* right) {
    static_assert(FilterLanes::kLanes == kVoiceLanes);
    Buffers& b = *buffers_;
    const double amplifierLag = VoiceCoefficients(s.sampleRate).amplifierLag;
    const bool lanedFilter = FilterLanes::renders(s.filterMode);
    std::array<Voice*, kVoiceLanes> group{};
    std::array<int, kVoiceLanes> lengths{};
    int count = 0;
    auto flush = [&] {
        std::array<Filter*, kVoiceLanes> filters{};
        std::array<int, kVoiceLanes> ready{};
        int filtering = 0;
        for (int k = 0; k < count && lanedFilter; ++k) {
            if (!b.lanes[static_cast<std::size_t>(k)].filterReady) continue;
            filters[static_cast<std::size_t>(filtering)] = &group[static_cast<std::size_t>(k)]->filter;
            ready[static_cast<std::size_t>(filtering++)] = lengths[static_cast<std::size_t>(k)];
        }
        // One voice alone (a mono line) is quicker in the scalar ladder.
        if (filtering > 1)
            FilterLanes::render(filters.data(), ready.data(), filtering, s.filterMode);
        else if (filtering == 1)
            filters[0]->renderPrepared(ready[0]);
        renderVoiceOutputs(group.data(), lengths.data(), count, amplifierLag, left, right);
        count = 0;
    };
    for (int v = 0; v < s.voices; ++v) {
        Voice& each = voice(v);
        const int rendered = renderVoiceSource(each, s, frames, b.lanes[static_cast<std::size_t>(count)]);
        if (rendered == 0) continue;
        // The other modes read the voice's own control buffers as they run.
        if (!lanedFilter && b.lanes[static_cast<std::size_t>(count)].filterReady) each.filter.renderPrepared(rendered);
        group[static_cast<std::size_t>(count)] = &each;
        lengths[static_cast<std::size_t>(count)] = rendered;
        if (++count == kVoiceLanes) flush();
    }
    if (count > 0) flush();
}

int Engine::renderVoiceSource(Voice& voice, const Segment& s, int segmentFrames, VoiceLane& lane) {
    Buffers& b = *buffers_;
    b.useLane(lane);
    lane.filterReady = false;
    const double sr = s.sampleRate;
    const float* exp2 = exp2Table();
    const VoiceCoefficients rate(sr);

    // What a note-on reads is kept current even for voices not rendered.
    voice.setRetrigger(s[param::TriggerMode] > 0.0f);
    voice.noteTable = s.noteTable;
    voice.vco1.useWavetables = s.wavetableOscillators;
    voice.vco2.useWavetables = s.wavetableOscillators;

    // A released voice whose amplifier has died away costs nothing. It ends
    // at the sample where it falls silent, so that where the host's blocks
    // fall never decides the state it carries into its next note.
    const bool isVoice0 = &voice == &this->voice(0);
    const bool endsWhenSilent = voice.active == 0 && (s.midiMode == 1 || (s.midiMode == 0 && s.runStop == 0));
    const bool silent = endsWhenSilent && std::fabs(voice.vcaEnvelope.level) < kSilentLevel;
    if ((s.midiMode == 0 && !isVoice0) || silent) {
        if (voice.vcfEnvelope.attackFlag) indicators_.vcfEnvelope.store(1, std::memory_order_relaxed);
        if (voice.vcaEnvelope.attackFlag) indicators_.vcaEnvelope.store(1, std::memory_order_relaxed);
        return 0;
    }


    // Who drives the envelopes: the sequencer while it plays the pattern
    // mode (or when the trigger source asks for it), else the notes alone.
    Envelope& vcf = voice.vcfEnvelope;
    Envelope& vca = voice.vcaEnvelope;
    const bool sequencerDrives = s.runStop != 0 && s.midiMode == 0;
    const bool sequencerTriggers = sequencerDrives || s[param::VegTriggerSource] > 0.5f;
    float* seqGate = b.output(socket::SeqGateOut);
    for (Envelope* e : {&vcf, &vca}) {
        e->inputs[Envelope::kGateInput] = sequencerTriggers ? seqGate : nullptr;
        e->inputs[Envelope::kTriggerInput] = sequencerTriggers ? b.seqTrigger : nullptr;
    }
    vcf.inputs[Envelope::kAccentInput] = sequencerDrives ? b.accentGate : nullptr;
    voice.mg.inputs[ModGen::kResetInput] = sequencerDrives && s[param::MgRetrigger] != 0.0f ? b.seqTrigger : nullptr;

    setEnvelopeTimes(vcf, s.vcfAttack, s.vcfDecay, s.vcfRelease, sr);
    vcf.accentDecayRate = static_cast<float>(kLn10 / (s.accentDecay * sr));
    vcf.sustain = s[param::VcfSustain];
    vcf.inputs[Envelope::kAmountInput] = b.sockets[socket::VcfEnvAmount];
    vcf.outputs[Envelope::kOutput] = b.output(socket::VcfEnvOut);
    setEnvelopeTimes(vca, s.vcaAttack, s.vcaDecay, s.vcaRelease, sr);
    vca.sustain = s[param::VcaSustain];
    vca.inputs[Envelope::kAmountInput] = b.sockets[socket::VcaEnvAmount];
    vca.outputs[Envelope::kOutput] = b.output(socket::VcaEnvOut);

    ModGen& mg = voice.mg;
    mg.setFrequency(s.mgHz);
    mg.setAmount(s[param::MgAmount]);
    mg.setWave(s.mgWave);
    mg.setSmoothing(0.07f);
    if (s.justLoaded) mg.settle();
    mg.setFrequencyInput(b.mgFrequency);
    mg.outputs[ModGen::kControlOutput] = b.output(socket::MgCvOutput);
    mg.outputs[ModGen::kAudioOutput] = b.mgAudio;
    mg.setAudioOutput(s[param::MgAudioOutput] != 0.0f);
    mg.setRetrigger(s[param::MgRetrigger] != 0.0f);

    const bool sync = s[param::Sync2To1] != 0.0f;
    Oscillator* vcos[2] = {&voice.vco1, &voice.vco2};
    const int waves[2] = {s.vco1Wave, s.vco2Wave};
    float* frequencies[2] = {b.vco1Frequency, b.vco2Frequency};
    float* outs[2] = {b.vco1Out, b.vco2Out};
    for (int o = 0; o < 2; ++o) {
        Oscillator& vco = *vcos[o];
        vco.boost = s[param::VcoBoost];
        if (vco.waveform != waves[o]) {
            vco.waveform = waves[o];
            vco.resetWaveform();
        }
        vco.inputs[0] = frequencies[o];
        vco.outputs[0] = outs[o];
        vco.outputs[2] = b.oscillatorPhases;
        vco.outputs[3] = b.oscillatorPeriods;
    }
    voice.vco1.outputs[1] = sync ? b.sync : nullptr;
    voice.vco2.inputs[1] = sync ? b.sync : nullptr;

    voice.decimator.inputs[Decimate::kInput] = b.mix;
    voice.decimator.outputs[Decimate::kOutput] = b.filterIn;
    Filter& filter = voice.filter;
    filter.drive = 2.0f;
    filter.resonance = s[param::FilterResonance];
    filter.mode = s.filterMode;
    filter.inputs[Filter::kAudioIn] = b.filterIn;
    filter.inputs[Filter::kCutoffIn] = b.cutoffCv;
    for (int k = 0; k < 4; ++k) filter.inputs[static_cast<std::size_t>(Filter::kGScratch + k)] = b.filterScratch[static_cast<std::size_t>(k)];
    filter.inputs[Filter::kResonanceIn] = b.resonance;
    filter.outputs[Filter::kAudioOut] = b.filterOut;

    const int frames = Envelope::processPair(vca, vcf, segmentFrames, endsWhenSilent ? kSilentLevel : 0.0);
    const int twice = 2 * frames;
    if (s.anyConnection) {  // only cords read them
        std::fill_n(b.output(socket::MidiNoteCv), frames, static_cast<float>((voice.note - 64) / 12.0));
        std::fill_n(b.output(socket::MidiVelocityCv), frames, static_cast<float>(voice.velocity / 127.0));
    }
    const float* vcfEnv = b.socket(socket::VcfEnvOut);
    const float* vcaEnv = b.socket(socket::VcaEnvOut);

    // The patch-cord utilities only matter when cords exist.
    auto runUtilities = [&](Attenuator& attenuator, std::array<int, 5> attenuatorSockets, Inverter& inverter,
                            int inverterIn, int inverterOut, float inverterMode) {
        attenuator.inputs[Attenuator::kInput] = b.sockets[static_cast<std::size_t>(attenuatorSockets[0])];
        for (int k = 0; k < 4; ++k)
            attenuator.outputs[static_cast<std::size_t>(k)] = b.output(attenuatorSockets[static_cast<std::size_t>(k + 1)]);
        attenuator.process(frames);
        inverter.mode = inverterMode > 0.5f ? 1 : 0;
        inverter.inputs[Inverter::kInput] = b.sockets[static_cast<std::size_t>(inverterIn)];
        inverter.outputs[Inverter::kOutput] = b.output(inverterOut);
        inverter.process(frames);
    };
    if (s.anyConnection) {
        voice.attenuator1.variable = s[param::OutputVariable1];
        voice.attenuator1.bias = s[param::OutputBias];
        runUtilities(voice.attenuator1,
                     {socket::Attenuator1Input, socket::Attenuator1EighthOut, socket::Attenuator1HalfOut,
                      socket::Attenuator1VariableOut, socket::Attenuator1UnipolarOut},
                     voice.inverter1, socket::Inverter1Input, socket::Inverter1Output, s[param::Inverter1Mode]);
    }

    // The LFO runs only when something listens to it.
    float* mgOut = b.output(socket::MgCvOutput);
    const bool mgUsed = s[param::MgVco1Dest] > 0.0f || s[param::MgVco2Dest] > 0.0f || s[param::MgVcfDest] > 0.0f ||
                        s[param::MgVcaDest] > 0.0f || s[param::MgPw1Dest] > 0.0f || s[param::MgAudioOutput] > 0.0f ||
                        s.patched(socket::MgFreqCv) || s.patched(socket::MgAmountCv) || s.patched(socket::MgCvOutput);
    if (mgUsed) {
        const float* freqCv = s.patched(socket::MgFreqCv) ? b.socket(socket::MgFreqCv) : nullptr;
        const float* amountCv = s.patched(socket::MgAmountCv) ? b.socket(socket::MgAmountCv) : nullptr;
        const auto highest = static_cast<float>(sr / 4.0);
        const float amount = s[param::MgAmount];
        for (int i = 0; i < frames; ++i) {
            const float factor = freqCv ? exp2Octaves(freqCv[i], exp2) : 1.0f;
            b.mgFrequency[i] = std::min(factor * b.mgHz[i], highest);
            b.mgAmount[i] = limit(amountCv ? amount * amountCv[i] : amount, -1.0f, 1.0f);
        }
        mg.inputs[ModGen::kAmountInput] = b.mgAmount;
        mg.process(frames);
    } else {
        std::fill_n(mgOut, frames, 0.0f);
        std::fill_n(b.mgAudio, frames, 0.0f);
    }

    if (s.anyConnection) {
        voice.attenuator2.variable = s[param::OutputVariable2];
        voice.attenuator2.lagTime = s[param::OutputLagTime];
        runUtilities(voice.attenuator2,
                     {socket::Attenuator2Input, socket::Attenuator2EighthOut, socket::Attenuator2HalfOut,
                      socket::Attenuator2VariableOut, socket::Attenuator2LagOut},
                     voice.inverter2, socket::Inverter2Input, socket::Inverter2Output, s[param::Inverter2Mode]);
    }

    const float level1 = s[param::Vco1Level];
    const float level2 = s[param::Vco2Level];
    const float filterMod1 = s[param::Vco1FilterMod];
    const float freqMod2 = s[param::Vco2FreqMod];
    const bool ring = s[param::Ring1x2] > 0.0f;
    const bool vco2ModulatesVco2 = s[param::Vco2Mod] > 0.0f;
    const bool vco1Runs = level1 > 0.0f || filterMod1 > 0.0f || freqMod2 > 0.0f || sync;
    const bool vco2Runs = level2 > 0.0f || freqMod2 > 0.0f || ring;

    // Pitch: sequencer ratio x the voice's note (gliding on legato changes),
    // tuning and modulation in octaves, range and pitch bend; only for the
    // oscillators that run.
    const auto nyquist = static_cast<float>(sr / 2.0);
    {
        const float* cv1 = s.patched(socket::Vco1Cv) ? b.socket(socket::Vco1Cv) : nullptr;
        const float* cv2 = s.patched(socket::Vco2Cv) ? b.socket(socket::Vco2Cv) : nullptr;
        const float dest1 = s[param::MgVco1Dest];
        const float dest2 = s[param::MgVco2Dest];
        const auto m1 = static_cast<float>(s.multiplier1);
        const auto m2 = static_cast<float>(s.multiplier2);
        const bool legato = voice.isLegato();
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
        const float* ratio = b.seqPitchRatio;
        const float* tune1 = b.tune1;
        const float* tune2 = b.tune2;
        float* pitchBase = b.pitchBase;
        float* frequency1 = b.vco1Frequency;
        float* frequency2 = b.vco2Frequency;
        auto run = [&](auto gliding) {
            for (int i = 0; i < frames; ++i) {
                if constexpr (gliding)
                    glide.follow(target, glideCoefficient);
                else
                    glide.value = target;
                const float base = ratio[i] * static_cast<float>(glide.value);
                pitchBase[i] = base;
                if (vco1Runs) {
                    const float mod1 = cv1 ? cv1[i] : mgOut[i] * dest1;
                    frequency1[i] = limit(octaves1(tune1[i] + mod1, exp2) * base * m1, 1.0f, nyquist);
                }
                if (vco2Runs) {
                    const float mod2 = cv2 ? cv2[i] : mgOut[i] * dest2;
                    const float f2 = limit(octaves2(tune2[i] + mod2, exp2) * base * m2, 1.0f, nyquist);
                    // A synced VCO-2 below VCO-1 would only be restarted before it sounds.
                    frequency2[i] = sync ? std::max(f2, frequency1[i]) : f2;
                }
            }
        };
        if (legato)
            run(std::true_type{});
        else
            run(std::false_type{});
        voice.glide = glide;
    }

    {
        const float* pwCv1 = s.patched(socket::Vco1PwCv) ? b.socket(socket::Vco1PwCv) : nullptr;
        const float* pwCv2 = s.patched(socket::Vco2PwCv) ? b.socket(socket::Vco2PwCv) : nullptr;
        // Unmodulated, the oscillators read the knobs' own buffers.
        if (!pwCv1 && !pwCv2) {
            if (s[param::MgPw1Dest] != 0.0f) {
                for (int i = 0; i < frames; ++i) b.pw1[i] = fold(b.pulseWidth1[i] + mgOut[i] * 0.5f);
                voice.vco1.setPulseWidthInput(b.pw1);
            } else {
                voice.vco1.setPulseWidthInput(b.pulseWidth1);
            }
            voice.vco2.setPulseWidthInput(b.pulseWidth2);
        } else {
            voice.vco1.setPulseWidthInput(b.pw1);
            voice.vco2.setPulseWidthInput(b.pw2);
            for (int i = 0; i < frames; ++i) {
                b.pw1[i] = fold(b.pulseWidth1[i] + (pwCv1 ? 0.5f * pwCv1[i] : 0.0f));
                b.pw2[i] = fold(b.pulseWidth2[i] + (pwCv2 ? 0.5f * pwCv2[i] : 0.0f));
            }
        }
    }

    if (vco1Runs)
        voice.vco1.process(twice);
    else
        std::fill_n(b.vco1Out, twice, 0.0f);

    if (vco2ModulatesVco2 && freqMod2 > 0.0f) {
        for (int i = 0; i < frames; ++i)
            b.vco2Frequency[i] = limit(b.vco2Frequency[i] * exp2Octaves(freqMod2 * b.vco1Out[2 * i] * 8.0f, exp2), 1.0f, nyquist);
    }
    if (vco2Runs)
        voice.vco2.process(twice);
    else
        std::fill_n(b.vco2Out, twice, 0.0f);

    // Shaper: each oscillator folds through a sine of its own low-passed
    // signal, mixed in by the shaper amount.
    const float* shaperCv = s.patched(socket::ShaperCv) ? b.socket(socket::ShaperCv) : nullptr;
    if (s[param::VcoShaper] > 0.0f || shaperCv) {
        OnePole states[2] = {voice.shaper1, voice.shaper2};
        for (int i = 0; i < twice; ++i) {
            const int frame = i / 2;
            float amount = b.shaper[frame] * (shaperCv ? shaperCv[frame] : 1.0f);
            amount = std::min(std::fabs(amount), 1.0f);
            // Close to linear in the rate for coefficients this small.
            const double c = std::min((0.07 - amount * 0.045) * rate.scale, 1.0);
            for (int o = 0; o < 2; ++o) {
                float& x = outs[o][i];
                const auto state = static_cast<float>(states[o].follow(x, c));
                x = tableSine(state * 30.0f * amount) * amount + x * (1.0f - amount);
            }
        }
        voice.shaper1 = states[0];
        voice.shaper2 = states[1];
    }

    // The accent charges a capacitor from the filter envelope while the
    // accent gate is open; more resonance charges it more slowly. Each voice
    // has its own: one shared by all would be stepped once per voice over the
    // same samples, so chords would hear a charge that depends on where the
    // host's blocks fall. Its loop also runs the oscillators' DC blockers:
    // each is a serial chain from sample to sample, and in one loop the
    // processor works on them side by side.
    {
        const float amount = s[param::AccentAmount];
        OnePole accent = voice.accentCircuit;
        OnePole blocker1 = voice.dcBlocker1;
        OnePole blocker2 = voice.dcBlocker2;
        auto run = [&](auto bothOscillators) {
            for (int i = 0; i < frames; ++i) {
                const double x = amount * vcfEnv[i];
                if (b.accentGate[i] == 0.0f || x <= accent.value)
                    accent.follow(0.0, s.accentRelease);
                else
                    accent.follow(x, s.accentCharge);
                b.accentCv[i] = static_cast<float>(accent.value);
                blocker1.blockPair(b.vco1Out + 2 * i, rate.dcBlocker);
                if constexpr (bothOscillators) blocker2.blockPair(b.vco2Out + 2 * i, rate.dcBlocker);
            }
        };
        if (vco2Runs)
            run(std::true_type{});
        else
            run(std::false_type{});
        voice.accentCircuit = accent;
        voice.dcBlocker1 = blocker1;
        voice.dcBlocker2 = blocker2;
    }

    // The mixer with ring modulation and the balance CV.
    {

        const float* balance = s.patched(socket::VcoBalanceCv) ? b.socket(socket::VcoBalanceCv) : nullptr;
        for (int i = 0; i < twice; ++i) {
            float b1 = 1.0f;
            float b2 = 1.0f;
            if (balance) {
                b2 = balance[i / 2] * 0.5f + 0.5f;
                b1 = 1.0f - b2;
            }
            const float v1 = b.vco1Out[i];
            const float v2 = b.vco2Out[i];
            b.mix[i] = ring ? (v1 * 1.5f * v2 * level1 * b1 + v2 * level2 * b2) * 0.5f
                            : (level1 * v1 * b1 + level2 * v2 * b2) * 0.5f;
        }
        voice.decimator.process(twice);
    }

    // Noise, AUX and the LFO's audio join the oscillators before the filter.
    {
        const float* noiseBalance = s.patched(socket::NoiseAuxBalanceCv) ? b.socket(socket::NoiseAuxBalanceCv) : nullptr;
        const float noiseLevel = s[param::NoiseLevel];
        if (noiseLevel > 0.0f) {
            const float color = s[param::NgColor];
            voice.noise.setColor((1.0f - s[param::FilterResonance] * 0.8f) * color);
            voice.noise.inputs[NoiseOsc::kColorInput] = b.sockets[socket::NoiseCv];
            voice.noise.outputs[NoiseOsc::kOutput] = b.noise;
            voice.noise.process(frames);
            const float gain = (2.0f - color) * (2.0f - color) * noiseLevel;
            for (int i = 0; i < frames; ++i) {
                const float nb = noiseBalance ? 1.0f - (noiseBalance[i] * 0.5f + 0.5f) : 1.0f;
                b.filterIn[i] += gain * b.noise[i] * nb;
            }
        }
        const float auxLevel = s[param::AuxLevel];
        if (auxLevel > 0.0f && s.auxOn) {
            for (int i = 0; i < frames; ++i) {
                const float ab = noiseBalance ? noiseBalance[i] * 0.5f + 0.5f : 1.0f;
                b.filterIn[i] += b.aux[i] * 3.0f * auxLevel * ab;
            }
        }
        if (s[param::MgAudioOutput] != 0.0f) {
            const float amount = s[param::MgAmount];
            for (int i = 0; i < frames; ++i) b.filterIn[i] += b.mgAudio[i] * amount;
        }
    }

    // The cutoff control: envelope, LFO or CV, knob, accent, key tracking and
    // audio-rate modulation from the oscillators. The cutoff law of the host
    // rate keeps this control's cutoff in Hz the same at every sample rate.
    {
        const float* vcfCv = s.patched(socket::VcfCv) ? b.socket(socket::VcfCv) : nullptr;
        const float mgVcf = s[param::MgVcfDest] * 0.25f;
        const float accentAmount = s[param::AccentAmount];
        const float tracking = s[param::VcfTracking];
        const float* logTable = trackingLogTable();
        const double trackingScale = 22050.0 / sr;
        const bool audioRateMod = filterMod1 > 0.0f || freqMod2 > 0.0f;
        OnePole cvState = voice.vcfCv;
        OnePole fm1 = voice.filterFm1;
        OnePole fm2 = voice.filterFm2;
        // Without a CV, tracking or audio-rate modulation the control is a
        // sum of buffers, a loop the compiler vectorises.
        if (!vcfCv && !(tracking > 0.0f) && !audioRateMod) {
            const float* envelope = vcfEnv;
            const float* envelopeMod = b.envelopeMod;
            const float* cutoff = b.cutoff;
            const float* accentCv = b.accentCv;
            float* control = b.cutoffCv;
            for (int i = 0; i < frames; ++i) {
                const float c = (envelope[i] - 0.3f) * envelopeMod[i] + mgVcf * mgOut[i] + cutoff[i] +
                                accentAmount * accentCv[i];
                control[i] = limit(c, 0.0f, kHighestCutoffControl);
            }
        } else {
            for (int i = 0; i < frames; ++i) {
                const float mc =
                    vcfCv ? static_cast<float>(cvState.follow(vcfCv[i], rate.modulationLag)) : mgVcf * mgOut[i];
                float c = (vcfEnv[i] - 0.3f) * b.envelopeMod[i] + mc + b.cutoff[i] + accentAmount * b.accentCv[i];
                if (tracking > 0.0f) {
                    const double p = b.pitchBase[i] * trackingScale;
                    int j = 0;
                    double f = 0.0;
                    if (p > 0.0) {
                        j = p < kTrackingLogSize - 1 ? static_cast<int>(p) : kTrackingLogSize - 2;
                        f = std::min(p - j, 1.0);
                    }
                    const double log = logTable[j] * (1.0 - f) + logTable[j + 1] * f;
                    c += static_cast<float>((log - 0.5) * tracking * 4.0);
                }
                if (audioRateMod) {
                    c += static_cast<float>(
                        fm1.follow(b.filterMod1[i] * b.vco1Out[2 * i] * (1.0f - c * 0.99f), rate.modulationLag));
                    if (!vco2ModulatesVco2)
                        c += static_cast<float>(
                            fm2.follow(b.freqMod2[i] * b.vco2Out[2 * i] * (1.0f - c * 0.99f), rate.modulationLag));
                }
                b.cutoffCv[i] = limit(c, 0.0f, kHighestCutoffControl);
            }
        }
        voice.vcfCv = cvState;
        voice.filterFm1 = fm1;
        voice.filterFm2 = fm2;
    }

    // What the amplifier will follow: envelope, LFO or CV, and the accent's
    // extra volume. Formed now, while this voice's modulation is in the
    // buffers, for when the filter has run.
    {
        const float* vcaCv = s.patched(socket::VcaCv) ? b.socket(socket::VcaCv) : nullptr;
        const float mgVca = s[param::MgVcaDest];
        const float accentVolume = s[param::AccentVolume] * s[param::AccentAmount];
        const float* modulation = vcaCv ? vcaCv : mgOut;
        const float depth = vcaCv ? 1.0f : mgVca;  // a CV counts in full, exactly
        const float* accentCv = b.accentCv;
        float* target = b.amplifierTarget;
        for (int i = 0; i < frames; ++i)
            target[i] = (depth * modulation[i] + 1.0f + accentVolume * accentCv[i]) * vcaEnv[i] * 0.5f;
    }

    // The filter's coefficients, while this voice's cutoff control is in the
    // buffers; its ladder runs with its group.
    lane.filterReady = filter.prepare(frames);

    if (vcf.attackFlag) indicators_.vcfEnvelope.store(1, std::memory_order_relaxed);
    if (vca.attackFlag) indicators_.vcaEnvelope.store(1, std::memory_order_relaxed);
    return frames;
}

// The amplifier: each voice's filter output follows its target with a short
// lag and is added into both outputs. Its lag is a serial chain from sample
// to sample, so voices are amplified two at a time, side by side, each
// sample still receiving the voices in voice order.
void Engine::renderVoiceOutputs(Voice* const* group, const int* lengths, int count, double amplifierLag, float* left,
                                float* right) {
    const VoiceLane* lane = buffers_->lanes.data();
    auto alone = [&](int k, int from) {
        OnePole gain = group[k]->vcaGain;
        for (int i = from; i < lengths[k]; ++i) {
            const auto y = static_cast<float>(lane[k].filterOut[i] * gain.follow(lane[k].amplifierTarget[i], amplifierLag));
            left[i] += y;
            right[i] += y;
        }
        group[k]->vcaGain = gain;
    };
    int k = 0;
    for (; k + 1 < count; k += 2) {
        OnePole first = group[k]->vcaGain;
        OnePole second = group[k + 1]->vcaGain;
        const int both = std::min(lengths[k], lengths[k + 1]);
        for (int i = 0; i < both; ++i) {
            const auto y0 = static_cast<float>(lane[k].filterOut[i] * first.follow(lane[k].amplifierTarget[i], amplifierLag));
            const auto y1 =
                static_cast<float>(lane[k + 1].filterOut[i] * second.follow(lane[k + 1].amplifierTarget[i], amplifierLag));
            left[i] = left[i] + y0 + y1;
            right[i] = right[i] + y0 + y1;
        }
        group[k]->vcaGain = first;
        group[k + 1]->vcaGain = second;
        // Past the shorter voice only the longer one sounds.
        alone(k, both);
        alone(k + 1, both);
    }
    if (k < count) alone(k, 0);
}

}  // namespace tarvik

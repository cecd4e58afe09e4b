// The render loop: one segment of a host block, stage by stage over whole
// buffers. The segment-wide stages (routing, sequencer, accent, glide,
// controllers, smoothers) come first, then each voice, then the stereo delay
// and the master volume.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/engine.h"
#include "engine/engine_buffers.h"
#include "engine/render_segment.h"

namespace tarvik {

namespace {

constexpr double kLn10 = std::numbers::ln10;
constexpr float kSmoothCoefficient = 0.0007f;
constexpr float kShaperSmoothCoefficient = 0.005f;
constexpr float kMasterCoefficient = 0.001f;
// Bend ranges beyond eight octaves are taken for damaged patches.
constexpr int kMaxBendRange = 96;

// Tempo-synced LFO rates (cycles per beat) and delay times (sixteenths).
constexpr double kSyncRatios[] = {1.0 / 8, 1.0 / 7, 1.0 / 6, 1.0 / 5, 1.0 / 4, 1.0 / 3, 1.0 / 2, 1.0,
                                  2.0,     3.0,     4.0,     5.0,     6.0,     7.0,     8.0};

double syncRatio(float v) { return kSyncRatios[static_cast<int>(v * 14.0f)]; }

// Envelope-style times: e^-k seconds at 0 up to e^4 seconds at 1.
double knobTime(float x, double k) { return std::exp(x * 4.0 - (1.0 - x) * k); }

float fillMean(const float* x, int frames) {
    double sum = 0.0;
    for (int i = 0; i < frames; ++i) sum += x[i];
    return static_cast<float>(sum / frames);
}

}  // namespace

void Engine::snapshot(Segment& s, int /*frames*/) const {
    const TarvikPatch& p = patch();
    for (int i = 0; i < kNumParameters; ++i) {
        const float v = p.parameter(i);
        // Host automation stores values as given; the sound uses them within
        // their range, and a NaN or an infinity as the parameter's default.
        s.parameters[static_cast<std::size_t>(i)] =
            std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : kParameterTable[static_cast<std::size_t>(i)].defaultValue;
    }
    const double sr = sampleRate();
    s.sampleRate = sr;
    s.midiMode = p.state(state::MidiMode);
    s.runStop = p.state(state::RunStop);
    s.filterMode = p.state(state::FilterMode);
    s.voices = activeVoiceLimit();
    s.wavetableOscillators = config_.oscModel.load(std::memory_order_relaxed) != 0;
    s.noteTable = noteTables_.noteTableFor(config_.tuningMode.load(std::memory_order_relaxed));

    const float resonance = s[param::FilterResonance];
    const double r = resonance >= 0.5f ? std::sqrt((resonance - 0.5) * 2.0) : 0.0;
    s.accentCharge = kLn10 / (((1.0 - r) * 0.00052 + r * 0.061) * sr);
    const double a = s[param::AccentDecay];
    s.accentRelease = kLn10 / (((1.0 - a) * 0.00052 + a) * sr);

    const bool mgSynced = p.state(state::DelaySync) != 0 || s[param::MgBpmSync] > 0.5f;
    s.mgHz = mgSynced ? syncRatio(s[param::MgFrequency]) * tempo() / 60.0
                      : std::exp2(s[param::MgFrequency] * 14.0) * 0.1;
    s.mgWave = static_cast<int>(s[param::MgWave] * 4.0f);
    s.vco1Wave = static_cast<int>(s[param::Vco1Waveform] * 4.0f);
    s.vco2Wave = static_cast<int>(s[param::Vco2Waveform] * 4.0f);

    const double g = s[param::GlideTime];
    s.glideCoefficient = kLn10 / (sr * 0.01) * (1.0 - g) + kLn10 / sr * g;
    const int bendRange = std::clamp(static_cast<int>(p.state(state::BendRange)), -kMaxBendRange, kMaxBendRange);
    const double bend = std::exp2((performance_.pitchBend / 16383.0 - 0.5) * 2.0 * bendRange / 12.0);
    s.multiplier1 = std::exp2(static_cast<int>(s[param::Vco1Range] * 2.0f)) * bend;
    s.multiplier2 = std::exp2(static_cast<int>(s[param::Vco2Range] * 2.0f)) * bend;
    s.smoothCoefficient = kSmoothCoefficient;

    s.vcfAttack = knobTime(s[param::VcfAttack], 9.0);
    s.vcfDecay = knobTime(s[param::VcfDecay], 8.0);
    s.vcfRelease = knobTime(s[param::VcfRelease], 7.0);
    s.accentDecay = knobTime(s[param::AccentDecay], 8.0);
    s.vcaAttack = knobTime(s[param::VcaAttack], 9.0);
    s.vcaDecay = knobTime(s[param::VcaDecay], 8.0);
    s.vcaRelease = knobTime(s[param::VcaRelease], 7.0);
}

void Engine::renderSegment(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs) {
    Buffers& b = *buffers_;
    TarvikPatch& p = patch();
    float* left = outputs[0];
    float* right = outputs[1];

    Segment s;
    snapshot(s, frames);

    // The AUX input: both host inputs summed.
    std::fill_n(b.aux, frames, 0.0f);
    if (p.state(state::AuxInput) != 0) {
        for (int c = 0; c < 2; ++c) {
            if (!inputs[c]) continue;
            for (int i = 0; i < frames; ++i) b.aux[i] += inputs[c][i];
            s.auxOn = true;
        }
    }

    if (clearOutputs) {
        std::fill_n(left, frames, 0.0f);
        std::fill_n(right, frames, 0.0f);
    }

    // While a new patch is installed the segment is silent and the routing
    // stays as it was; what the old patch left behind is cleared.
    if (patchLoading_.load(std::memory_order_acquire)) {
        delayLeft_.clear();
        delayRight_.clear();
        performance_.heldKeys.fill(0);
        performance_.keyStamps.fill(0);
        performance_.keyCounter = 0;
        return;
    }
    // After a load (and at start-up) everything that glides starts at its
    // target: at the segment's first sample, not for its whole length, so
    // that the length of the host's first block changes nothing.
    s.justLoaded = patchJustLoaded_.exchange(false, std::memory_order_acq_rel);
    if (s.justLoaded) {
        delayLeft_.clear();
        delayRight_.clear();
        masterGain_ = s[param::MasterVolume];
    }

    refreshRouting(p, s.justLoaded);
    sockets_.applyConnections(routed_);
    for (int i = 0, n = routed_.size(); i < n; ++i) {
        const Connection c = routed_.at(i);
        if (!sockets_.isOutput(c.output) || !sockets_.isInput(c.input)) continue;
        s.connected[static_cast<std::size_t>(c.output)] = true;
        s.connected[static_cast<std::size_t>(c.input)] = true;
        s.anyCable = true;
    }

    renderSequencer(s, frames);
    renderControllers(s, frames);
    renderSmoothers(s, frames);
    renderVoices(s, frames, left, right);
    renderDelay(s, frames, left, right);

    // Master volume, smoothed so that a moved knob never clicks.
    const float coefficient = kMasterCoefficient;
    const float volume = s[param::MasterVolume];
    float gain = masterGain_;
    float dither = masterDither_;
    for (int i = 0; i < frames; ++i) {
        gain += ((volume + dither) - gain) * coefficient;
        dither = -dither;
        left[i] *= gain;
        right[i] *= gain;
    }
    masterGain_ = gain;
    masterDither_ = dither;
}

// The cables are read whole, and only when they changed: a block that meets
// a replacement under way keeps routing the list it had, so that it never
// routes a cable made of two.
void Engine::refreshRouting(const TarvikPatch& p, bool patchChanged) {
    if (patchChanged) routedPatch_ = nullptr;  // read until a read succeeds
    const std::uint32_t version = p.cablesVersion();
    if (&p == routedPatch_ && version == routedVersion_) return;
    CableList fresh;
    if (!p.readCables(fresh)) return;
    routed_ = fresh;
    routedPatch_ = &p;
    routedVersion_ = version;
}

// The sequencer, then what the note mode takes from it, the accent gate and
// the glide of the sequencer's pitch.
void Engine::renderSequencer(const Segment& s, int frames) {
    Buffers& b = *buffers_;
    const SequencerBuffers out{b.seqPitchRatio, b.output(socket::SeqGateOut), b.seqTrigger,
                               b.seqSlide,      b.output(socket::SeqAccentOut), b.output(socket::SeqNoteOut)};
    sequencer_.renderSegment(frames, patch(), tempo(), s.sampleRate, s[param::GateTime], out);
    indicators_.playingStep.store(sequencer_.running == 1 ? sequencer_.playingStep() : -1, std::memory_order_relaxed);

    if (s.midiMode == 0) {
        Voice& v0 = voice(0);
        // The sequencer's voice sounds its base note; a keyboard preview
        // keeps its own while the sequencer is stopped.
        if (!(previewing_ && s.runStop == 0)) {
            v0.note = 36;
            v0.targetPitch = s.noteTable[36];
        }
        indicators_.gate.store(fillMean(out.gate, frames) > 0.1f ? 1 : 0, std::memory_order_relaxed);
    } else if (s.midiMode == 1) {
        std::fill_n(b.seqPitchRatio, frames, 1.0f);
    }

    const float* accentSource = s.patched(socket::AccentTrigger) ? b.socket(socket::AccentTrigger) : out.accent;
    const float manual = s[param::AccentManual];
    bool accented = false;
    for (int i = 0; i < frames; ++i) {
        const bool on = accentSource[i] + manual > 0.0f;
        b.accentGate[i] = on ? 1.0f : 0.0f;
        accented = accented || on;
    }
    if (accented) indicators_.accent.store(1, std::memory_order_relaxed);

    OnePole glide = seqGlide_;
    if (s.justLoaded) glide.value = b.seqPitchRatio[0];
    for (int i = 0; i < frames; ++i) {
        if (b.seqSlide[i] == 0.0f)
            glide.value = b.seqPitchRatio[i];
        else
            glide.follow(b.seqPitchRatio[i], s.glideCoefficient);
        b.seqPitchRatio[i] = static_cast<float>(glide.value);
    }
    seqGlide_ = glide;
}

// Modulation wheel and channel pressure as smooth signals, and the envelope
// follower on the AUX input.
void Engine::renderControllers(const Segment& s, int frames) {
    Buffers& b = *buffers_;
    const double wheel = ((performance_.modWheelMsb << 7 | performance_.modWheelLsb) * 2.0 / 16383.0) - 1.0;
    const double pressure = performance_.channelPressure / 127.0;
    float* wheelOut = b.output(socket::ModWheel);
    float* pressureOut = b.output(socket::ChannelPressure);
    if (s.justLoaded) {
        modWheel_.value = wheel;
        pressure_.value = pressure;
    }
    for (int i = 0; i < frames; ++i) {
        wheelOut[i] = static_cast<float>(modWheel_.follow(wheel, s.smoothCoefficient));
        pressureOut[i] = static_cast<float>(pressure_.follow(pressure, s.smoothCoefficient));
    }

    float* followerOut = b.output(socket::EnvelopeFollower);
    if (s.auxOn && s.patched(socket::EnvelopeFollower)) {
        follower_.attackRate = static_cast<float>(kLn10 / (knobTime(s[param::EnvFollowAttack], 9.0) * s.sampleRate));
        follower_.releaseRate = static_cast<float>(kLn10 / (knobTime(s[param::EnvFollowRelease], 8.0) * s.sampleRate));
        follower_.inputs[EnvelopeFollower::kInput] = b.aux;
        follower_.outputs[EnvelopeFollower::kOutput] = followerOut;
        follower_.process(frames);
    } else {
        std::fill_n(followerOut, frames, 0.0f);
    }
}

void Engine::renderSmoothers(const Segment& s, int frames) {
    Buffers& b = *buffers_;
    const auto coefficient = static_cast<float>(s.smoothCoefficient);
    auto set = [&](ParameterSmoother& smoother, int channel, float* out, double target, float c) {
        ParameterSmoother::Channel& ch = smoother.channels[static_cast<std::size_t>(channel)];
        ch.output = out;
        ch.target = static_cast<float>(target);
        ch.coefficient = c;
    };
    const double masterTune = (s[param::MasterTuning] - 0.5) * 2.0;
    set(smoothers_[0], 0, b.cutoff, s[param::FilterCutoff], coefficient);
    set(smoothers_[0], 1, b.resonance, s[param::FilterResonance], coefficient);
    set(smoothers_[0], 2, b.envelopeMod, s[param::EnvelopeMod], coefficient);
    set(smoothers_[0], 3, b.mgHz, s.mgHz, coefficient);
    set(smoothers_[1], 0, b.tune1, (s[param::Vco1FineTune] - 0.5) * 8.0 + masterTune, coefficient);
    set(smoothers_[1], 1, b.tune2, (s[param::Vco2FineTune] - 0.5) * 8.0 + masterTune, coefficient);
    set(smoothers_[1], 2, b.pulseWidth1, s[param::Vco1PulseWidth], coefficient);
    set(smoothers_[1], 3, b.pulseWidth2, s[param::Vco2PulseWidth], coefficient);
    set(smoothers_[2], 0, b.filterMod1, s[param::Vco1FilterMod], coefficient);
    set(smoothers_[2], 1, b.freqMod2, s[param::Vco2FreqMod], coefficient);
    // The shaper glides slowly even after a patch load: its sine folding
    // would crackle on a jump.
    set(smoothers_[2], 2, b.shaper, s[param::VcoShaper], kShaperSmoothCoefficient);
    if (s.justLoaded) {
        for (ParameterSmoother& smoother : smoothers_)
            for (ParameterSmoother::Channel& ch : smoother.channels)
                if (ch.output != b.shaper) ch.value = ch.target;
    }
    for (ParameterSmoother& smoother : smoothers_) smoother.process(frames);
}

void Engine::renderDelay(const Segment& s, int frames, float* left, float* right) {
    Buffers& b = *buffers_;
    std::copy_n(left, frames, right);  // the voices are mono

    const float feedback = s[param::DelayFeedback];
    delayLeft_.feedback = feedback;
    delayRight_.feedback = feedback;
    const float timeLeft = s[param::DelayLeft];
    const float timeRight = s[param::DelayRight];
    const bool synced = patch().state(state::DelaySync) != 0 || s[param::DelayBpmSync] > 0.5f;
    auto fraction = [&](float knob) {
        const double t = synced ? samplesPerSixteenth() * syncRatio(knob) / DelayLine::kLength : knob * 0.99 + 0.01;
        return std::clamp(t, 0.0, 1.0);
    };
    delayLeft_.targetPosition = 1.0 - fraction(timeLeft);
    delayRight_.targetPosition = 1.0 - fraction(timeRight);
    if (s.justLoaded) {
        delayLeft_.position = delayLeft_.targetPosition;
        delayRight_.position = delayRight_.targetPosition;
    }

    const float amount = s[param::DelayAmount];
    if (!(amount > 0.0f)) return;
    const float* cvLeft = s.patched(socket::DelayTimeLeft) ? b.socket(socket::DelayTimeLeft) : nullptr;
    const float* cvRight = s.patched(socket::DelayTimeRight) ? b.socket(socket::DelayTimeRight) : nullptr;
    // A patched time input sweeps the delay up to the knob's time.
    auto modulated = [](float cv, float knob) {
        return 1.0 - std::clamp(std::fabs(cv * 0.99) * knob + 0.01, 0.0, 1.0);
    };
    for (int i = 0; i < frames; ++i) {
        if (cvLeft) delayLeft_.targetPosition = modulated(cvLeft[i], timeLeft);
        if (cvRight) delayRight_.targetPosition = modulated(cvRight[i], timeRight);
        left[i] += delayLeft_.tick(left[i]) * amount;
        right[i] += delayRight_.tick(right[i]) * amount;
    }
}

}  // namespace tarvik

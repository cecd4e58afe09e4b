// The voices for one segment: each voice's stages in order (see
// renderVoiceSource), its filter with those of its group, then the
// amplifier, added into both outputs.
#include <algorithm>
#include <array>
#include <cmath>

#include "engine/engine.h"
#include "engine/engine_buffers.h"
#include "engine/render_segment.h"
#include "engine/voice_stages.h"

namespace tarvik {

namespace {

// Below this level a released voice is silent and stops.
constexpr double kSilentLevel = 0.001;

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
    const Buffers& b = *buffers_;
    lane.filterReady = false;

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
        showEnvelopeAttacks(voice);
        return 0;
    }

    const VoiceCoefficients rate(s.sampleRate);
    const OscillatorPlan plan(s);
    // A cable's input: the buffer of the output it comes from, or null.
    auto cable = [&](int input) { return s.patched(input) ? b.output(input) : nullptr; };
    float* lfo = b.output(socket::MgCvOutput);
    const float* vcfEnvelope = b.socket(socket::VcfEnvOut);
    const float* vcaEnvelope = b.socket(socket::VcaEnvOut);

    // Who drives the envelopes: the sequencer while it plays the pattern
    // mode (or when the trigger source asks for it), else the notes alone.
    const bool sequencerDrives = s.runStop != 0 && s.midiMode == 0;
    const bool sequencerTriggers = sequencerDrives || s[param::VegTriggerSource] > 0.5f;
    const int frames = runEnvelopes(voice, s,
                                    {.gate = sequencerTriggers ? b.output(socket::SeqGateOut) : nullptr,
                                     .trigger = sequencerTriggers ? b.seqTrigger : nullptr,
                                     .accentGate = sequencerDrives ? b.accentGate : nullptr,
                                     .vcfAmount = b.output(socket::VcfEnvAmount),
                                     .vcaAmount = b.output(socket::VcaEnvAmount),
                                     .vcfOut = b.output(socket::VcfEnvOut),
                                     .vcaOut = b.output(socket::VcaEnvOut)},
                                    segmentFrames, endsWhenSilent ? kSilentLevel : 0.0);

    // The cable utilities only matter when cables exist.
    if (s.anyCable) {
        writeNoteCvs(voice, b.output(socket::MidiNoteCv), b.output(socket::MidiVelocityCv), frames);
        voice.attenuator1.variable = s[param::OutputVariable1];
        voice.attenuator1.bias = s[param::OutputBias];
        runUtilities(voice.attenuator1, voice.inverter1, s[param::Inverter1Mode],
                     {.attenuatorIn = b.output(socket::Attenuator1Input),
                      .attenuatorOuts = {b.output(socket::Attenuator1EighthOut), b.output(socket::Attenuator1HalfOut),
                                         b.output(socket::Attenuator1VariableOut),
                                         b.output(socket::Attenuator1UnipolarOut)},
                      .inverterIn = b.output(socket::Inverter1Input),
                      .inverterOut = b.output(socket::Inverter1Output)},
                     frames);
    }
    runLfo(voice.mg, s,
           {.rate = b.mgHz,
            .rateCv = cable(socket::MgFreqCv),
            .amountCv = cable(socket::MgAmountCv),
            .reset = sequencerDrives && s[param::MgRetrigger] != 0.0f ? b.seqTrigger : nullptr,
            .rateWork = b.mgFrequency,
            .amountWork = b.mgAmount,
            .out = lfo,
            .audio = b.mgAudio},
           frames);
    if (s.anyCable) {
        voice.attenuator2.variable = s[param::OutputVariable2];
        voice.attenuator2.lagTime = s[param::OutputLagTime];
        runUtilities(voice.attenuator2, voice.inverter2, s[param::Inverter2Mode],
                     {.attenuatorIn = b.output(socket::Attenuator2Input),
                      .attenuatorOuts = {b.output(socket::Attenuator2EighthOut), b.output(socket::Attenuator2HalfOut),
                                         b.output(socket::Attenuator2VariableOut), b.output(socket::Attenuator2LagOut)},
                      .inverterIn = b.output(socket::Inverter2Input),
                      .inverterOut = b.output(socket::Inverter2Output)},
                     frames);
    }

    computePitch(voice, s, plan,
                 {.ratio = b.seqPitchRatio,
                  .tune1 = b.tune1,
                  .tune2 = b.tune2,
                  .cv1 = cable(socket::Vco1Cv),
                  .cv2 = cable(socket::Vco2Cv),
                  .lfo = lfo,
                  .base = b.pitchBase,
                  .frequency1 = b.vco1Frequency,
                  .frequency2 = b.vco2Frequency},
                 frames);
    computePulseWidths(voice, s,
                       {.knob1 = b.pulseWidth1,
                        .knob2 = b.pulseWidth2,
                        .cv1 = cable(socket::Vco1PwCv),
                        .cv2 = cable(socket::Vco2PwCv),
                        .lfo = lfo,
                        .work1 = b.pw1,
                        .work2 = b.pw2},
                       frames);
    runOscillators(voice, s, plan,
                   {.frequency1 = b.vco1Frequency,
                    .frequency2 = b.vco2Frequency,
                    .out1 = b.vco1Out,
                    .out2 = b.vco2Out,
                    .sync = b.sync,
                    .phases = b.oscillatorPhases,
                    .periods = b.oscillatorPeriods},
                   frames);
    runShaper(voice, s, {.amount = b.shaper, .cv = cable(socket::ShaperCv), .out1 = b.vco1Out, .out2 = b.vco2Out},
              rate.scale, frames);
    runAccentAndDcBlockers(voice, s, plan,
                           {.vcfEnvelope = vcfEnvelope,
                            .accentGate = b.accentGate,
                            .accentCv = b.accentCv,
                            .out1 = b.vco1Out,
                            .out2 = b.vco2Out},
                           rate.dcBlocker, frames);
    runMixer(voice, plan,
             {.out1 = b.vco1Out,
              .out2 = b.vco2Out,
              .balanceCv = cable(socket::VcoBalanceCv),
              .mix = b.mix,
              .filterIn = lane.filterIn},
             frames);
    addNoiseAuxAndLfo(voice, s,
                      {.balanceCv = cable(socket::NoiseAuxBalanceCv),
                       .noiseCv = b.output(socket::NoiseCv),
                       .aux = b.aux,
                       .lfoAudio = b.mgAudio,
                       .noise = b.noise,
                       .filterIn = lane.filterIn},
                      frames);
    computeCutoffControl(voice, s, plan,
                         {.cv = cable(socket::VcfCv),
                          .lfo = lfo,
                          .vcfEnvelope = vcfEnvelope,
                          .envelopeMod = b.envelopeMod,
                          .cutoff = b.cutoff,
                          .accentCv = b.accentCv,
                          .pitchBase = b.pitchBase,
                          .filterMod1 = b.filterMod1,
                          .freqMod2 = b.freqMod2,
                          .out1 = b.vco1Out,
                          .out2 = b.vco2Out,
                          .control = b.cutoffCv},
                         rate.modulationLag, frames);
    // Formed now, while this voice's modulation is in the buffers.
    computeAmplifierTarget(s,
                           {.cv = cable(socket::VcaCv),
                            .lfo = lfo,
                            .accentCv = b.accentCv,
                            .vcaEnvelope = vcaEnvelope,
                            .target = lane.amplifierTarget},
                           frames);
    // Its ladder runs with its group.
    lane.filterReady = prepareFilter(voice.filter, s,
                                     {.in = lane.filterIn,
                                      .cutoff = b.cutoffCv,
                                      .resonance = b.resonance,
                                      .coefficients = lane.filterScratch,
                                      .out = lane.filterOut},
                                     frames);
    showEnvelopeAttacks(voice);
    return frames;
}

void Engine::showEnvelopeAttacks(const Voice& voice) {
    if (voice.vcfEnvelope.attackFlag) indicators_.vcfEnvelope.store(1, std::memory_order_relaxed);
    if (voice.vcaEnvelope.attackFlag) indicators_.vcaEnvelope.store(1, std::memory_order_relaxed);
}

// The amplifier: voices are amplified two at a time, side by side (its lag
// is a serial chain from sample to sample); past the shorter voice of a
// pair only the longer one sounds.
void Engine::renderVoiceOutputs(Voice* const* group, const int* lengths, int count, double amplifierLag, float* left,
                                float* right) {
    const VoiceLane* lanes = buffers_->lanes.data();
    auto port = [&](int k) { return AmplifierLane{lanes[k].filterOut, lanes[k].amplifierTarget}; };
    int k = 0;
    for (; k + 1 < count; k += 2) {
        const int both = std::min(lengths[k], lengths[k + 1]);
        amplifyPair(group[k]->vcaGain, group[k + 1]->vcaGain, port(k), port(k + 1), amplifierLag, both, left, right);
        amplify(group[k]->vcaGain, port(k), amplifierLag, both, lengths[k], left, right);
        amplify(group[k + 1]->vcaGain, port(k + 1), amplifierLag, both, lengths[k + 1], left, right);
    }
    if (k < count) amplify(group[k]->vcaGain, port(k), amplifierLag, 0, lengths[k], left, right);
}

}  // namespace tarvik

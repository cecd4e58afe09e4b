#include "engine/engine.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "engine/block_scheduler.h"
#include "engine/engine_buffers.h"
#include "platform/denormals.h"

namespace tarvik {

namespace {

constexpr double kMaxTempoBpm = 500.0;
constexpr int kMidiControlChange = 0xB0;
constexpr int kMidiAllNotesOff = 123;

double sixteenthLength(double sampleRate, double bpm) { return sampleRate / (bpm / 60.0 * 4.0); }

}  // namespace

Engine::Engine(EngineHost* host)
    : host_(host),
      patch_(new TarvikPatch),
      voices_(std::make_unique<Voice[]>(kVoices)),
      cutoffLaw_(std::make_unique<CutoffLaw>()),
      pool_(kDefaultBlockFrames),
      buffers_(std::make_unique<Buffers>()),
      audio_(std::make_unique<EngineAudio>(*this)),
      control_(std::make_unique<EngineControl>(*this)) {
    registerBuffers();
    for (int v = 0; v < kVoices; ++v) {
        Voice& voice = voices_[static_cast<std::size_t>(v)];
        voice.attenuator2.lagMode = 1;  // the second attenuator's fourth output is the lag
        voice.filter.setCutoffLaw(*cutoffLaw_);
        voice.noteTable = standardNoteTable().data();
    }
}

Engine::~Engine() {
    freeRetiredPatches(true);
    delete patch_.load();
}

void Engine::replacePatch(std::unique_ptr<TarvikPatch> fresh) {
    TarvikPatch* old = patch_.exchange(fresh.release(), std::memory_order_seq_cst);
    if (retiredCount_ == kMaxRetiredPatches) freeRetiredPatches(true);
    retired_[static_cast<std::size_t>(retiredCount_++)] = old;
    freeRetiredPatches(false);
}

// A moment with no reader comes after every read that began before the
// patches were retired, so from then on nothing can hold them.
void Engine::freeRetiredPatches(bool wait) {
    if (retiredCount_ == 0) return;
    while (readers_.load(std::memory_order_seq_cst) != 0) {
        if (!wait) return;
        std::this_thread::yield();
    }
    for (int i = 0; i < retiredCount_; ++i) delete retired_[static_cast<std::size_t>(i)];
    retiredCount_ = 0;
}

void Engine::registerBuffers() {
    Buffers& b = *buffers_;
    for (int i = 0; i < kNumSockets; ++i) {
        const SocketDefinition& d = kSocketDefinitions[static_cast<std::size_t>(i)];
        float** slot = &b.sockets[static_cast<std::size_t>(i)];
        sockets_.registerSocket(slot, d.name, d.direction);
        if (d.direction == kSocketOutput) pool_.registerBuffer(slot, 1);
    }
    for (float** mono :
         {&b.seqPitchRatio, &b.seqTrigger, &b.seqSlide, &b.accentGate, &b.aux, &b.cutoff, &b.resonance, &b.envelopeMod,
          &b.mgHz, &b.tune1, &b.tune2, &b.pulseWidth1, &b.pulseWidth2, &b.filterMod1, &b.freqMod2, &b.shaper,
          &b.accentCv, &b.mgFrequency, &b.mgAmount, &b.mgAudio, &b.pitchBase, &b.vco1Frequency, &b.vco2Frequency,
          &b.pw1, &b.pw2, &b.cutoffCv, &b.noise})
        pool_.registerBuffer(mono, 1);
    for (VoiceLane& lane : b.lanes) {
        for (float** mono : {&lane.filterIn, &lane.filterScratch[0], &lane.filterScratch[1], &lane.filterScratch[2],
                             &lane.filterScratch[3], &lane.filterOut, &lane.amplifierTarget})
            pool_.registerBuffer(mono, 1);
    }
    for (float** twiceRate : {&b.vco1Out, &b.vco2Out, &b.mix, &b.sync, &b.oscillatorPhases, &b.oscillatorPeriods})
        pool_.registerBuffer(twiceRate, 2);
}

void Engine::setSampleRate(double rate) {
    sampleRate_.store(rate, std::memory_order_relaxed);
    samplesPerSixteenth_.store(sixteenthLength(rate, tempo()), std::memory_order_relaxed);
    if (cutoffLaw_->sampleRate() != rate) {
        auto law = std::make_unique<CutoffLaw>(rate);
        for (int v = 0; v < kVoices; ++v) voices_[static_cast<std::size_t>(v)].filter.setCutoffLaw(*law);
        cutoffLaw_ = std::move(law);
    }
    for (int v = 0; v < kVoices; ++v) voices_[static_cast<std::size_t>(v)].setSampleRate(rate);
    follower_.setSampleRate(rate);
}

void Engine::setMaxBlockFrames(int frames) {
    maxBlockFrames_ = std::clamp(frames, 1, kMaxBlockFrames);
    if (pool_.blockSize() != maxBlockFrames_) pool_.resize(maxBlockFrames_);
}

void Engine::setWavetables(const WavetableSet& tables) {
    for (int v = 0; v < kVoices; ++v) {
        Voice& voice = voices_[static_cast<std::size_t>(v)];
        for (Oscillator* vco : {&voice.vco1, &voice.vco2}) {
            vco->sawTable = &tables.saw;
            vco->squareTable = &tables.square;
            vco->triangleTable = &tables.triangle;
        }
        voice.mg.sawTable = &tables.modSaw;
        voice.mg.squareTable = &tables.modSquare;
        voice.mg.triangleTable = &tables.triangle;
    }
}

void Engine::loadTuning(const std::string& path) { noteTables_.loadTuning(path); }

void Engine::setTempo(double bpm) {
    if (!(bpm >= 1.0)) return;  // also refuses NaN
    bpm = std::min(bpm, kMaxTempoBpm);
    {
        const EngineControl::Reading reading(*control_);
        patch().setParameter(param::Tempo, tempoToParameter(bpm));
    }
    bpm_.store(bpm, std::memory_order_relaxed);
    samplesPerSixteenth_.store(sixteenthLength(sampleRate(), bpm), std::memory_order_relaxed);
}

// What the control side asked for since the last block acts before this
// block's first event: a note at its first sample plays on the new state.
void Engine::takeRequests() {
    if (const int start = pendingPatchStart_.exchange(kNoPatchStart, std::memory_order_acq_rel); start != kNoPatchStart)
        prepareVoicesForNewPatch(start == kAutoRun);
    if (const int change = pendingRunStop_.exchange(kNoRunStopChange, std::memory_order_acq_rel);
        change != kNoRunStopChange)
        applyRunStop(change == kRun);
    if (const int requests = pendingRequests_.exchange(0, std::memory_order_acq_rel); requests != 0) {
        if (requests & EngineControl::kReset) resetEngine();
        if (requests & EngineControl::kReleaseVoices) releaseAllVoices();
        if (requests & EngineControl::kForgetHeldKeys) performance_.heldKeys.fill(0);
        if (requests & EngineControl::kDropEvents) pending_.clear();
    }
    while (const std::optional<PreviewNote> preview = previews_.pop()) {
        if (preview->note >= 0) {
            useCurrentNoteTable();
            voice(0).noteOn(std::min(preview->note, 127), std::clamp(preview->velocity, 1, 127));
            previewing_ = true;
        } else {
            voice(0).noteOff();
            previewing_ = false;
        }
    }
}

void Engine::processBlock(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs) {
    const EngineControl::Reading reading(*control_);
    const platform::DenormalsFlushed flushed;
    takeRequests();
    const float* in[2] = {inputs ? inputs[0] : nullptr, inputs ? inputs[1] : nullptr};
    float* out[2] = {outputs ? outputs[0] : nullptr, outputs ? outputs[1] : nullptr};
    const bool canRender = out[0] != nullptr && out[1] != nullptr;

    auto render = [&](int start, int length) {
        if (!canRender) return;
        while (length > 0) {
            const int n = std::min(length, maxBlockFrames_);
            const float* pieceIn[2] = {in[0] ? in[0] + start : nullptr, in[1] ? in[1] + start : nullptr};
            float* pieceOut[2] = {out[0] + start, out[1] + start};
            renderSegment(pieceIn, pieceOut, n, clearOutputs);
            start += n;
            length -= n;
        }
    };
    auto handle = [&](const MidiEvent& e) { handleMidiMessage(e.status & 0xF0, e.data1 & 0x7F, e.data2 & 0x7F); };

    forEachSegment(pending_, std::max(frames, 0), render, handle);
    pending_.clear();
}

// A host's event call starts a block's list afresh: a drop asked for before
// it concerns the old list only.
void Engine::clearEvents() {
    pendingRequests_.fetch_and(~EngineControl::kDropEvents, std::memory_order_acq_rel);
    pending_.clear();
}

void Engine::sendAllNotesOff() {
    if (config_.midiOutput.load(std::memory_order_relaxed) == 0 || !host_) return;
    const int channel = config_.midiOutputChannel.load(std::memory_order_relaxed) & 15;
    host_->sendMidiOut(static_cast<std::uint8_t>(kMidiControlChange | channel),
                       static_cast<std::uint8_t>(kMidiAllNotesOff));
}

void EngineControl::installPatch(std::unique_ptr<TarvikPatch> fresh, bool autoRun) {
    const double bpm = parameterToTempo(fresh->parameter(param::Tempo));
    engine_.patchLoading_.store(true, std::memory_order_release);
    engine_.replacePatch(std::move(fresh));
    engine_.patchJustLoaded_.store(true, std::memory_order_release);
    engine_.pendingPatchStart_.store(autoRun ? Engine::kAutoRun : Engine::kSilenceVoices, std::memory_order_release);
    engine_.setTempo(bpm);
    engine_.patchLoading_.store(false, std::memory_order_release);
}

void Engine::prepareVoicesForNewPatch(bool autoRun) {
    for (int v = 0; v < kVoices; ++v) voice(v).silence();
    if (!autoRun) return;
    const TarvikPatch& p = patch();
    if (p.state(state::MidiMode) == 0) {
        sequencer_.resetPosition();
        if (p.state(state::RunStop) != 0) {
            sequencer_.running = 1;
            voice(0).noteOn(36, 100);
        }
    }
}

void EngineControl::requestRunStop(bool run) {
    engine_.pendingRunStop_.store(run ? Engine::kRun : Engine::kStop, std::memory_order_relaxed);
    if (run) engine_.sequencer_.requestPositionReset();
    // Releasing: the requests above are seen by whoever sees the new state.
    engine_.patch().setState(state::RunStop, run ? 1 : 0);
}

void Engine::applyRunStop(bool run) {
    if (patch().state(state::MidiMode) != 0) return;
    if (run) {
        sequencer_.running = 1;
        voice(0).noteOn(36, 100);
        for (int v = 1; v < kVoices; ++v) voice(v).noteOff();
        return;
    }
    voice(0).noteOff();
    // Tell a sound module on the MIDI output which note the sequencer left.
    if (config_.midiOutput.load(std::memory_order_relaxed) != 0 && host_) {
        const int channel = config_.midiOutputChannel.load(std::memory_order_relaxed) & 15;
        const long note = std::clamp(36L + std::lround(sequencer_.noteCV * 12.0f), 0L, 127L);
        host_->sendMidiOut(static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(note));
    }
}

void Engine::releaseAllVoices() {
    for (int v = 0; v < kVoices; ++v) voices_[static_cast<std::size_t>(v)].noteOff();
}

void Engine::resetEngine() {
    TarvikPatch& p = patch();
    if (p.state(state::MidiMode) == 0) {
        p.setState(state::RunStop, 0);
        sequencer_.running = 0;
    }
    for (int v = 0; v < kVoices; ++v) {
        Voice& voice = voices_[static_cast<std::size_t>(v)];
        voice.noteOff();
        for (Envelope* envelope : {&voice.vcfEnvelope, &voice.vcaEnvelope}) {
            envelope->stage = Envelope::kRelease;
            envelope->level = 0.0;
        }
    }
    previewing_ = false;
    delayLeft_.clear();
    delayRight_.clear();
    pool_.clear();
    performance_.heldKeys.fill(0);
    performance_.keyStamps.fill(0);
    performance_.keyCounter = 0;
}

}  // namespace tarvik

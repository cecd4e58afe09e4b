// The sound engine behind the plug-in shell: it owns the current patch, the
// voices and the sequencer, keeps the tempo and the performance state, cuts
// each host block at its MIDI events and renders the pieces stage by stage.
// It knows nothing of the host interface; what it needs from the shell goes
// through EngineHost.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "dsp/cutoff_law.h"
#include "dsp/delay_line.h"
#include "dsp/envelope_follower.h"
#include "dsp/lanes.h"
#include "dsp/parameter_smoother.h"
#include "dsp/signal_buffer_pool.h"
#include "dsp/socket_table.h"
#include "dsp/wavetable_set.h"
#include "engine/midi_event.h"
#include "engine/preview_notes.h"
#include "engine/step_sequencer.h"
#include "engine/voice.h"
#include "patch/patch.h"
#include "patch/tuning.h"

namespace tarvik {

// What the engine asks of the plug-in shell, from the audio thread.
class EngineHost {
public:
    virtual ~EngineHost() = default;
    // Sends one MIDI message to the host at offset 0 of the current block.
    virtual bool sendMidiOut(std::uint8_t status, std::uint8_t data1) = 0;
    // A control change that the note handler does not consume (controllers 0..119).
    virtual void controllerChange(int controller, int value) = 0;
};

// Configuration values the engine consults; written by the shell from its
// configuration file, read by the audio thread.
struct EngineConfig {
    std::atomic<int> maxPolyphony{6};       // voices in use, 1..32
    std::atomic<int> tuningMode{1};         // non-zero: the standard note table
    std::atomic<int> oscModel{1};           // non-zero: wavetable oscillators
    std::atomic<int> clearNotes{1};         // non-zero: cleared steps are gated notes
    std::atomic<int> midiOutput{0};         // non-zero: MIDI output on
    std::atomic<int> midiOutputChannel{0};  // 0..15
};

// Flags the engine raises for the editor's lights; the editor clears them.
// Beside them, what the sequencer plays, written at the end of every segment.
struct ActivityIndicators {
    std::atomic<int> midi{0};
    std::atomic<int> gate{0};
    std::atomic<int> accent{0};
    std::atomic<int> vcfEnvelope{0};
    std::atomic<int> vcaEnvelope{0};
    // The step of the current pattern the sequencer is playing (0..63); -1
    // while it stands still.
    std::atomic<int> playingStep{-1};
};

// Controller state kept between MIDI messages.
struct PerformanceState {
    static constexpr int kBendCentre = 8192;

    std::array<std::int8_t, 128> heldKeys{};
    std::array<int, 128> keyStamps{};
    int keyCounter = 0;
    int pitchBend = kBendCentre;
    int sustain = 0;
    int modWheelMsb = 0;
    int modWheelLsb = 0;
    int channelPressure = 0;
};

class EngineAudio;
class EngineControl;
struct Segment;

// The engine has two faces, one per side of the thread boundary: the audio
// thread renders through EngineAudio, every other thread (the editor's, the
// host's GUI and worker threads) reaches it through EngineControl. What the
// control side asks of the voices, the sequencer or the held keys is carried
// out by the audio thread at the start of its next block; what it changes in
// the patch goes through the patch's own atomic words. Set-up calls sit on
// the engine itself and run before the audio thread first renders, or while
// the host keeps it suspended.
class Engine {
public:
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr int kVoices = 32;
    // Larger host blocks are rendered in pieces of this size, so no buffer
    // ever has to grow on the audio thread.
    static constexpr int kMaxBlockFrames = 8192;
    static constexpr int kDefaultBlockFrames = 1024;

    // Constructing thread. Without a host (null) nothing goes out.
    explicit Engine(EngineHost* host);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Set-up (no render call may run meanwhile): the rate and the largest
    // block the host announced, the oscillators' and LFOs' tables, the
    // configuration's tuning file.
    void setSampleRate(double rate);
    void setMaxBlockFrames(int frames);
    void setWavetables(const WavetableSet& tables);
    void loadTuning(const std::string& path);
    // Silences voices, sequencer and delay, clears the signal buffers and
    // forgets held keys; in the pattern mode the sequencer stops. While
    // blocks render, ask for it instead (EngineControl::kReset).
    void resetEngine();

    EngineAudio& audio() { return *audio_; }
    EngineControl& control() { return *control_; }

private:
    friend class EngineAudio;
    friend class EngineControl;
    struct Buffers;

    TarvikPatch& patch() { return *patch_.load(std::memory_order_seq_cst); }
    const TarvikPatch& patch() const { return *patch_.load(std::memory_order_seq_cst); }
    double sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    double tempo() const { return bpm_.load(std::memory_order_relaxed); }
    double samplesPerSixteenth() const { return samplesPerSixteenth_.load(std::memory_order_relaxed); }
    // Any thread: the host may automate Tempo from its audio thread.
    void setTempo(double bpm);

    // Makes a completely built patch current with one pointer store. The old
    // patch is freed once no reader can still hold it: right away when none
    // is reading, else at a later replacement (waiting for a moment without
    // readers only when many replaced patches are pending).
    void replacePatch(std::unique_ptr<TarvikPatch> fresh);
    void freeRetiredPatches(bool wait);

    // Audio thread.
    void registerBuffers();
    void clearEvents();
    void processBlock(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs);
    void takeRequests();
    void handleMidiMessage(int status, int data1, int data2);
    void noteOn(int key, int velocity);
    void noteOff(int key);
    // Points every voice at the note table in force now, so that a note
    // takes its pitch from it even before the first segment has run.
    void useCurrentNoteTable();
    void controlChange(int controller, int value);
    int activeVoiceLimit() const;
    void startPatternPlay();
    void prepareVoicesForNewPatch(bool autoRun);
    void applyRunStop(bool run);
    void releaseAllVoices();
    void sendAllNotesOff();
    Voice& voice(int index) { return voices_[static_cast<std::size_t>(index)]; }

    // Render loop stages.
    void renderSegment(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs);
    void snapshot(Segment& s, int frames) const;
    void refreshRouting(const TarvikPatch& p, bool patchChanged);
    void renderSequencer(const Segment& s, int frames);
    void renderControllers(const Segment& s, int frames);
    void renderSmoothers(const Segment& s, int frames);
    // Voices are prepared one after the other, then filtered side by side,
    // one per SIMD lane.
    static constexpr int kVoiceLanes = lanes::kWidth;
    struct VoiceLane;
    void renderVoices(const Segment& s, int frames, float* left, float* right);
    int renderVoiceSource(Voice& voice, const Segment& s, int frames, VoiceLane& lane);
    void showEnvelopeAttacks(const Voice& voice);
    void renderVoiceOutputs(Voice* const* group, const int* lengths, int count, double amplifierLag, float* left,
                            float* right);
    void renderDelay(const Segment& s, int frames, float* left, float* right);

    EngineHost* host_;

    std::atomic<TarvikPatch*> patch_;
    mutable std::atomic<int> readers_{0};
    static constexpr int kMaxRetiredPatches = 8;
    std::array<TarvikPatch*, kMaxRetiredPatches> retired_{};
    int retiredCount_ = 0;
    // Set around a replacement: segments stay silent and keep their routing.
    std::atomic<bool> patchLoading_{false};
    // Set after a load, and from the start: the next segment lets every
    // smoother jump, so that nothing glides in from where an empty engine
    // stood.
    std::atomic<bool> patchJustLoaded_{true};

    EngineConfig config_;
    ActivityIndicators indicators_;
    PerformanceState performance_;
    PendingEvents pending_;
    NoteTables noteTables_;

    std::unique_ptr<Voice[]> voices_;
    StepSequencer sequencer_;
    std::array<ParameterSmoother, 3> smoothers_;
    EnvelopeFollower follower_;
    DelayLine delayLeft_;
    DelayLine delayRight_;
    std::unique_ptr<CutoffLaw> cutoffLaw_;

    SignalBufferPool pool_;
    std::unique_ptr<Buffers> buffers_;
    SocketTable sockets_;
    // The cables the blocks route: the last whole list read from the patch.
    CableList routed_{};
    const TarvikPatch* routedPatch_ = nullptr;
    std::uint32_t routedVersion_ = 0;

    OnePole seqGlide_;
    OnePole modWheel_;
    OnePole pressure_;
    float masterGain_ = 0.0f;
    float masterDither_ = 1e-5f;

    enum PatchStart : int { kNoPatchStart = 0, kSilenceVoices, kAutoRun };
    std::atomic<int> pendingPatchStart_{kNoPatchStart};
    enum RunStopChange : int { kNoRunStopChange = 0, kRun, kStop };
    std::atomic<int> pendingRunStop_{kNoRunStopChange};
    std::atomic<int> pendingRequests_{0};
    PreviewNotes previews_;
    bool previewing_ = false;  // voice 0 plays a keyboard note

    std::atomic<double> sampleRate_{kDefaultSampleRate};
    int maxBlockFrames_ = kDefaultBlockFrames;
    std::atomic<double> bpm_{120.0};
    std::atomic<double> samplesPerSixteenth_{kDefaultSampleRate / 8.0};

    std::unique_ptr<EngineAudio> audio_;
    std::unique_ptr<EngineControl> control_;
};

// Every other thread's face: requests, the live patch, tempo and settings.
// Each call is lock-free and safe while the audio thread renders.
class EngineControl {
public:
    explicit EngineControl(Engine& engine) : engine_(engine) {}

    // While a thread reads the current patch it holds one of these, so that
    // a patch replaced meanwhile is never freed under it. The thread that
    // installs patches (the host's GUI thread) needs none.
    class Reading {
    public:
        explicit Reading(const EngineControl& control) : readers_(control.engine_.readers_) {
            readers_.fetch_add(1, std::memory_order_seq_cst);
        }
        ~Reading() { readers_.fetch_sub(1, std::memory_order_seq_cst); }
        Reading(const Reading&) = delete;
        Reading& operator=(const Reading&) = delete;

    private:
        std::atomic<int>& readers_;
    };

    // The live patch, for the control side's readers and its one writer,
    // who change it only through its atomic accessors and publish calls.
    TarvikPatch& patch() { return engine_.patch(); }
    const TarvikPatch& patch() const { return engine_.patch(); }

    // Makes a completely built patch current. The segments around the swap
    // stay silent; at the start of the next block the old patch's notes
    // fall silent, every smoother jumps to the new values, the delay lines
    // clear and the tempo becomes the patch's own. With autoRun the
    // sequencer takes up the patch's saved run state. One thread installs.
    void installPatch(std::unique_ptr<TarvikPatch> fresh, bool autoRun);

    // What may be asked of the voices and the held keys, which belong to the
    // audio thread: done at the start of the next block.
    enum Request : int {
        kReleaseVoices = 1 << 0,   // every voice released (a mode switch, a new configuration)
        kForgetHeldKeys = 1 << 1,  // the held-key table cleared (mono from poly)
        kReset = 1 << 2,           // voices, sequencer, delay and held keys silenced (panic, suspend)
        // The events of a block not rendered yet are forgotten (suspend);
        // the next block's events, once the host hands them over, are not.
        kDropEvents = 1 << 3,
    };
    void request(int requests) { engine_.pendingRequests_.fetch_or(requests, std::memory_order_release); }
    // Run/Stop: RunStop changes at once; the voices, the sequencer's position
    // and the MIDI Note Off follow at the start of the next block.
    void requestRunStop(bool run);
    // The editor's keyboard: plays a note (or, with -1, releases it) on
    // voice 0 at the start of the next block, after the requests above. While
    // the sequencer is stopped the pattern mode lets that note sound at its
    // own pitch.
    void requestPreview(int note, int velocity) { engine_.previews_.push({note, velocity}); }

    // Sets the tempo in BPM: below 1 ignored, above 500 limited; also stores
    // the Tempo parameter (which exceeds 1.0 above 250 BPM) and the length of
    // a sixteenth note in samples. Any thread.
    void setTempo(double bpm) { engine_.setTempo(bpm); }
    double tempo() const { return engine_.tempo(); }
    double samplesPerSixteenth() const { return engine_.samplesPerSixteenth(); }
    double sampleRate() const { return engine_.sampleRate(); }

    // Configuration values the audio thread consults, and the lights it raises.
    EngineConfig& config() { return engine_.config_; }
    ActivityIndicators& indicators() { return engine_.indicators_; }

private:
    Engine& engine_;
};
// The audio thread's face: render and events. Nothing here waits, locks,
// allocates or touches a file.
class EngineAudio {
public:
    explicit EngineAudio(Engine& engine) : engine_(engine) {}

    // The events of the coming block; the host's event call fills it,
    // after clearing it.
    PendingEvents& pendingEvents() { return engine_.pending_; }
    void clearEvents() { engine_.clearEvents(); }
    // Renders one host block: what the control side asked for acts first,
    // then the pending events act at their offsets, and the pending list is
    // emptied. inputs and inputs[0..1] may be null.
    void processBlock(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs) {
        engine_.processBlock(inputs, outputs, frames, clearOutputs);
    }
    // A state of the current patch.
    int state(int index) const {
        const EngineControl::Reading reading(*engine_.control_);
        return engine_.patch().state(index);
    }
    // The host's tempo, with host sync on: as the control side's setTempo.
    void followHostTempo(double bpm) { engine_.setTempo(bpm); }

    // One MIDI message, channel nibble dropped, data bytes 7-bit, acting at
    // once (tests; the block's events act through processBlock).
    void handleMidiMessage(int status, int data1, int data2) { engine_.handleMidiMessage(status, data1, data2); }
    // The audio thread's own state, between blocks (tests set a voice as
    // rendering would have left it).
    const PerformanceState& performance() const { return engine_.performance_; }
    Voice& voice(int index) { return engine_.voice(index); }
    const StepSequencer& sequencer() const { return engine_.sequencer_; }
    const SocketTable& sockets() const { return engine_.sockets_; }
    int maxBlockFrames() const { return engine_.maxBlockFrames_; }

    // After the last block (the instrument going away): Control Change 123
    // on the configured channel, when MIDI output is on.
    void sendAllNotesOff() { engine_.sendAllNotesOff(); }

private:
    Engine& engine_;
};

}  // namespace tarvik

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
struct ActivityIndicators {
    std::atomic<int> midi{0};
    std::atomic<int> gate{0};
    std::atomic<int> accent{0};
    std::atomic<int> vcfEnvelope{0};
    std::atomic<int> vcaEnvelope{0};
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

class Engine {
public:
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr int kVoices = 32;
    // Larger host blocks are rendered in pieces of this size, so no buffer
    // ever has to grow on the audio thread.
    static constexpr int kMaxBlockFrames = 8192;
    static constexpr int kDefaultBlockFrames = 1024;

    explicit Engine(EngineHost* host);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The current patch. The thread that replaces patches (the host's GUI
    // thread) may use it freely; any other thread holds a PatchReader while
    // it does, so that a replaced patch is never freed under it.
    TarvikPatch& patch() { return *patch_.load(std::memory_order_seq_cst); }
    const TarvikPatch& patch() const { return *patch_.load(std::memory_order_seq_cst); }

    class PatchReader {
    public:
        explicit PatchReader(const Engine& engine) : readers_(engine.readers_) {
            readers_.fetch_add(1, std::memory_order_seq_cst);
        }
        ~PatchReader() { readers_.fetch_sub(1, std::memory_order_seq_cst); }
        PatchReader(const PatchReader&) = delete;
        PatchReader& operator=(const PatchReader&) = delete;

    private:
        std::atomic<int>& readers_;
    };

    // Makes a completely built patch current with one pointer store. The old
    // patch is freed once no reader can still hold it: right away when none
    // is reading, else at a later replacement (waiting for a moment without
    // readers only when many replaced patches are pending).
    void replacePatch(std::unique_ptr<TarvikPatch> fresh);

    // The rate and the largest block the host announced; not on the audio thread.
    void setSampleRate(double rate);
    void setMaxBlockFrames(int frames);
    double sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    int maxBlockFrames() const { return maxBlockFrames_; }

    // The oscillators' and LFOs' tables; set once before audio runs.
    void setWavetables(const WavetableSet& tables);
    NoteTables& noteTables() { return noteTables_; }

    // Sets the tempo in BPM: below 1 ignored, above 500 limited; also stores
    // the Tempo parameter (which exceeds 1.0 above 250 BPM) and the length of
    // a sixteenth note in samples.
    void setTempo(double bpm);
    double tempo() const { return bpm_.load(std::memory_order_relaxed); }
    double samplesPerSixteenth() const { return samplesPerSixteenth_.load(std::memory_order_relaxed); }

    PendingEvents& pendingEvents() { return pending_; }

    // Renders one host block: the pending events act at their offsets, then
    // the pending list is emptied. inputs[0..1] may be null.
    void processBlock(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs);
    // Renders frames (at most maxBlockFrames) samples at the given channels.
    void renderSegment(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs);
    // One MIDI message, channel nibble already dropped, data bytes 7-bit.
    void handleMidiMessage(int status, int data1, int data2);
    // Silences voices, sequencer and delay, clears the signal buffers and
    // forgets held keys.
    void resetEngine();
    // Control Change 123 on the configured channel, when MIDI output is on.
    void sendAllNotesOff();
    void releaseAllVoices();

    EngineConfig& config() { return config_; }
    ActivityIndicators& indicators() { return indicators_; }
    const PerformanceState& performance() const { return performance_; }
    Voice& voice(int index) { return voices_[static_cast<std::size_t>(index)]; }
    StepSequencer& sequencer() { return sequencer_; }
    const SocketTable& sockets() const { return sockets_; }

    // Set by the patch loader around a replacement: segments stay silent and
    // keep their routing while it is set.
    std::atomic<bool> patchLoading{false};
    // Set after a load, and from the start: the next segment lets every
    // smoother jump, so that nothing glides in from where an empty engine
    // stood.
    std::atomic<bool> patchJustLoaded{true};

    // After a patch file was loaded, the voices fall silent (and, with
    // autoRun, the sequencer takes up the patch's run state) at the start of
    // the next block, on the audio thread that owns them.
    void scheduleVoicesForNewPatch(bool autoRun);

    // The editor's Run/Stop: RunStop changes at once; the voices, the
    // sequencer's position and the MIDI Note Off follow on the audio thread
    // at the start of the next block.
    void requestRunStop(bool run);

    // What the GUI thread may ask of the voices and the held keys, which
    // belong to the audio thread: done at the start of the next block.
    enum Request : int {
        kReleaseVoices = 1 << 0,   // every voice released (a mode switch)
        kForgetHeldKeys = 1 << 1,  // the held-key table cleared (mono from poly)
        kReset = 1 << 2,           // resetEngine (the panic button)
    };
    void request(int requests) { pendingRequests_.fetch_or(requests, std::memory_order_release); }

    // The editor's keyboard: plays a note (or, with -1, releases it) on
    // voice 0 at the start of the next block, after the requests above. While
    // the sequencer is stopped the pattern mode lets that note sound at its
    // own pitch.
    void requestPreview(int note, int velocity) { previews_.push({note, velocity}); }

private:
    struct Segment;
    struct Buffers;

    void registerBuffers();
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

    // Render loop stages.
    void snapshot(Segment& s, int frames) const;
    void renderSequencer(const Segment& s, int frames);
    void renderControllers(const Segment& s, int frames);
    void renderSmoothers(const Segment& s, int frames);
    // Voices are prepared one after the other, then filtered side by side,
    // one per SIMD lane.
    static constexpr int kVoiceLanes = lanes::kWidth;
    struct VoiceLane;
    void renderVoices(const Segment& s, int frames, float* left, float* right);
    int renderVoiceSource(Voice& voice, const Segment& s, int frames, VoiceLane& lane);
    void renderVoiceOutputs(Voice* const* group, const int* lengths, int count, double amplifierLag, float* left,
                            float* right);
    void renderDelay(const Segment& s, int frames, float* left, float* right);

    EngineHost* host_;
    void freeRetiredPatches(bool wait);

    std::atomic<TarvikPatch*> patch_;
    mutable std::atomic<int> readers_{0};
    static constexpr int kMaxRetiredPatches = 8;
    std::array<TarvikPatch*, kMaxRetiredPatches> retired_{};
    int retiredCount_ = 0;
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
};

}  // namespace tarvik

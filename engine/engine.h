// The sound engine behind the plug-in shell: it owns the current patch, keeps
// the tempo and the performance state, cuts each host block at its MIDI
// events and renders the pieces. It knows nothing of the host interface; what
// it needs from the shell goes through EngineHost.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/midi_event.h"
#include "plugin/patch.h"

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
    std::atomic<int> midiOutput{0};         // non-zero: MIDI output on
    std::atomic<int> midiOutputChannel{0};  // 0..15
};

// Flags the engine raises for the editor's lights; the editor clears them.
struct ActivityIndicators {
    std::atomic<int> midi{0};
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
    // Larger host blocks are rendered in pieces of this size, so no buffer
    // ever has to grow on the audio thread.
    static constexpr int kMaxBlockFrames = 8192;

    explicit Engine(EngineHost* host);

    TarvikPatch& patch() { return *patch_; }
    const TarvikPatch& patch() const { return *patch_; }

    // The rate and the largest block the host announced; not on the audio thread.
    void setSampleRate(double rate);
    void setMaxBlockFrames(int frames);
    double sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    int maxBlockFrames() const { return maxBlockFrames_; }

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
    // Silences voices and sequencer and forgets held keys.
    void resetEngine();
    // Control Change 123 on the configured channel, when MIDI output is on.
    void sendAllNotesOff();

    EngineConfig& config() { return config_; }
    ActivityIndicators& indicators() { return indicators_; }
    const PerformanceState& performance() const { return performance_; }

private:
    void noteOn(int key, int velocity);
    void noteOff(int key);
    void controlChange(int controller, int value);

    EngineHost* host_;
    std::unique_ptr<TarvikPatch> patch_;
    EngineConfig config_;
    ActivityIndicators indicators_;
    PerformanceState performance_;
    PendingEvents pending_;

    std::atomic<double> sampleRate_{kDefaultSampleRate};
    int maxBlockFrames_ = 1024;
    std::atomic<double> bpm_{120.0};
    std::atomic<double> samplesPerSixteenth_{kDefaultSampleRate / 8.0};
};

}  // namespace tarvik

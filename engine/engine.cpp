#include "engine/engine.h"

#include <algorithm>
#include <cstring>

#include "engine/block_scheduler.h"

namespace tarvik {

namespace {

constexpr double kMaxTempoBpm = 500.0;

namespace midi {
constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kChannelPressure = 0xD0;
constexpr int kPitchBend = 0xE0;

constexpr int kModWheel = 1;
constexpr int kModWheelFine = 33;
constexpr int kSustain = 64;
constexpr int kResetAllControllers = 121;
constexpr int kAllNotesOff = 123;
constexpr int kFirstChannelModeController = 120;
}  // namespace midi

double sixteenthLength(double sampleRate, double bpm) { return sampleRate / (bpm / 60.0 * 4.0); }

}  // namespace

Engine::Engine(EngineHost* host) : host_(host), patch_(std::make_unique<TarvikPatch>()) {}

void Engine::setSampleRate(double rate) {
    sampleRate_.store(rate, std::memory_order_relaxed);
    samplesPerSixteenth_.store(sixteenthLength(rate, tempo()), std::memory_order_relaxed);
}

void Engine::setMaxBlockFrames(int frames) { maxBlockFrames_ = std::clamp(frames, 1, kMaxBlockFrames); }

void Engine::setTempo(double bpm) {
    if (!(bpm >= 1.0)) return;  // also refuses NaN
    bpm = std::min(bpm, kMaxTempoBpm);
    patch_->setParameter(param::Tempo, tempoToParameter(bpm));
    bpm_.store(bpm, std::memory_order_relaxed);
    samplesPerSixteenth_.store(sixteenthLength(sampleRate(), bpm), std::memory_order_relaxed);
}

void Engine::processBlock(const float* const* inputs, float* const* outputs, int frames, bool clearOutputs) {
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

void Engine::renderSegment(const float* const* /*inputs*/, float* const* outputs, int frames, bool clearOutputs) {
    if (clearOutputs) {
        std::fill_n(outputs[0], frames, 0.0f);
        std::fill_n(outputs[1], frames, 0.0f);
    }
}

void Engine::handleMidiMessage(int status, int data1, int data2) {
    indicators_.midi.store(1, std::memory_order_relaxed);
    switch (status) {
        case midi::kNoteOn:
            if (data2 == 0)
                noteOff(data1);
            else
                noteOn(data1, data2);
            break;
        case midi::kNoteOff: noteOff(data1); break;
        case midi::kControlChange: controlChange(data1, data2); break;
        case midi::kPitchBend: performance_.pitchBend = (data2 << 7) | data1; break;
        case midi::kChannelPressure: performance_.channelPressure = data1; break;
        default: break;  // key pressure, program change and system messages
    }
}

void Engine::noteOn(int key, int /*velocity*/) {
    TarvikPatch& p = *patch_;
    if (p.state(state::MidiMode) == 0) {
        // Keys select and start patterns.
        performance_.heldKeys[static_cast<std::size_t>(key)] = 1;
        if (p.state(state::PatternLock) == 0) p.setState(state::CurrentPattern, key);
        if (p.state(state::RunStop) == 0) p.setState(state::RunStop, 1);
    }
}

void Engine::noteOff(int key) {
    TarvikPatch& p = *patch_;
    if (p.state(state::MidiMode) == 0) {
        performance_.heldKeys[static_cast<std::size_t>(key)] = 0;
        int highest = 127;
        while (highest >= 0 && performance_.heldKeys[static_cast<std::size_t>(highest)] == 0) --highest;
        if (highest < 0) {
            p.setState(state::RunStop, 0);
            sendAllNotesOff();
        } else if (p.state(state::PatternLock) == 0) {
            p.setState(state::CurrentPattern, highest);
        }
    }
}

void Engine::controlChange(int controller, int value) {
    TarvikPatch& p = *patch_;
    switch (controller) {
        case midi::kModWheel: performance_.modWheelMsb = value; break;
        case midi::kModWheelFine: performance_.modWheelLsb = value; break;
        case midi::kSustain: performance_.sustain = value > 63 ? 1 : 0; break;
        case midi::kResetAllControllers:
            performance_.pitchBend = PerformanceState::kBendCentre;
            performance_.sustain = 0;
            performance_.modWheelMsb = 0;
            performance_.modWheelLsb = 0;
            break;
        case midi::kAllNotesOff:
            if (p.state(state::MidiMode) == 0) {
                performance_.heldKeys.fill(0);
                p.setState(state::RunStop, 0);
                sendAllNotesOff();
            }
            break;
        default: break;
    }
    if (controller < midi::kFirstChannelModeController && host_) host_->controllerChange(controller, value);
}

void Engine::sendAllNotesOff() {
    if (config_.midiOutput.load(std::memory_order_relaxed) == 0 || !host_) return;
    const int channel = config_.midiOutputChannel.load(std::memory_order_relaxed) & 15;
    host_->sendMidiOut(static_cast<std::uint8_t>(midi::kControlChange | channel),
                       static_cast<std::uint8_t>(midi::kAllNotesOff));
}

void Engine::resetEngine() {
    TarvikPatch& p = *patch_;
    if (p.state(state::MidiMode) == 0) p.setState(state::RunStop, 0);
    performance_.heldKeys.fill(0);
    performance_.keyStamps.fill(0);
    performance_.keyCounter = 0;
}

}  // namespace tarvik

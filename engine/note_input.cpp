// What each incoming MIDI message does: in the pattern mode keys select and
// run patterns; in the synthesizer mode they play one voice with legato and
// last-note priority, or up to MaxPolyphony voices without stealing.
#include <algorithm>

#include "engine/engine.h"

namespace tarvik {

namespace {

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

constexpr int kPatternModeNote = 36;
constexpr int kPatternModeVelocity = 100;

enum MidiMode { kPatternMode = 0, kSynthesizerMode = 1 };
enum NoteMode { kMono = 0, kPoly = 1 };

}  // namespace

int Engine::activeVoiceLimit() const {
    return std::clamp(config_.maxPolyphony.load(std::memory_order_relaxed), 1, kVoices);
}

void Engine::useCurrentNoteTable() {
    const float* table = noteTables_.noteTableFor(config_.tuningMode.load(std::memory_order_relaxed));
    for (int v = 0; v < kVoices; ++v) voice(v).noteTable = table;
}

void Engine::handleMidiMessage(int status, int data1, int data2) {
    indicators_.midi.store(1, std::memory_order_relaxed);
    if (status == midi::kNoteOn || status == midi::kNoteOff) useCurrentNoteTable();
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
        default: break;  // key pressure, program change (the editor's) and system messages
    }
}

// Every key of the pattern mode (re)starts the sequencer from the first step,
// with voice 0 sounding the sequencer's notes.
void Engine::startPatternPlay() {
    sequencer_.resetPosition();
    voice(0).noteOn(kPatternModeNote, kPatternModeVelocity);
    if (patch().state(state::RunStop) == 0) patch().setState(state::RunStop, 1);
}

void Engine::noteOn(int key, int velocity) {
    TarvikPatch& p = patch();
    auto& held = performance_.heldKeys;
    const int midiMode = p.state(state::MidiMode);
    const int noteMode = p.state(state::NoteMode);

    if (midiMode == kPatternMode) {
        held[static_cast<std::size_t>(key)] = 1;
        if (p.state(state::PatternLock) == 0) p.setState(state::CurrentPattern, key);
        startPatternPlay();
        return;
    }
    if (midiMode != kSynthesizerMode) return;

    if (noteMode == kMono) {
        held[static_cast<std::size_t>(key)] = static_cast<std::int8_t>(velocity);
        performance_.keyStamps[static_cast<std::size_t>(key)] = performance_.keyCounter++;
        // A key glides legato only onto a voice that sounds; one that a patch
        // load (or anything else) has silenced starts a new note.
        const auto heldCount = std::count_if(held.begin(), held.end(), [](std::int8_t v) { return v != 0; });
        if (heldCount == 1 || voice(0).active == 0) {
            indicators_.gate.store(1, std::memory_order_relaxed);
            voice(0).noteOn(key, velocity);
            sequencer_.resetPosition();
        } else {
            voice(0).legatoNote(key, velocity);
        }
        return;
    }
    if (noteMode != kPoly) return;

    const int voices = activeVoiceLimit();
    bool anyActive = false;
    for (int v = 0; v < voices; ++v) anyActive = anyActive || voice(v).active != 0;
    if (!anyActive) sequencer_.resetPosition();

    // The voice already holding the key, else the quietest free voice.
    Voice* chosen = nullptr;
    double quietest = 1.0e6;
    for (int v = 0; v < voices; ++v) {
        Voice& candidate = voice(v);
        if (candidate.note == key) {
            chosen = &candidate;
            break;
        }
        if (candidate.active == 0 && candidate.vcaEnvelope.level < quietest) {
            quietest = candidate.vcaEnvelope.level;
            chosen = &candidate;
        }
    }
    if (!chosen) return;  // every voice busy: no stealing
    indicators_.gate.store(1, std::memory_order_relaxed);
    chosen->noteOn(key, velocity);
    chosen->sustained = 0;
}

void Engine::noteOff(int key) {
    TarvikPatch& p = patch();
    auto& held = performance_.heldKeys;
    const int midiMode = p.state(state::MidiMode);
    const int noteMode = p.state(state::NoteMode);

    if (midiMode == kPatternMode) {
        held[static_cast<std::size_t>(key)] = 0;
        int highest = 127;
        while (highest >= 0 && held[static_cast<std::size_t>(highest)] == 0) --highest;
        if (highest < 0) {
            voice(0).noteOff();
            p.setState(state::RunStop, 0);
            sendAllNotesOff();
        } else if (p.state(state::PatternLock) == 0) {
            p.setState(state::CurrentPattern, highest);
        }
        return;
    }
    if (midiMode != kSynthesizerMode) return;

    if (noteMode == kMono) {
        held[static_cast<std::size_t>(key)] = 0;
        int latest = -1;
        for (int k = 0; k < 128; ++k) {
            if (held[static_cast<std::size_t>(k)] != 0 &&
                (latest < 0 || performance_.keyStamps[static_cast<std::size_t>(k)] >
                                   performance_.keyStamps[static_cast<std::size_t>(latest)]))
                latest = k;
        }
        if (latest < 0) {
            indicators_.gate.store(0, std::memory_order_relaxed);
            voice(0).noteOff();
        } else if (voice(0).active != 0) {
            voice(0).legatoNote(latest, held[static_cast<std::size_t>(latest)]);  // back to the key still held
        }
        for (int v = 1; v < kVoices; ++v) voice(v).noteOff();
        return;
    }
    if (noteMode != kPoly) return;

    for (int v = 0, voices = activeVoiceLimit(); v < voices; ++v) {
        Voice& candidate = voice(v);
        if (candidate.note != key) continue;
        if (performance_.sustain != 0) {
            candidate.sustained = 1;
        } else {
            indicators_.gate.store(0, std::memory_order_relaxed);
            candidate.noteOff();
        }
    }
}

void Engine::controlChange(int controller, int value) {
    TarvikPatch& p = patch();
    switch (controller) {
        case midi::kModWheel: performance_.modWheelMsb = value; break;
        case midi::kModWheelFine: performance_.modWheelLsb = value; break;
        case midi::kSustain:
            performance_.sustain = value > 63 ? 1 : 0;
            if (performance_.sustain == 0) {
                for (int v = 0, voices = activeVoiceLimit(); v < voices; ++v) {
                    Voice& candidate = voice(v);
                    if (candidate.active != 0 && candidate.sustained != 0) {
                        candidate.sustained = 0;
                        candidate.noteOff();
                    }
                }
            }
            break;
        case midi::kResetAllControllers:
            performance_.pitchBend = PerformanceState::kBendCentre;
            performance_.sustain = 0;
            performance_.modWheelMsb = 0;
            performance_.modWheelLsb = 0;
            break;
        case midi::kAllNotesOff: {
            const int midiMode = p.state(state::MidiMode);
            if (midiMode == kPatternMode) {
                performance_.heldKeys.fill(0);
                p.setState(state::RunStop, 0);
                sendAllNotesOff();
                releaseAllVoices();
            } else if (midiMode == kSynthesizerMode) {
                if (p.state(state::NoteMode) == kMono) performance_.heldKeys.fill(0);
                releaseAllVoices();
            }
            break;
        }
        default: break;
    }
    if (controller < midi::kFirstChannelModeController && host_) host_->controllerChange(controller, value);
}

}  // namespace tarvik

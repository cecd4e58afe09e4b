// What MIDI notes and controllers do to the voices in each note mode.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/engine.h"

namespace tarvik {
namespace {

class RecordingHost : public EngineHost {
public:
    bool sendMidiOut(std::uint8_t status, std::uint8_t data1) override {
        midiOut.emplace_back(status, data1);
        return true;
    }
    void controllerChange(int, int) override {}
    std::vector<std::pair<int, int>> midiOut;
};

class NoteInput : public ::testing::Test {
protected:
    void mode(int midiMode, int noteMode, int maxPolyphony = 6) {
        control.patch().setState(state::MidiMode, midiMode);
        control.patch().setState(state::NoteMode, noteMode);
        control.config().maxPolyphony = maxPolyphony;
    }
    void on(int key, int velocity = 100) { audio.handleMidiMessage(0x90, key, velocity); }
    void off(int key) { audio.handleMidiMessage(0x80, key, 0); }
    void cc(int controller, int value) { audio.handleMidiMessage(0xB0, controller, value); }
    Voice& voice(int v) { return audio.voice(v); }
    // As a mode switch asks: carried out at the start of the next block.
    void releaseAllVoices() {
        control.request(EngineControl::kReleaseVoices);
        audio.processBlock(nullptr, nullptr, 0, true);
    }
    // The voices sounding a key.
    std::vector<int> voicesOn(int key) {
        std::vector<int> found;
        for (int v = 0; v < Engine::kVoices; ++v)
            if (voice(v).active && voice(v).note == key) found.push_back(v);
        return found;
    }

    RecordingHost host;
    Engine engine{&host};
    EngineAudio& audio = engine.audio();
    EngineControl& control = engine.control();
};

TEST_F(NoteInput, MonoLegatoGlidesToTheNewKeyAndBackToTheKeyStillHeld) {
    mode(1, 0);
    on(48);
    EXPECT_EQ(voice(0).note, 48);
    EXPECT_FALSE(voice(0).isLegato());
    EXPECT_EQ(voice(0).vcaEnvelope.stage, Envelope::kAttack);
    voice(0).vcaEnvelope.stage = Envelope::kDecay;  // as rendering would have moved it on

    on(52);
    EXPECT_EQ(voice(0).note, 52);
    EXPECT_TRUE(voice(0).isLegato()) << "a second key glides";
    EXPECT_EQ(voice(0).targetPitch, standardNoteTable()[52]);
    EXPECT_EQ(voice(0).vcaEnvelope.stage, Envelope::kDecay) << "single trigger: the envelopes carry on";

    off(52);
    EXPECT_EQ(voice(0).note, 48) << "last-note priority returns to the key still held";
    EXPECT_TRUE(voice(0).active);
    off(48);
    EXPECT_FALSE(voice(0).active);
    EXPECT_EQ(voice(0).vcaEnvelope.stage, Envelope::kRelease);
}

TEST_F(NoteInput, MonoReturnsToTheMostRecentlyPressedOfSeveralHeldKeys) {
    mode(1, 0);
    on(40);
    on(60);
    on(50);
    off(50);
    EXPECT_EQ(voice(0).note, 60);
    off(60);
    EXPECT_EQ(voice(0).note, 40);
}

TEST_F(NoteInput, MultiTriggerRestartsTheEnvelopesOnLegatoChanges) {
    mode(1, 0);
    voice(0).setRetrigger(true);
    on(48);
    voice(0).vcfEnvelope.stage = Envelope::kDecay;
    on(50);
    EXPECT_EQ(voice(0).vcfEnvelope.stage, Envelope::kAttack);
}

TEST_F(NoteInput, PolyDropsTheKeyBeyondMaxPolyphonyAndRestrikesAHeldKey) {
    mode(1, 1, 4);
    for (int key : {60, 62, 64, 65}) on(key);
    for (int key : {60, 62, 64, 65}) EXPECT_EQ(voicesOn(key).size(), 1u) << key;
    on(67);
    EXPECT_TRUE(voicesOn(67).empty()) << "no voice stealing";

    const int holder = voicesOn(62)[0];
    voice(holder).vcaEnvelope.stage = Envelope::kDecay;
    on(62);
    EXPECT_EQ(voicesOn(62), std::vector<int>{holder}) << "the same voice takes the key again";
    EXPECT_EQ(voice(holder).vcaEnvelope.stage, Envelope::kAttack);

    off(60);
    on(67);
    EXPECT_EQ(voicesOn(67).size(), 1u) << "a released voice is free again";
}

TEST_F(NoteInput, PolyTakesTheQuietestFreeVoice) {
    mode(1, 1, 3);
    for (int v = 0; v < 3; ++v) voice(v).note = 100 + v;
    voice(0).vcaEnvelope.level = 0.5;
    voice(1).vcaEnvelope.level = 0.01;
    voice(2).vcaEnvelope.level = 0.2;
    on(40);
    EXPECT_EQ(voicesOn(40), std::vector<int>{1});
}

TEST_F(NoteInput, SustainPedalHoldsReleasedKeysUntilLifted) {
    mode(1, 1);
    cc(64, 64);  // 64 is already "down"
    on(60);
    off(60);
    EXPECT_EQ(voicesOn(60).size(), 1u) << "held by the pedal";
    cc(64, 63);
    EXPECT_TRUE(voicesOn(60).empty());
}

TEST_F(NoteInput, AllNotesOffReleasesEveryVoice) {
    mode(1, 1);
    on(60);
    on(64);
    cc(123, 0);
    EXPECT_TRUE(voicesOn(60).empty());
    EXPECT_TRUE(voicesOn(64).empty());
    EXPECT_TRUE(host.midiOut.empty()) << "only the pattern mode reports it to the host";
}

TEST_F(NoteInput, PatternModeKeysPlayVoiceZeroAtTheSequencersBaseNote) {
    mode(0, 0);
    on(7);
    EXPECT_EQ(control.patch().state(state::CurrentPattern), 7);
    EXPECT_EQ(voice(0).note, 36);
    EXPECT_TRUE(voice(0).active);
    off(7);
    EXPECT_FALSE(voice(0).active);
    EXPECT_EQ(control.patch().state(state::RunStop), 0);
}

TEST_F(NoteInput, UnknownModesIgnoreNotes) {
    for (auto [midiMode, noteMode] : {std::pair{2, 0}, std::pair{1, 5}, std::pair{-1, 0}}) {
        mode(midiMode, noteMode);
        on(60);
        EXPECT_TRUE(voicesOn(60).empty()) << midiMode << "/" << noteMode;
        releaseAllVoices();
    }
}

}  // namespace
}  // namespace tarvik

// Every kind of live edit the editor makes, from its thread, while the
// host's audio thread renders: 32 poly voices in one round, a running
// pattern in the next. ./test.sh also runs this under ThreadSanitizer, which
// fails it on any data race between the two threads; here it checks that
// the edits and the sound both got through.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>
#include <vector>

#include "gui/editor/panel_controller.h"
#include "instrument/cable_editing.h"
#include "instrument/pattern_editing.h"
#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "patch/patch_file.h"
#include "tests/gui/editor/panel_controller_fixture.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"
#include "tests/support/file_text.h"

namespace tarvik::gui {
namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 12;
constexpr int kPolyKeys = 32;

// A bank of two patches for program changes, each with a pattern that plays.
void writeBank(const fs::path& folder) {
    fs::create_directories(folder / "Tarvik Patches");
    for (const char* name : {"A", "B"}) {
        TarvikPatch patch;
        for (Pattern& p : patch.patterns)
            for (Step& s : p.steps) s = {static_cast<std::uint8_t>(name[0] % 12), step::kGate};
        ASSERT_TRUE(writePatchFile(patch, (folder / "Tarvik Patches" / (std::string(name) + ".tvkp")).string()));
    }
    // The synthesizer mode: each Reset of the preferences releases the voices.
    tarvik::test::writeWholeFile(folder / "Config.ini", "MaxPolyphony = 32\nMidiOutput = 1\nMidiMode = 1\n");
    tarvik::test::writeWholeFile(folder / "line.pat", "c-2 1 0 1\nd#3 1 1 0\ng-2 0 0 0\n");
}

class LiveEdits : public test::PanelControllerFixture {
protected:
    LiveEdits() {
        writeBank(instrument.folder.path());
        // The configuration written above is read again, as Preferences'
        // Reset reads it.
        control().readConfigurationFile();
    }

    // A click on a control of one of the dialog panels.
    void click(const DialogPanel& dialog, int id) {
        const Point at = dialog.control(id)->rect().centre();
        frame.mouseDown(test::mouseAt(at));
        frame.mouseUp(test::mouseAt(at));
    }

    void patternMenu() {
        for (PatternCommand command :
             {PatternCommand::Copy, PatternCommand::TransposeUpOctave, PatternCommand::TransposeDownOctave,
              PatternCommand::TransposeUp, PatternCommand::TransposeDown, PatternCommand::Expand, PatternCommand::Shrink,
              PatternCommand::Duplicate, PatternCommand::ShiftLeft, PatternCommand::ShiftRight,
              PatternCommand::AllNotesOff, PatternCommand::AllAccentsOff, PatternCommand::AllSlidesOff,
              PatternCommand::RandomizeAll, PatternCommand::RandomizePitches, PatternCommand::Alter, PatternCommand::Paste})
            controller.patternChosen(command);
    }

    void advancedRandom() {
        controller.patternChosen(PatternCommand::AdvancedRandom);
        const DialogPanel& random = controller.randomPanel().panel();
        click(random, RandomHandler::kRandomize);
        click(random, RandomHandler::kReset);
        click(random, RandomHandler::kRandomize);
        click(random, RandomHandler::kDone);
    }

    void imports() {
        ASSERT_TRUE(patterns().importPatternFile((instrument.folder.path() / "line.pat").string()));
        SongImport song;
        song.currentPattern = 3;
        for (int p = 0; p < 4; ++p) {
            song.patterns[static_cast<std::size_t>(p)].present = true;
            song.patterns[static_cast<std::size_t>(p)].length = static_cast<std::uint8_t>(8 + p);
            song.patterns[static_cast<std::size_t>(p)].stepCount = 8;
        }
        patterns().applySong(song);
        for (const SongParameter& p : song.parameters) control().setParameter(p.index, 0.5f);
    }

    void stepProgramming(int round) {
        control().setState(state::PatternWriteProtect, round % 3 == 0 ? 1 : 0);
        for (int code = command::kClearPattern; code <= command::kShorter; ++code)
            if (code != command::kRunStop) patterns().sequencerCommand(code);
        for (int code = command::kFirstNote; code <= command::kLastNote; code += 5) patterns().sequencerCommand(code);
        patterns().setLength(16 + round);
        patterns().setTimeMode(round);
        patterns().toggleTriplet();
        patterns().setEditPosition(round);
        control().playPreview(40 + round, 100);
        control().stopPreview();
    }

    void cables(int round) {
        CableEditing& cables = control().cables();
        cables.connect(socket::MgCvOutput, socket::VcfCv);
        cables.connect(socket::VcaEnvOut, socket::ShaperCv);
        cables.connect(socket::MgCvOutput, socket::Vco2PwCv);
        cables.disconnect(socket::MgCvOutput, socket::VcfCv);  // taken off an input...
        cables.connect(socket::ModWheel, socket::VcfCv);       // ...and dropped on another output's way
        if (round % 2 == 1) cables.clearSocket(socket::MgCvOutput);
    }

    void preferencesReset() {
        controller.optionChosen(OptionCommand::Preferences);
        click(controller.preferencesPanel().panel(), PreferencesHandler::kReset);
        click(controller.preferencesPanel().panel(), PreferencesHandler::kDone);
    }

    void patchesAndChunks() {
        ASSERT_TRUE(control().loadPatchFile((instrument.folder.path() / "Tarvik Patches" / "B.tvkp").string()));
        std::vector<unsigned char> chunk(kChunkSize);
        control().saveChunk(chunk.data());
        ASSERT_TRUE(control().restoreChunk(chunk.data(), chunk.size()));
    }

    void settings(int round) {
        const bool poly = round % 2 == 0;
        control().setState(state::MidiMode, poly ? 1 : 0);
        control().setState(state::NoteMode, poly ? 1 : 0);
        control().setState(state::RunStop, 1);
        control().setState(state::CurrentPattern, round % 4);
        control().setState(state::FilterMode, round % 6);
        controller.optionChosen(OptionCommand::AuxInput);
        controller.optionChosen(OptionCommand::DelaySync);
        control().setTempo(100.0 + round);
        control().setParameter(param::FilterCutoff, static_cast<float>(round) / kRounds);
        control().setMaxPolyphony(kPolyKeys);
        if (round % 5 == 4) control().panic();
    }
};

TEST_F(LiveEdits, EveryKindOfEditWhileTheAudioThreadRendersPolyAndPatterns) {
    std::atomic<bool> done{false};
    std::atomic<int> blocks{0};
    std::atomic<float> loudest{0.0f};
    std::thread audio([&] {
        AudioFace& face = instrument.audio();
        std::vector<float> left(256), right(256);
        float* out[2] = {left.data(), right.data()};
        for (int block = 0; !done.load(); ++block) {
            face.clearEvents();
            if (block % 32 == 0) {
                // The keys of a chord again (a pattern choice in the
                // pattern mode), and every few chords a program change.
                for (int key = 0; key < kPolyKeys; ++key)
                    face.addEvent({0, 0x90, static_cast<std::uint8_t>(36 + key), 90});
                if (block % 128 == 0) {
                    face.addEvent({1, 0xB0, 0, 0});
                    face.addEvent({2, 0xC0, static_cast<std::uint8_t>(block / 128 % 2), 0});
                }
            }
            face.process(nullptr, out, 256);
            const float peak = *std::max_element(left.begin(), left.end(), [](float a, float b) {
                return std::fabs(a) < std::fabs(b);
            });
            if (std::fabs(peak) > loudest.load()) loudest.store(std::fabs(peak));
            blocks.fetch_add(1);
        }
    });
    // The first block brought a program change for the first idle to load.
    while (blocks.load() == 0) std::this_thread::yield();

    for (int round = 0; round < kRounds; ++round) {
        settings(round);
        patternMenu();
        advancedRandom();
        imports();
        stepProgramming(round);
        cables(round);
        preferencesReset();
        patchesAndChunks();
        // The editor's idle: program changes and bank selects are carried
        // out here, and the panel shows it all.
        controller.idle(std::chrono::steady_clock::now());
        std::this_thread::yield();
    }
    done = true;
    audio.join();

    EXPECT_GT(loudest.load(), 0.01f) << "the audio thread sounded";
    EXPECT_GT(instrument.host.replacements, 2 * kRounds) << "besides each round's load and restore, a program change";
}

}  // namespace
}  // namespace tarvik::gui

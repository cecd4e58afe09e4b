// What a host hears right after it creates the plug-in and restores its
// state, and when a patch arrives while a key is held: pitch and level are in
// place before the first event, and a silenced voice starts a new note.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "patch/tuning.h"
#include "tests/support/scoped_data_folder.h"
#include "tests/support/signal_analysis.h"
#include "tools/host/hosted_plugin.h"

namespace tarvik {
namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 256;
constexpr double kSixteenth = 5512.5;  // samples at 120 BPM

double cents(double measured, double reference) { return 1200.0 * std::log2(measured / reference); }

// A sine through the open filter, so that zero crossings give the pitch.
TarvikPatch pitchProbe(int midiMode) {
    TarvikPatch p;
    p.setParameter(param::Vco1Waveform, 1.0f);  // sine
    p.setParameter(param::FilterCutoff, 1.0f);
    p.setParameter(param::EnvelopeMod, 0.0f);
    p.setParameter(param::VcaAttack, 0.0f);
    p.setParameter(param::VcaSustain, 1.0f);
    p.setParameter(param::Tempo, tempoToParameter(120.0));
    p.setParameter(param::GateTime, 0.9f);
    p.setState(state::MidiMode, midiMode);
    Pattern& pattern = p.patterns[0];
    pattern.length = 16;
    for (Step& s : pattern.steps) s = {12, step::kGate};
    return p;
}

class SettledStart : public ::testing::Test {
protected:
    // Creates the plug-in and restores the patch, as a host opening a project.
    void open(const TarvikPatch& patch) {
        std::string error;
        ASSERT_TRUE(plugin_.load(TARVIK_PLUGIN_PATH, error)) << error;
        plugin_.start();
        restore(patch);
    }

    void restore(const TarvikPatch& patch) {
        std::vector<unsigned char> chunk(kChunkSize);
        encodeChunk(patch, chunk.data());
        plugin_.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());
    }

    // Renders frames samples; each event goes with the block it falls in.
    std::vector<float> render(int frames, const std::vector<host::TimedMidi>& events = {}) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(kBlock);
        for (int done = 0; done < frames; done += kBlock) {
            const int length = std::min(kBlock, frames - done);
            std::vector<host::TimedMidi> block;
            for (const host::TimedMidi& e : events)
                if (e.offset >= done && e.offset < done + length) block.push_back({e.offset - done, e.message});
            plugin_.sendEvents(block);
            float* out[2] = {left.data() + done, right.data()};
            plugin_.process(nullptr, out, length);
        }
        return left;
    }

    static std::vector<float> slice(const std::vector<float>& x, double fromSample, double toSample) {
        return {x.begin() + static_cast<long>(fromSample), x.begin() + static_cast<long>(toSample)};
    }

    test::ScopedDataFolder folder_;
    host::HostedPlugin plugin_{host::HostSettings{kRate, kBlock}};
};

TEST_F(SettledStart, APatternStartedAtOncePlaysItsFirstStepInTune) {
    open(pitchProbe(0));
    const std::vector<float> out = render(static_cast<int>(4 * kSixteenth), {{0, {0x90, 0, 100}}});
    // Skip each step's first few milliseconds: only the held pitch counts.
    const double first = test::zeroCrossingFrequency(slice(out, 400, kSixteenth * 0.85), kRate);
    const double third = test::zeroCrossingFrequency(slice(out, 2 * kSixteenth + 400, kSixteenth * 2.85), kRate);
    ASSERT_GT(third, 100.0);
    EXPECT_NEAR(cents(first, third), 0.0, 3.0);
}

TEST_F(SettledStart, ANoteAtTimeZeroSoundsLikeTheSameNoteLater) {
    open(pitchProbe(1));
    const int second = static_cast<int>(kRate);
    const std::vector<float> early = render(second, {{0, {0x90, 45, 100}}, {second / 2, {0x80, 45, 0}}});
    const std::vector<float> late = render(second, {{0, {0x90, 45, 100}}, {second / 2, {0x80, 45, 0}}});
    // 50 to 100 ms into each note: pitch and level.
    const double from = 0.05 * kRate;
    const double to = 0.10 * kRate;
    const double earlyHz = test::zeroCrossingFrequency(slice(early, from, to), kRate);
    const double lateHz = test::zeroCrossingFrequency(slice(late, from, to), kRate);
    ASSERT_GT(lateHz, 100.0);
    EXPECT_NEAR(cents(earlyHz, lateHz), 0.0, 1.0);
    EXPECT_NEAR(test::rms(early, static_cast<std::size_t>(from), static_cast<std::size_t>(to)),
                test::rms(late, static_cast<std::size_t>(from), static_cast<std::size_t>(to)), 0.01);
}

// A relative tuning path names a file in the data folder, and the custom
// table is in force for a note at the very first sample.
TEST_F(SettledStart, ACustomTuningPlaysFromTheFirstSample) {
    std::ofstream(folder_.path() / "five.scl") << "! five.scl\nFive notes to the octave\n5\n!\n240.0\n480.0\n720.0\n960.0\n2/1\n";
    std::ofstream(folder_.path() / "Config.ini") << "TuningMode = 0\nTuning = \"five.scl\"\nMidiMode = 1\n";
    const std::optional<Scale> scale = readScale((folder_.path() / "five.scl").string());
    ASSERT_TRUE(scale);
    const std::optional<NoteTable> table = noteTableFromScale(*scale);
    ASSERT_TRUE(table);
    const double expected = (*table)[30];
    ASSERT_GT(std::fabs(cents(expected, standardNoteTable()[30])), 100.0) << "the scale must differ from the standard";

    open(pitchProbe(1));
    const std::vector<float> out = render(static_cast<int>(0.3 * kRate), {{0, {0x90, 30, 100}}});
    EXPECT_NEAR(cents(test::zeroCrossingFrequency(slice(out, 0.05 * kRate, 0.25 * kRate), kRate), expected), 0.0, 5.0);
}

// Mono legato: a second key glides from the first without a new attack,
// unless the first was silenced by a patch load; then it is a new note.
class HeldKeyAcrossALoad : public SettledStart, public ::testing::WithParamInterface<bool> {};

TEST_P(HeldKeyAcrossALoad, TheNextKeyAttacksOnlyWhenTheVoiceWasSilenced) {
    const bool loadBetween = GetParam();
    TarvikPatch patch = pitchProbe(1);
    patch.setParameter(param::VcaAttack, 0.55f);  // about 0.1 s: an attack is easy to see
    patch.setParameter(param::GlideTime, 0.6f);
    open(patch);
    render(static_cast<int>(0.5 * kRate), {{0, {0x90, 45, 100}}});  // key A held
    if (loadBetween) restore(patch);
    render(static_cast<int>(0.2 * kRate));
    const std::vector<float> out = render(static_cast<int>(0.6 * kRate), {{0, {0x90, 52, 100}}});  // key B

    const double start = test::rms(out, 0, static_cast<std::size_t>(0.01 * kRate));
    const double held = test::rms(out, static_cast<std::size_t>(0.4 * kRate), static_cast<std::size_t>(0.5 * kRate));
    ASSERT_GT(held, 0.05) << "key B must sound";
    const double bHz = standardNoteTable()[52];
    const double startHz = test::zeroCrossingFrequency(slice(out, 0, 0.02 * kRate), kRate);
    if (loadBetween) {
        EXPECT_LT(start, 0.3 * held) << "a new attack starts from near silence";
    } else {
        EXPECT_GT(start, 0.8 * held) << "legato carries the level on";
        EXPECT_LT(cents(startHz, bHz), -200.0) << "legato glides from key A";
    }
    EXPECT_NEAR(cents(test::zeroCrossingFrequency(slice(out, 0.4 * kRate, 0.5 * kRate), kRate), bHz), 0.0, 5.0);
}

INSTANTIATE_TEST_SUITE_P(Mono, HeldKeyAcrossALoad, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? std::string("AfterAPatchLoad") : std::string("Legato"); });

}  // namespace
}  // namespace tarvik

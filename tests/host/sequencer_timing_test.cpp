// The step sequencer's timing, heard through the built plug-in binary.
//
// The probe patch turns the sequencer's gate into the output level, sample
// for sample: a constant AUX input passes the open filter, and the gate
// socket drives the amount of the amplifier's envelope (instant attack, full
// sustain). A note's onset is the first sample of a rise from silence; its
// gate drops on the first sample the level falls by the amplifier's
// one-pole step (8 %).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "tests/support/scoped_data_folder.h"
#include "tools/host/hosted_plugin.h"

namespace tarvik {
namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 256;
constexpr double kSixteenth = 5512.5;  // samples at 120 BPM
constexpr int kWarmUp = 20000;          // the master volume glides in first
constexpr int kKeyOffset = 37;          // the pattern key arrives inside a block

// Steps from text: 'g' gate, 's' gate with slide, 't' tie, '.' rest.
Pattern pattern(const std::string& steps, std::uint8_t timeMode = 0, bool triplet = false) {
    Pattern p{};
    p.length = static_cast<std::uint8_t>(steps.size());
    p.timeMode = timeMode;
    p.flags = triplet ? kTripletFlag : 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const char c = steps[i];
        p.steps[i].flags = c == 'g' ? step::kGate
                         : c == 's' ? static_cast<std::uint8_t>(step::kGate | step::kSlide)
                         : c == 't' ? step::kTie
                                    : 0;
    }
    return p;
}

class SequencerTiming : public ::testing::Test {
protected:
    // Loads the binary with the probe patch holding the given patterns, the
    // sequencer stopped until a key starts it.
    void load(const std::vector<Pattern>& patterns) {
        std::string error;
        ASSERT_TRUE(plugin_.load(TARVIK_PLUGIN_PATH, error)) << error;
        plugin_.start();
        restore(patterns, 0, 0);
        render(kWarmUp);
    }

    // Hands the probe patch over as a host restores a project.
    void restore(const std::vector<Pattern>& patterns, int runStop, int currentPattern) {
        TarvikPatch probe;
        probe.setParameter(param::Tempo, tempoToParameter(120.0));
        probe.setParameter(param::GateTime, 0.5f);
        probe.setParameter(param::Vco1Level, 0.0f);
        probe.setParameter(param::AuxLevel, 0.1f);
        probe.setParameter(param::FilterCutoff, 0.9f);
        probe.setParameter(param::EnvelopeMod, 0.0f);
        probe.setParameter(param::VcaAttack, 0.0f);
        probe.setParameter(param::VcaSustain, 1.0f);
        probe.setParameter(param::VcaRelease, 0.0f);
        probe.setState(state::AuxInput, 1);
        probe.setState(state::RunStop, runStop);
        probe.setState(state::CurrentPattern, currentPattern);
        probe.cables.set(0, {socket::SeqGateOut, socket::VcaEnvAmount});
        probe.cables.setSize(1);
        for (std::size_t i = 0; i < patterns.size(); ++i) probe.patterns[i] = patterns[i];
        std::vector<unsigned char> chunk(kChunkSize);
        encodeChunk(probe, chunk.data());
        plugin_.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());
    }

    // Renders with a constant AUX input; answers the left channel.
    std::vector<float> render(int frames, const std::vector<host::TimedMidi>& firstBlockEvents = {}) {
        std::vector<float> out(static_cast<std::size_t>(frames)), right(kBlock), dc(kBlock, 1.0f);
        float* in[2] = {dc.data(), dc.data()};
        for (int done = 0; done < frames; done += kBlock) {
            if (done == 0 && !firstBlockEvents.empty()) plugin_.sendEvents(firstBlockEvents);
            float* o[2] = {out.data() + done, right.data()};
            plugin_.process(in, o, std::min(kBlock, frames - done));
        }
        return out;
    }

    // Plays pattern `key` from sample kKeyOffset for `frames` samples.
    std::vector<float> play(int key, int frames) {
        return render(frames, {{kKeyOffset, {0x90, static_cast<std::uint8_t>(key), 100}}});
    }

    test::ScopedDataFolder folder_;
    host::HostedPlugin plugin_{host::HostSettings{kRate, kBlock}};
};

// Sample positions (from the key) where a note starts and where its gate drops.
struct Edges {
    std::vector<long> onsets;
    std::vector<long> drops;
};

Edges edges(const std::vector<float>& out) {
    float peak = 0.0f;
    for (float x : out) peak = std::max(peak, std::fabs(x));
    Edges e;
    bool silent = true;
    bool open = false;  // sounding and not yet falling
    for (std::size_t n = static_cast<std::size_t>(kKeyOffset); n < out.size(); ++n) {
        const long at = static_cast<long>(n) - kKeyOffset;
        if (silent && out[n] > 0.005f * peak) {
            e.onsets.push_back(at);
            silent = false;
            open = true;
        } else if (open && out[n - 1] > 0.2f * peak && out[n] < 0.97f * out[n - 1]) {
            e.drops.push_back(at);
            open = false;
        }
        if (out[n] < 0.001f * peak) silent = true;
    }
    return e;
}

TEST_F(SequencerTiming, AGatedStepHoldsItsGateForHalfASixteenth) {
    load({pattern("g...............")});
    const Edges e = edges(play(0, 8000));
    // The first note's filter starts from rest, so its level may need a
    // sample to cross the onset threshold.
    ASSERT_EQ(e.onsets.size(), 1u);
    EXPECT_LE(e.onsets[0], 1);
    // Gate time 0.5 keeps the gate while the phase is within 0.4995 of a
    // sixteenth (2753.49 samples); the phase counts from 1 at the onset.
    ASSERT_EQ(e.drops, std::vector<long>{2753});
}

TEST_F(SequencerTiming, NotesStayOnTheSixteenthGridFor64Bars) {
    load({pattern("gggggggggggggggg")});
    const int steps = 64 * 16;
    const Edges e = edges(play(0, static_cast<int>(steps * kSixteenth) - 100));
    ASSERT_EQ(e.onsets.size(), static_cast<std::size_t>(steps));
    for (int k = 0; k < steps; ++k) {
        // A step ends on the first sample past its length, the next note
        // starts on the sample after: the remainder carries, nothing drifts.
        ASSERT_NEAR(static_cast<double>(e.onsets[static_cast<std::size_t>(k)]), k * kSixteenth, 1.5) << "step " << k;
    }
}

struct RhythmCase {
    const char* name;
    std::string steps;
    std::uint8_t timeMode;
    bool triplet;
    std::vector<double> onsetsInSteps;  // of the base step length below
    double stepSamples;
    std::vector<double> dropsInSteps;
    friend void PrintTo(const RhythmCase& row, std::ostream* out) { *out << row.name; }
};

class Rhythms : public SequencerTiming, public ::testing::WithParamInterface<RhythmCase> {};

TEST_P(Rhythms, StartAndEndNotesWhereTheStepsSay) {
    const RhythmCase& c = GetParam();
    load({pattern(c.steps, c.timeMode, c.triplet)});
    const double cycle = static_cast<double>(c.steps.size()) * c.stepSamples;
    const Edges e = edges(play(0, static_cast<int>(cycle) - 10));
    ASSERT_EQ(e.onsets.size(), c.onsetsInSteps.size());
    for (std::size_t i = 0; i < e.onsets.size(); ++i)
        EXPECT_NEAR(static_cast<double>(e.onsets[i]), c.onsetsInSteps[i] * c.stepSamples, 1.5) << "onset " << i;
    ASSERT_EQ(e.drops.size(), c.dropsInSteps.size());
    for (std::size_t i = 0; i < e.drops.size(); ++i)
        EXPECT_NEAR(static_cast<double>(e.drops[i]), c.dropsInSteps[i] * c.stepSamples, 1.5) << "drop " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rhythms,
    ::testing::Values(
        // Two tied steps: one note, one trigger, the gate closes in its last step.
        RhythmCase{"TiesMakeOneLongNote", "gttg....", 0, false, {0, 3}, kSixteenth, {2.4995, 3.4995}},
        // A slide: no new trigger, the gate held across the boundary.
        RhythmCase{"SlideHoldsTheGate", "sgg.....", 0, false, {0, 2}, kSixteenth, {1.4995, 2.4995}},
        RhythmCase{"DoubleSpeed", "gggg", 1, false, {0, 1, 2, 3}, kSixteenth / 2.0, {0.4995, 1.4995, 2.4995, 3.4995}},
        RhythmCase{"Triplets", "ggg", 0, true, {0, 1, 2}, kSixteenth * 4.0 / 3.0, {0.4995, 1.4995, 2.4995}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SequencerTiming, APatternChangeIsTakenUpAtTheNextNote) {
    // Pattern 1 (8 steps) sounds only on steps 0 and 12: 12 lies beyond its
    // length but is read once, then the pattern wraps to step 0.
    Pattern shortOne = pattern("g.......");
    shortOne.steps[12].flags = step::kGate;
    const std::vector<Pattern> bank = {pattern("gggggggggggggggg"), shortOne};
    load(bank);
    std::vector<float> out = play(0, static_cast<int>(11.5 * kSixteenth));
    // While step 11 plays the pattern changes; the position runs on.
    restore(bank, 1, 1);
    const std::vector<float> rest = render(static_cast<int>(11 * kSixteenth));
    out.insert(out.end(), rest.begin(), rest.end());
    const Edges e = edges(out);
    std::vector<double> expected;
    for (int k = 0; k < 14; ++k) expected.push_back(k);
    expected.push_back(21);
    ASSERT_EQ(e.onsets.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(static_cast<double>(e.onsets[i]), expected[i] * kSixteenth, 1.5) << "onset " << i;
}

TEST_F(SequencerTiming, StoppedSequencerIsSilent) {
    load({pattern("gggggggggggggggg")});
    const std::vector<float> out = render(20000);
    for (float x : out) ASSERT_LT(std::fabs(x), 1e-4f);
}

}  // namespace
}  // namespace tarvik

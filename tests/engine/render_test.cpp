// The synthesizer plays: notes rendered through the plug-in's record and
// measured from the outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "patch/parameters.h"
#include "tests/support/in_process_plugin.h"
#include "tests/support/signal_analysis.h"

namespace tarvik {
namespace {

using host::TimedMidi;

constexpr int kBlock = 256;

class Rendering : public ::testing::Test {
protected:
    void start(double sampleRate, int midiMode = 1, int noteMode = 0) {
        plugin_ = std::make_unique<test::InProcessPlugin>(host::HostSettings{sampleRate, kBlock});
        plugin_->start();
        control().setState(state::MidiMode, midiMode);
        control().setState(state::NoteMode, noteMode);
    }
    ControlFace& control() { return plugin_->plugin().control(); }
    void set(int index, float value) { plugin_->plugin().setParameter(index, value); }

    // Renders `frames` samples in blocks, the events of `events` delivered
    // in the blocks they fall into; answers the left channel.
    std::vector<float> render(int frames, const std::vector<TimedMidi>& events = {}) {
        std::vector<float> left(static_cast<std::size_t>(frames)), right(kBlock);
        for (int done = 0; done < frames; done += kBlock) {
            const int n = std::min(kBlock, frames - done);
            std::vector<TimedMidi> inBlock;
            for (const TimedMidi& e : events)
                if (e.offset >= done && e.offset < done + n) inBlock.push_back({e.offset - done, e.message});
            if (!inBlock.empty()) plugin_->sendEvents(inBlock);
            float* out[2] = {left.data() + done, right.data()};
            plugin_->process(nullptr, out, n);
        }
        return left;
    }

    // A plain sine through an open filter: its zero crossings are its pitch.
    void plainSine() {
        set(param::Vco1Waveform, 1.0f);
        set(param::FilterCutoff, 0.9f);
        set(param::EnvelopeMod, 0.0f);
        set(param::VcaSustain, 1.0f);
    }

    test::ScopedDataFolder folder;
    std::unique_ptr<test::InProcessPlugin> plugin_;
};

struct PitchCase {
    const char* name;
    double sampleRate;
    int note;
    int bend;  // 14-bit pitch bend
    double expectedHz;
    friend void PrintTo(const PitchCase& row, std::ostream* out) { *out << row.name; }
};

class NotePitch : public Rendering, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(NotePitch, SoundsAtTheNoteTablesFrequency) {
    const PitchCase& c = GetParam();
    start(c.sampleRate);
    plainSine();
    const int frames = static_cast<int>(c.sampleRate);
    const std::vector<float> out =
        render(frames, {{0, {0xE0, static_cast<std::uint8_t>(c.bend & 127), static_cast<std::uint8_t>(c.bend >> 7)}},
                        {1, {0x90, static_cast<std::uint8_t>(c.note), 100}}});
    const double hz = test::zeroCrossingFrequency(out, c.sampleRate, static_cast<std::size_t>(frames / 4));
    EXPECT_NEAR(hz, c.expectedHz, c.expectedHz * 0.002);
}

INSTANTIATE_TEST_SUITE_P(Cases, NotePitch,
                         ::testing::Values(PitchCase{"A4At44k", 44100, 69, 8192, 440.0},
                                           PitchCase{"A4At48k", 48000, 69, 8192, 440.0},
                                           PitchCase{"A3At44k", 44100, 57, 8192, 220.0},
                                           PitchCase{"A3At96k", 96000, 57, 8192, 220.0},
                                           PitchCase{"A4BentFullyDown", 44100, 69, 0, 220.0},
                                           PitchCase{"A4BentFullyUp", 44100, 69, 16383, 880.0},
                                           PitchCase{"A2BentFullyUpAt48k", 48000, 45, 16383, 220.0}),
                         [](const auto& row) { return std::string(row.param.name); });

// The oscillators' DC blockers and the voice's lags keep their corners in
// Hz, so a low note sounds as loud at 96 kHz as at 44.1 kHz.
TEST_F(Rendering, ALowNoteKeepsItsLevelAtEveryRate) {
    auto level = [&](double rate) {
        start(rate);
        plainSine();
        const int frames = static_cast<int>(rate);
        const std::vector<float> out = render(frames, {{0, {0x90, 36, 100}}});
        return 20.0 * std::log10(test::rms(out, static_cast<std::size_t>(frames / 2), out.size()));
    };
    const double reference = level(44100);
    for (double rate : {48000.0, 88200.0, 96000.0}) EXPECT_NEAR(level(rate), reference, 0.5) << rate;
}

TEST_F(Rendering, ANoteStartsExactlyAtItsOffset) {
    start(44100);
    const std::vector<float> out = render(kBlock, {{100, {0x90, 60, 100}}});
    std::size_t first = 0;
    while (first < out.size() && out[first] == 0.0f) ++first;
    EXPECT_EQ(first, 100u);
}

TEST_F(Rendering, AReleasedVoiceFallsSilent) {
    start(44100);
    set(param::VcaRelease, 0.0f);
    const std::vector<float> out = render(44100, {{0, {0x90, 48, 100}}, {4410, {0x80, 48, 0}}});
    EXPECT_GT(test::rms(out, 1000, 4400), 0.01);
    EXPECT_EQ(test::peak(out, 30000), 0.0f) << "a voice below the audible floor is not rendered";
}

TEST_F(Rendering, PatternModeKeyPlaysTheSequence) {
    start(44100, 0);
    const std::vector<float> out = render(44100, {{0, {0x90, 3, 100}}});
    EXPECT_EQ(control().state(state::CurrentPattern), 3);
    EXPECT_GT(test::rms(out, 0, out.size()), 0.01) << "fresh patterns hold gated notes";
    // The gate of each sixteenth closes half-way, so each step starts a new note.
    EXPECT_GT(test::rms(out, 0, 2000), 3.0 * test::rms(out, 4500, 5400));
}

TEST_F(Rendering, FreeDelayAtFullTimeEchoesAfterTheWholeLine) {
    start(44100);
    set(param::DelayAmount, 1.0f);
    set(param::DelayLeft, 1.0f);
    set(param::VcaAttack, 0.0f);
    set(param::VcaRelease, 0.0f);
    render(44100);  // lets the delay time glide to its target
    const std::vector<float> out = render(80000, {{0, {0x90, 60, 100}}, {300, {0x80, 60, 0}}});
    std::size_t echo = 20000;
    while (echo < out.size() && std::fabs(out[echo]) < 1e-3f) ++echo;
    EXPECT_NEAR(static_cast<double>(echo), 65536.0, 40.0);
}

TEST_F(Rendering, AuxInputPassesOnlyWhenSwitchedOn) {
    start(44100);
    set(param::AuxLevel, 1.0f);
    set(param::VcaSustain, 1.0f);
    std::vector<float> tone(kBlock);
    for (int i = 0; i < kBlock; ++i) tone[static_cast<std::size_t>(i)] = 0.3f * std::sin(i * 0.05f);
    auto renderWithInput = [&](int auxInput) {
        control().setState(state::AuxInput, auxInput);
        std::vector<float> left(kBlock), right(kBlock), all;
        const float* in[2] = {tone.data(), tone.data()};
        plugin_->sendEvents({{0, {0x90, 60, 100}}});
        for (int b = 0; b < 40; ++b) {
            float* out[2] = {left.data(), right.data()};
            plugin_->process(const_cast<float**>(in), out, kBlock);
            all.insert(all.end(), left.begin(), left.end());
        }
        plugin_->sendEvents({{0, {0x80, 60, 0}}});
        return all;
    };
    set(param::Vco1Level, 0.0f);
    EXPECT_LT(test::peak(renderWithInput(0)), 1e-4f) << "only the filter's denormal guard remains";
    EXPECT_GT(test::peak(renderWithInput(1)), 0.01f);
}

// Hosts send any float through automation, and damaged patches any state:
// whatever the knobs, states, cables and notes, the output stays finite,
// bounded and free of denormal numbers.
TEST_F(Rendering, RandomKnobsStatesCablesAndNotesStayFiniteAndBounded) {
    std::mt19937 random(20261210);
    const float oddValues[] = {-5.0f, 7.0f, std::nanf(""), INFINITY, -INFINITY, 1e30f};
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        for (int trial = 0; trial < 6; ++trial) {
            start(rate, static_cast<int>(random() % 3), static_cast<int>(random() % 3));
            std::uniform_real_distribution<float> unit(0.0f, 1.0f);
            for (int i = 0; i < kNumParameters; ++i) {
                if (i == param::Tempo) continue;
                set(i, random() % 4 == 0 ? oddValues[random() % std::size(oddValues)] : unit(random));
            }
            set(param::MasterVolume, 0.75f);
            ControlFace& c = control();
            c.setState(state::FilterMode, static_cast<int>(random() % 24) - 4);
            c.setState(state::BendRange, static_cast<int>(random() % 2000) - 1000);
            c.setState(state::CurrentPattern, static_cast<int>(random() % 400) - 100);
            c.setState(state::RunStop, static_cast<int>(random() % 2));
            c.setState(state::SyncMode, static_cast<int>(random() % 2));
            c.setState(state::DelaySync, static_cast<int>(random() % 2));
            c.setState(state::AuxInput, 1);
            for (int cable = 0; cable < 12; ++cable)
                c.cables().connect(static_cast<int>(random() % kNumSockets), static_cast<int>(random() % kNumSockets));
            std::vector<TimedMidi> events;
            for (int e = 0; e < 40; ++e) {
                const int at = static_cast<int>(random() % 40000);
                const auto a = static_cast<std::uint8_t>(random() % 128);
                const auto b = static_cast<std::uint8_t>(random() % 128);
                const std::uint8_t status[] = {0x90, 0x80, 0xB0, 0xE0, 0xD0};
                events.push_back({at, {status[random() % 5], a, b}});
            }
            std::sort(events.begin(), events.end(), [](const TimedMidi& x, const TimedMidi& y) { return x.offset < y.offset; });
            const std::vector<float> out = render(40000, events);
            for (float x : out) {
                ASSERT_TRUE(std::isfinite(x)) << "rate " << rate << " trial " << trial;
                ASSERT_NE(std::fpclassify(x), FP_SUBNORMAL) << "rate " << rate << " trial " << trial;
                ASSERT_LT(std::fabs(x), 64.0f) << "rate " << rate << " trial " << trial;
            }
        }
    }
}

TEST_F(Rendering, AReleasedNoteDecaysToTrueSilenceWithoutDenormals) {
    start(44100);
    set(param::FilterResonance, 0.9f);
    const std::vector<float> out = render(10 * 44100, {{0, {0x90, 40, 100}}, {22050, {0x80, 40, 0}}});
    for (float x : out) ASSERT_NE(std::fpclassify(x), FP_SUBNORMAL);
    EXPECT_GT(test::rms(out, 1000, 20000), 0.01);
    EXPECT_EQ(test::peak(out, out.size() - 44100), 0.0f) << "the voice falls silent, then is no longer rendered";
}

// How bright the sound is over a window: the RMS of its slope against its
// own RMS, a stand-in for the spectral centroid.
double brightness(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double slope = 0.0;
    double level = 0.0;
    for (std::size_t i = from + 1; i < to; ++i) {
        slope += static_cast<double>(x[i] - x[i - 1]) * (x[i] - x[i - 1]);
        level += static_cast<double>(x[i]) * x[i];
    }
    return std::sqrt(slope / std::max(level, 1e-30));
}

// The spread of brightness over a render, as the ratio of its brightest to
// its dullest window.
double brightnessSwing(const std::vector<float>& x) {
    double low = 1e30;
    double high = 0.0;
    for (std::size_t from = 0; from + 2048 <= x.size(); from += 2048) {
        const double b = brightness(x, from, from + 2048);
        low = std::min(low, b);
        high = std::max(high, b);
    }
    return high / low;
}

TEST_F(Rendering, ACableFromTheLfoToTheFilterSweepsTheSoundUntilItIsRemoved) {
    start(44100);
    set(param::VcaSustain, 1.0f);
    set(param::EnvelopeMod, 0.0f);
    set(param::FilterCutoff, 0.4f);
    set(param::MgWave, 0.5f);         // triangle
    set(param::MgFrequency, 0.309f);  // about 2 Hz
    set(param::MgAmount, 1.0f);
    CableEditing& cables = control().cables();
    render(4410, {{0, {0x90, 36, 100}}});
    const double still = brightnessSwing(render(44100));

    ASSERT_TRUE(cables.connect(socket::MgCvOutput, socket::VcfCv));
    const double swept = brightnessSwing(render(44100));
    cables.disconnect(socket::MgCvOutput, socket::VcfCv);
    render(4410);  // the cutoff's lag settles
    const double after = brightnessSwing(render(44100));

    EXPECT_LT(still, 1.2);
    EXPECT_GT(swept, 2.0) << "the LFO moves the cutoff";
    EXPECT_LT(after, 1.2) << "the cable's removal takes effect";
}

TEST_F(Rendering, SyncedDelayEchoesEverySixteenth) {
    start(44100);
    set(param::DelayAmount, 1.0f);
    set(param::DelayFeedback, 0.5f);
    set(param::DelayBpmSync, 1.0f);
    set(param::DelayLeft, 0.5f);  // one sixteenth
    set(param::VcaAttack, 0.0f);
    set(param::VcaRelease, 0.0f);
    render(44100);  // the delay time glides to its target
    const std::vector<float> out = render(20000, {{0, {0x90, 60, 100}}, {200, {0x80, 60, 0}}});
    auto onsetAfter = [&](std::size_t from) {
        while (from < out.size() && std::fabs(out[from]) < 1e-3f) ++from;
        return static_cast<double>(from);
    };
    const double first = onsetAfter(0);
    const double echo = onsetAfter(3000);
    const double second = onsetAfter(static_cast<std::size_t>(echo) + 3000);
    EXPECT_NEAR(echo - first, 5512.5, 2.0);
    EXPECT_NEAR(second - echo, 5512.5, 2.0);
}

}  // namespace
}  // namespace tarvik

// The same notes give the same audio whatever sizes the host's blocks have:
// an offline bounce must null against a live recording. Each case renders a
// few seconds of played notes through the built binary once in blocks of 256
// frames and once in random blocks of 1 to 2048 frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
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
constexpr int kLargestBlock = 2048;
constexpr float kTolerance = 1e-5f;

struct Note {
    double start;  // seconds
    double length;
    int key;
    int velocity;
};

struct Scene {
    const char* name;
    int midiMode;
    int noteMode;
    std::vector<Note> notes;
    double seconds;
    bool patched;  // cables and the shaper on top of the common patch
    friend void PrintTo(const Scene& row, std::ostream* out) { *out << row.name; }
};

// Overlapping keys (legato and last-note priority), rests long enough for
// voices to die away and start again, velocity changes.
const std::vector<Note> kPhrase = {
    {0.00, 0.30, 36, 100}, {0.25, 0.30, 43, 60},  {0.50, 0.05, 48, 127}, {0.90, 0.20, 36, 30},
    {1.00, 0.40, 39, 90},  {1.30, 0.10, 46, 110}, {2.10, 0.25, 41, 80},  {2.20, 0.40, 41, 70},
    {2.95, 0.05, 53, 127}, {3.40, 0.60, 34, 64},  {3.50, 0.20, 58, 100},
};

// Pattern keys: each selects its pattern and runs the sequencer while held.
const std::vector<Note> kPatternKeys = {{0.00, 1.10, 0, 100}, {1.60, 0.90, 1, 100}, {2.70, 1.00, 0, 100}};

const Scene kScenes[] = {
    {"Mono", 1, 0, kPhrase, 4.5, false},
    {"Poly", 1, 1, kPhrase, 4.5, false},
    {"Pattern", 0, 0, kPatternKeys, 4.5, false},
    {"PatchedPoly", 1, 1, kPhrase, 4.5, true},
};

// A patch that keeps state moving from note to note: resonance, glide,
// accent, a running LFO on the cutoff, the delay and both oscillators. The
// noise generator stays off: each instance seeds its own noise, so two
// instances never null with it, whatever their blocks.
TarvikPatch scenePatch(const Scene& scene) {
    TarvikPatch p;
    p.setParameter(param::FilterResonance, 0.7f);
    p.setParameter(param::EnvelopeMod, 0.6f);
    p.setParameter(param::AccentAmount, 0.5f);
    p.setParameter(param::GlideTime, 0.3f);
    p.setParameter(param::Vco2Level, 0.6f);
    p.setParameter(param::Vco2FineTune, 0.53f);
    p.setParameter(param::MgAmount, 0.5f);
    p.setParameter(param::MgFrequency, 0.35f);
    p.setParameter(param::MgVcfDest, 0.4f);
    p.setParameter(param::DelayAmount, 0.3f);
    p.setParameter(param::DelayFeedback, 0.4f);
    p.setParameter(param::DelayLeft, 0.3f);
    p.setParameter(param::DelayRight, 0.45f);
    p.setParameter(param::VcaSustain, 0.4f);
    p.setParameter(param::VcaRelease, 0.35f);
    if (scene.patched) {
        p.setParameter(param::VcoShaper, 0.4f);
        p.setParameter(param::OutputLagTime, 0.3f);
        const Connection cables[] = {{socket::MgCvOutput, socket::Vco1Cv},
                                     {socket::VcaEnvOut, socket::Attenuator2Input},
                                     {socket::Attenuator2LagOut, socket::VcfCv},
                                     {socket::MidiVelocityCv, socket::Inverter1Input}};
        for (int i = 0; i < 4; ++i) p.cables.set(i, cables[i]);
        p.cables.setSize(4);
    }
    p.setState(state::MidiMode, scene.midiMode);
    p.setState(state::NoteMode, scene.noteMode);
    for (int k = 0; k < 2; ++k) {
        Pattern& pattern = p.patterns[static_cast<std::size_t>(k)];
        pattern.length = 16;
        for (int s = 0; s < 16; ++s) {
            Step& step = pattern.steps[static_cast<std::size_t>(s)];
            step.note = static_cast<std::uint8_t>((s * 5 + k * 7) % 13);
            step.flags = static_cast<std::uint8_t>(s % 4 == 3 ? 0 : step::kGate);
            if (s % 3 == 1) step.flags |= step::kAccent;
            if (s % 5 == 2) step.flags |= step::kSlide;
        }
    }
    return p;
}

struct TimedEvent {
    long frame;
    host::MidiMessage message;
};

std::vector<TimedEvent> eventsOf(const Scene& scene) {
    std::vector<TimedEvent> events;
    for (const Note& n : scene.notes) {
        const auto key = static_cast<std::uint8_t>(n.key);
        events.push_back({std::lround(n.start * kRate), {0x90, key, static_cast<std::uint8_t>(n.velocity)}});
        events.push_back({std::lround((n.start + n.length) * kRate), {0x80, key, 0}});
    }
    std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) { return a.frame < b.frame; });
    return events;
}

// Restores the scene's patch as a host opening a project does, then plays
// the notes in blocks of the sizes `nextBlock` gives; answers the left channel.
template <typename NextBlock>
std::vector<float> render(const Scene& scene, int announcedBlock, NextBlock nextBlock) {
    host::HostedPlugin plugin{host::HostSettings{kRate, announcedBlock}};
    std::string error;
    EXPECT_TRUE(plugin.load(TARVIK_PLUGIN_PATH, error)) << error;
    plugin.start();
    std::vector<unsigned char> chunk(kChunkSize);
    encodeChunk(scenePatch(scene), chunk.data());
    plugin.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());

    const long total = std::lround(scene.seconds * kRate);
    const std::vector<TimedEvent> events = eventsOf(scene);
    std::vector<float> left(static_cast<std::size_t>(total)), right(kLargestBlock);
    std::size_t next = 0;
    for (long done = 0; done < total;) {
        const int frames = static_cast<int>(std::min<long>(nextBlock(), total - done));
        std::vector<host::TimedMidi> block;
        for (; next < events.size() && events[next].frame < done + frames; ++next)
            block.push_back({static_cast<int>(events[next].frame - done), events[next].message});
        plugin.sendEvents(block);
        float* out[2] = {left.data() + done, right.data()};
        plugin.process(nullptr, out, frames);
        done += frames;
    }
    return left;
}

class BlockSizes : public ::testing::TestWithParam<Scene> {};

TEST_P(BlockSizes, RandomBlocksRenderWhatSteadyBlocksRender) {
    const Scene& scene = GetParam();
    test::ScopedDataFolder folder;
    const std::vector<float> steady = render(scene, 256, [] { return 256; });
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> size(1, kLargestBlock);
    const std::vector<float> varied = render(scene, kLargestBlock, [&] { return size(random); });

    float peak = 0.0f;
    for (float x : steady) peak = std::max(peak, std::fabs(x));
    ASSERT_GT(peak, 0.05f) << "the scene must sound";
    std::size_t first = steady.size();
    std::size_t worst = 0;
    for (std::size_t i = 0; i < steady.size(); ++i) {
        const float difference = std::fabs(steady[i] - varied[i]);
        if (difference > kTolerance && first == steady.size()) first = i;
        if (difference > std::fabs(steady[worst] - varied[worst])) worst = i;
    }
    EXPECT_NEAR(varied[worst], steady[worst], kTolerance)
        << "first difference at " << first / kRate << " s, largest at " << worst / kRate << " s";
}

INSTANTIATE_TEST_SUITE_P(Scenes, BlockSizes, ::testing::ValuesIn(kScenes),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik

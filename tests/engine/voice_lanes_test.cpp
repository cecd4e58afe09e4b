// Voices whose filters are stepped side by side sound as each would alone:
// a chord, rendered with its voices in lanes, against the sum of its notes
// rendered one at a time (a lone voice runs the scalar filter). Nine notes
// make one full group of eight lanes and one voice left over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dsp/socket_table.h"
#include "patch/parameters.h"
#include "tests/support/in_process_plugin.h"

namespace tarvik {
namespace {

using host::TimedMidi;

constexpr int kBlock = 256;
constexpr int kFrames = 44100 / 2;
constexpr std::uint8_t kChord[] = {36, 40, 43, 46, 48, 52, 55, 58, 60};

struct LaneCase {
    std::string name;
    int filterMode;
    std::function<void(ControlFace&)> sound;  // besides the filter mode
    friend void PrintTo(const LaneCase& row, std::ostream* out) { *out << row.name; }
};

class VoiceLanes : public ::testing::TestWithParam<LaneCase> {
protected:
    // The case's sound in poly mode, the notes started at staggered offsets
    // and the first released early, so that voices end at different samples.
    std::vector<float> play(const std::vector<std::uint8_t>& notes) {
        test::InProcessPlugin host(host::HostSettings{44100.0, kBlock});
        host.start();
        ControlFace& control = host.plugin().control();
        control.setMaxPolyphony(static_cast<int>(std::size(kChord)));
        control.setState(state::MidiMode, 1);
        control.setState(state::NoteMode, 1);
        control.setState(state::FilterMode, GetParam().filterMode);
        control.setParameter(param::NoiseLevel, 0.0f);  // noise is seeded per voice
        control.setParameter(param::DelayAmount, 0.0f);
        control.setParameter(param::FilterResonance, 0.8f);
        control.setParameter(param::EnvelopeMod, 0.7f);
        control.setParameter(param::VcaRelease, 0.2f);
        GetParam().sound(control);

        std::vector<TimedMidi> events;
        for (std::uint8_t note : notes) {
            const int index = static_cast<int>(std::find(std::begin(kChord), std::end(kChord), note) - std::begin(kChord));
            events.push_back({37 * index, {0x90, note, static_cast<std::uint8_t>(60 + 8 * index)}});
            if (index == 0) events.push_back({5000, {0x80, note, 0}});
        }
        std::vector<float> left(kFrames), right(kBlock);
        for (int done = 0; done < kFrames; done += kBlock) {
            std::vector<TimedMidi> inBlock;
            for (const TimedMidi& e : events)
                if (e.offset >= done && e.offset < done + kBlock) inBlock.push_back({e.offset - done, e.message});
            if (!inBlock.empty()) host.sendEvents(inBlock);
            float* out[2] = {left.data() + done, right.data()};
            host.process(nullptr, out, std::min(kBlock, kFrames - done));
        }
        return left;
    }

    test::ScopedDataFolder folder_;
};

// The sums differ only in the order the voices are added after the master
// gain: within float rounding of the loudest sample.
TEST_P(VoiceLanes, AChordSoundsAsItsNotesAlone) {
    const std::vector<float> chord = play({std::begin(kChord), std::end(kChord)});
    std::vector<double> alone(chord.size(), 0.0);
    for (std::uint8_t note : kChord) {
        const std::vector<float> one = play({note});
        for (std::size_t i = 0; i < one.size(); ++i) alone[i] += one[i];
    }
    double peak = 0.0;
    double worst = 0.0;
    std::size_t at = 0;
    for (std::size_t i = 0; i < chord.size(); ++i) {
        peak = std::max(peak, std::fabs(alone[i]));
        if (const double d = std::fabs(chord[i] - alone[i]); d > worst) {
            worst = d;
            at = i;
        }
    }
    ASSERT_GT(peak, 0.01) << "the chord sounds";
    EXPECT_LE(worst, peak * 1e-6) << "sample " << at << ": " << chord[at] << " against " << alone[at];
}

std::vector<LaneCase> cases() {
    std::vector<LaneCase> all;
    auto plain = [](ControlFace&) {};
    for (int mode = 0; mode <= 14; ++mode) all.push_back({"FilterMode" + std::to_string(mode), mode, plain});
    all.push_back({"UnknownModePlaysAs3", 99, plain});
    all.push_back({"ComputedOscillators", 3, [](ControlFace& p) { p.setOscModel(0); }});
    all.push_back({"WavetableOscillators", 10, [](ControlFace& p) { p.setOscModel(1); }});
    all.push_back({"SyncAndShaper", 3, [](ControlFace& p) {
                       p.setParameter(param::Sync2To1, 1.0f);
                       p.setParameter(param::Vco2Level, 0.8f);
                       p.setParameter(param::VcoShaper, 0.5f);
                   }});
    all.push_back({"RingAndFm", 13, [](ControlFace& p) {
                       p.setParameter(param::Ring1x2, 1.0f);
                       p.setParameter(param::Vco2FreqMod, 0.4f);
                       p.setParameter(param::Vco1FilterMod, 0.3f);
                   }});
    all.push_back({"PatchedCables", 3, [](ControlFace& p) {
                       p.setParameter(param::MgAmount, 1.0f);
                       p.setParameter(param::MgFrequency, 0.4f);
                       p.cables().connect(socket::MgCvOutput, socket::VcfCv);
                       p.cables().connect(socket::VcaEnvOut, socket::ShaperCv);
                   }});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Sounds, VoiceLanes, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<LaneCase>& row) { return row.param.name; });

}  // namespace
}  // namespace tarvik

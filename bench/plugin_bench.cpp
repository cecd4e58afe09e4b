// Real-time factors of the whole plug-in: seconds of audio rendered per
// second of CPU, measured through processReplacing of the built binary at
// 44.1 kHz in 256-frame blocks. The patch reaches it as a host restores a
// project, through a chunk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "tools/host/hosted_plugin.h"

namespace {

using namespace tarvik;
using host::HostedPlugin;
using host::TimedMidi;

constexpr double kSampleRate = 44100.0;
constexpr int kBlockFrames = 256;

struct Setup {
    int noteMode;  // 0 mono legato, 1 poly
    int maxPolyphony;
    float delayAmount;
};

// Loads the binary and hands it a bass patch: resonant filter with a strong
// envelope, accent, and (for the bass line) the stereo delay.
bool loadPlugin(HostedPlugin& host, const Setup& setup, benchmark::State& state) {
    // The voice pool in use is the user's configuration, not a patch state.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tarvik-bench-data";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Config.ini") << "MaxPolyphony = " << setup.maxPolyphony << "\n";
    ::setenv("TARVIK_DATA_DIR", folder.c_str(), 1);
    ::setenv("TARVIK_NO_FACTORY_FILES", "1", 1);  // no start-up patch or sequencer of the factory settings
    std::string error;
    if (!host.load(TARVIK_PLUGIN_PATH, error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    host.start();
    TarvikPatch patch;
    patch.setState(state::MidiMode, 1);
    patch.setState(state::NoteMode, setup.noteMode);
    patch.setState(state::BendRange, 12);
    patch.setParameter(param::FilterResonance, 0.7f);
    patch.setParameter(param::EnvelopeMod, 0.6f);
    patch.setParameter(param::VcfDecay, 0.5f);
    patch.setParameter(param::VcaSustain, 1.0f);
    patch.setParameter(param::AccentAmount, 0.5f);
    patch.setParameter(param::DelayAmount, setup.delayAmount);
    patch.setParameter(param::DelayFeedback, 0.4f);
    patch.setParameter(param::DelayLeft, 0.3f);
    patch.setParameter(param::DelayRight, 0.4f);
    std::vector<unsigned char> chunk(kChunkSize);
    encodeChunk(patch, chunk.data());
    host.dispatch(vst::effSetChunk, 0, static_cast<vst::VstIntPtr>(chunk.size()), chunk.data());
    return true;
}

void reportRealTime(benchmark::State& state) {
    const double audioSeconds = static_cast<double>(state.iterations()) * kBlockFrames / kSampleRate;
    state.counters["realtime_x"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

// A sixteenth-note bass line at 120 BPM, legato over every other note, the
// cutoff swept by a controller: what a mono bass line sends.
void BM_PluginMonoBassLine(benchmark::State& state) {
    HostedPlugin host(host::HostSettings{kSampleRate, kBlockFrames});
    if (!loadPlugin(host, {0, 6, 0.4f}, state)) return;
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    float* out[2] = {left.data(), right.data()};
    const int sixteenth = static_cast<int>(kSampleRate / 8);
    const std::uint8_t line[] = {33, 45, 36, 33, 40, 43, 45, 31};
    long frame = 0;
    int step = 0;
    std::vector<TimedMidi> events;
    events.reserve(8);
    for (auto _ : state) {
        events.clear();
        for (long next = (frame / sixteenth + 1) * sixteenth; next < frame + kBlockFrames; next += sixteenth) {
            const int offset = static_cast<int>(next - frame);
            const std::uint8_t key = line[step % 8];
            const std::uint8_t previous = line[(step + 7) % 8];
            events.push_back({offset, {0x90, key, 100}});
            if (step % 2 == 0) events.push_back({offset, {0x80, previous, 0}});  // the odd notes overlap: legato
            events.push_back({offset, {0xB0, 74, static_cast<std::uint8_t>(40 + step % 60)}});
            ++step;
        }
        if (!events.empty()) host.sendEvents(events);
        host.process(nullptr, out, kBlockFrames);
        benchmark::DoNotOptimize(left.data());
        frame += kBlockFrames;
    }
    reportRealTime(state);
}
BENCHMARK(BM_PluginMonoBassLine);

// A long chord of as many notes as the voice pool holds (the argument),
// every voice sounding.
void BM_PluginPolyChord(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    HostedPlugin host(host::HostSettings{kSampleRate, kBlockFrames});
    if (!loadPlugin(host, {1, voices, 0.0f}, state)) return;
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    float* out[2] = {left.data(), right.data()};
    std::vector<TimedMidi> chord;
    for (int v = 0; v < voices; ++v) chord.push_back({0, {0x90, static_cast<std::uint8_t>(28 + 2 * v), 100}});
    host.sendEvents(chord);
    for (auto _ : state) {
        host.process(nullptr, out, kBlockFrames);
        benchmark::DoNotOptimize(left.data());
    }
    reportRealTime(state);
}
BENCHMARK(BM_PluginPolyChord)->Arg(8)->Arg(32);

}  // namespace

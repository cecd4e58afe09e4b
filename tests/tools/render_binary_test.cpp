// Runs the built tarvik-render against the built plug-in, as a user would.
#include <fcntl.h>
#include <spawn.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "patch/parameters.h"
#include "patch/patch_file.h"
#include "tests/support/scoped_data_folder.h"
#include "tests/support/signal_analysis.h"
#include "tests/tools/midi_bytes.h"

extern char** environ;

namespace tarvik::render {
namespace {

using namespace tarvik::test;
namespace fs = std::filesystem;

constexpr int kDivision = 480;

// C2 for a quarter note at 240 BPM (0.25 s), then silence for the tail.
const Bytes kTempoSong = header(0, 1, kDivision) + track(delta(0) + setTempo(250000) + delta(0) + Bytes{0x90, 36, 100} +
                                                         delta(kDivision) + Bytes{0x80, 36, 0} + kEndOfTrack);
const Bytes kCutOffSong(kTempoSong.begin(), kTempoSong.end() - 3);

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

struct Wav {
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    int subtype = 0;
    bool allFinite = false;
};

class RenderBinary : public ::testing::Test {
protected:
    void SetUp() override {
        work_ = dataFolder_.path().parent_path() / (dataFolder_.path().filename().string() + "-work");
        fs::create_directories(work_);
        write("song.mid", kTempoSong);
        write("cut.mid", kCutOffSong);
        write("sound.mid", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0});
    }

    void TearDown() override { fs::remove_all(work_); }

    std::string file(const std::string& name) const { return (work_ / name).string(); }

    void write(const std::string& name, const Bytes& bytes) const {
        std::ofstream(file(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
    }

    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Arguments beginning with '@' name files in the work folder.
    Outcome runRenderer(const std::vector<std::string>& args) const {
        std::vector<std::string> words{TARVIK_RENDER_PATH};
        for (const std::string& arg : args) words.push_back(arg.starts_with('@') ? file(arg.substr(1)) : arg);
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, file("stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, file("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
            ADD_FAILURE() << "tarvik-render did not run to an exit";
            return {-1, "", ""};
        }
        return {WEXITSTATUS(status), read("stdout.txt"), read("stderr.txt")};
    }

    Wav readWav(const std::string& name) const {
        SF_INFO info{};
        SNDFILE* sound = sf_open(file(name).c_str(), SFM_READ, &info);
        if (!sound) {
            ADD_FAILURE() << name << ": " << sf_strerror(nullptr);
            return {};
        }
        std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
        const sf_count_t framesRead = sf_readf_float(sound, samples.data(), info.frames);
        sf_close(sound);
        Wav wav{info.samplerate, info.channels, info.frames, info.format & SF_FORMAT_SUBMASK, framesRead == info.frames};
        for (const float sample : samples) wav.allFinite = wav.allFinite && std::isfinite(sample);
        return wav;
    }

    // The left channel of a rendered file.
    std::vector<float> readLeft(const std::string& name) const {
        SF_INFO info{};
        SNDFILE* sound = sf_open(file(name).c_str(), SFM_READ, &info);
        if (!sound) {
            ADD_FAILURE() << name << ": " << sf_strerror(nullptr);
            return {};
        }
        std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
        sf_readf_float(sound, samples.data(), info.frames);
        sf_close(sound);
        std::vector<float> left;
        for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(info.channels)) left.push_back(samples[i]);
        return left;
    }

    // A plain sine through an open filter that sustains: its zero crossings
    // are its pitch.
    void writeSinePatch(const std::string& name) const {
        TarvikPatch sine;
        sine.setParameter(param::Vco1Waveform, 1.0f);
        sine.setParameter(param::FilterCutoff, 0.9f);
        sine.setParameter(param::EnvelopeMod, 0.0f);
        sine.setParameter(param::VcaSustain, 1.0f);
        sine.setState(state::BendRange, 12);
        ASSERT_TRUE(writePatchFile(sine, file(name)));
    }

    tarvik::test::ScopedDataFolder dataFolder_;
    fs::path work_;
};

struct GoodRun {
    const char* name;
    std::vector<std::string> args;  // the output file is added
    int sampleRate;
    std::int64_t frames;
    int subtype;
};

void PrintTo(const GoodRun& c, std::ostream* out) { *out << c.name; }

class RenderBinaryWrites : public RenderBinary, public ::testing::WithParamInterface<GoodRun> {};

TEST_P(RenderBinaryWrites, AStereoWavOfTheLengthAsked) {
    const GoodRun& c = GetParam();
    std::vector<std::string> args = c.args;
    args.push_back("@out.wav");
    const Outcome result = runRenderer(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(std::to_string(c.frames) + " frames"), std::string::npos) << result.out;

    const Wav wav = readWav("out.wav");
    EXPECT_EQ(wav.sampleRate, c.sampleRate);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.frames, c.frames);
    EXPECT_EQ(wav.subtype, c.subtype);
    EXPECT_TRUE(wav.allFinite);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderBinaryWrites,
    ::testing::Values(
        GoodRun{"NotesForAGivenLength", {"--note", "C2,0,0.5", "--note", "40,0.25,0.5,127", "--length", "1.5", "--rate", "48000"},
                48000, 72000, SF_FORMAT_FLOAT},
        GoodRun{"NotesEndPlusTail", {"--note", "C2,0.25,0.5", "--block", "33", "--format", "pcm16"}, 44100,
                static_cast<std::int64_t>((0.75 + 2.0) * 44100), SF_FORMAT_PCM_16},
        GoodRun{"MidiFileForAGivenLength", {"--midi", "@song.mid", "--length", "1", "--format", "pcm24"}, 44100, 44100,
                SF_FORMAT_PCM_24},
        // The file's own tempo decides when its last note ends, not --tempo.
        GoodRun{"MidiFileEndPlusTail", {"--midi", "@song.mid", "--tempo", "60", "--rate", "24000"}, 24000,
                static_cast<std::int64_t>((0.25 + 2.0) * 24000), SF_FORMAT_FLOAT},
        GoodRun{"NothingToPlay", {"--plugin", TARVIK_PLUGIN_PATH, "--length", "0.001"}, 44100, 44, SF_FORMAT_FLOAT}),
    [](const auto& row) { return std::string(row.param.name); });

struct FailingRun {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* reason;
};

void PrintTo(const FailingRun& c, std::ostream* out) { *out << c.name; }

class RenderBinaryFails : public RenderBinary, public ::testing::WithParamInterface<FailingRun> {};

TEST_P(RenderBinaryFails, WithOneLineThatSaysWhy) {
    const FailingRun& c = GetParam();
    const Outcome result = runRenderer(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_TRUE(result.err.starts_with("tarvik-render: ")) << result.err;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderBinaryFails,
    ::testing::Values(
        FailingRun{"MissingPlugin", {"--plugin", "@Missing.so", "--note", "C2,0,1", "@out.wav"}, 1,
                   "cannot load the plug-in"},
        FailingRun{"PluginWithoutEffect", {"--plugin", TARVIK_NULL_ENTRY_PLUGIN_PATH, "@out.wav"}, 1,
                   "entry returned no effect"},
        FailingRun{"NotAMidiFile", {"--midi", "@sound.mid", "@out.wav"}, 1, "sound.mid: not a MIDI file"},
        FailingRun{"CutOffMidiFile", {"--midi", "@cut.mid", "@out.wav"}, 1, "cut.mid: truncated chunk"},
        FailingRun{"MissingMidiFile", {"--midi", "@none.mid", "@out.wav"}, 1, "none.mid: No such file"},
        FailingRun{"UnwritableWav", {"--note", "C2,0,1", "@missing-folder/out.wav"}, 1, "cannot be written"},
        FailingRun{"MissingPatternFile", {"--import-pat", "@none.pat", "@out.wav"}, 1, "cannot read the pattern"},
        // A MIDI file is a chunk list too, but holds no TB-303 unit.
        FailingRun{"NotASong", {"--import-rbs", "@song.mid", "@out.wav"}, 1, "cannot read ReBirth patterns from"},
        FailingRun{"BadValue", {"--rate", "fast", "@out.wav"}, 2, "--rate: 'fast' is not a number"},
        FailingRun{"UnknownOption", {"--loud", "@out.wav"}, 2, "unknown option --loud"},
        FailingRun{"NoOutput", {"--note", "C2,0,1"}, 2, "no output file given"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(RenderBinary, HelpPrintsTheUsageAndSucceeds) {
    const Outcome result = runRenderer({"--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.starts_with("Usage: tarvik-render")) << result.out;
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(RenderBinary, LongRenderShowsProgressOnOneLine) {
    const Outcome result = runRenderer({"--length", "12", "--rate", "8000", "--block", "4096", "@long.wav"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find('\r'), std::string::npos) << result.err;
    EXPECT_TRUE(result.err.ends_with("100%\n")) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
}

struct PitchRun {
    const char* name;
    int rate;
    int key;
    int bend;  // 14 bits, 8192 in the centre
    double expectedHz;
};

void PrintTo(const PitchRun& c, std::ostream* out) { *out << c.name; }

class RenderedPitch : public RenderBinary, public ::testing::WithParamInterface<PitchRun> {};

// The note table, the pitch bend range (12 semitones) and the sample rate,
// through the real plug-in binary as a host drives it.
TEST_P(RenderedPitch, MatchesTheNote) {
    const PitchRun& c = GetParam();
    writeSinePatch("sine.tvkp");
    write("note.mid", header(0, 1, kDivision) +
                          track(delta(0) + Bytes{0xE0, static_cast<std::uint8_t>(c.bend & 127), static_cast<std::uint8_t>(c.bend >> 7)} +
                                delta(0) + Bytes{0x90, static_cast<std::uint8_t>(c.key), 100} + delta(4 * kDivision) +
                                Bytes{0x80, static_cast<std::uint8_t>(c.key), 0} + kEndOfTrack));
    const Outcome result = runRenderer({"--patch", "@sine.tvkp", "--mode", "mono", "--midi", "@note.mid", "--rate",
                                        std::to_string(c.rate), "--length", "1", "@pitch.wav"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<float> left = readLeft("pitch.wav");
    const double hz = zeroCrossingFrequency(left, c.rate, left.size() / 4);
    EXPECT_NEAR(hz, c.expectedHz, c.expectedHz * 0.002);
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderedPitch,
                         ::testing::Values(PitchRun{"A4At44k", 44100, 69, 8192, 440.0}, PitchRun{"A4At48k", 48000, 69, 8192, 440.0},
                                           PitchRun{"A3At44k", 44100, 57, 8192, 220.0}, PitchRun{"A3At48k", 48000, 57, 8192, 220.0},
                                           PitchRun{"BendDownAnOctave", 44100, 69, 0, 220.0},
                                           PitchRun{"BendUpAnOctave", 44100, 69, 16383, 880.0}),
                         [](const auto& row) { return std::string(row.param.name); });

// Every step gated with slide, so the gate stays open on one steady tone.
// C and A a major sixth apart show that the file's notes reached the
// pattern the key plays, whatever base note the sequencer has.
TEST_F(RenderBinary, AnImportedPatternPlaysItsNotes) {
    writeSinePatch("sine.tvkp");
    auto pitchOf = [&](const std::string& line) {
        std::string text;
        for (int i = 0; i < 16; ++i) text += line;
        write("line.pat", Bytes(text.begin(), text.end()));
        const Outcome result = runRenderer(
            {"--patch", "@sine.tvkp", "--pattern", "5", "--import-pat", "@line.pat", "--length", "1", "@line.wav"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::vector<float> left = readLeft("line.wav");
        return zeroCrossingFrequency(left, 44100, left.size() / 4);
    };
    const double c = pitchOf("c-3 1 1 0\n");
    const double a = pitchOf("a-3 1 1 0\n");
    EXPECT_NEAR(a / c, std::exp2(9.0 / 12.0), 0.01) << "C at " << c << " Hz, A at " << a << " Hz";
}

TEST_F(RenderBinary, ANoteSoundsFromItsOwnSample) {
    // Sample 100 of the first block, as a host would deliver it.
    const Outcome result = runRenderer({"--mode", "mono", "--note", "60," + std::to_string(100.0 / 44100.0) + ",0.5",
                                        "--block", "256", "--length", "0.1", "@offset.wav"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<float> left = readLeft("offset.wav");
    std::size_t first = 0;
    while (first < left.size() && left[first] == 0.0f) ++first;
    EXPECT_EQ(first, 100u);
}

TEST_F(RenderBinary, EveryPlayModeSounds) {
    const std::vector<std::string> chord = {"--note", "C3,0,1", "--note", "E3,0,1", "--note", "G3,0,1", "--length", "1.2"};
    auto level = [&](std::vector<std::string> args, const std::string& out) {
        args.push_back("@" + out);
        const Outcome result = runRenderer(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::vector<float> left = readLeft(out);
        return rms(left, 0, left.size());
    };
    auto with = [&](std::vector<std::string> args, const std::vector<std::string>& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const double mono = level(with({"--mode", "mono"}, chord), "mono.wav");
    const double poly = level(with({"--mode", "poly"}, chord), "poly.wav");
    const double pattern = level({"--pattern", "12", "--length", "1"}, "pattern.wav");
    EXPECT_GT(mono, 0.01);
    EXPECT_GT(poly, 1.5 * mono) << "three voices are louder than one";
    EXPECT_GT(pattern, 0.01) << "the fresh patterns hold gated notes";
}

}  // namespace
}  // namespace tarvik::render

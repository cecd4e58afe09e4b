#include "tools/render/options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <ostream>
#include <string>
#include <vector>

namespace tarvik::render {
namespace {

const std::string kDefaultPlugin = "/build/Tarvik.so";

// Every field in one line, so a failure shows the whole difference.
std::string summary(const RenderOptions& o) {
    std::ostringstream text;
    text << "plugin=" << o.plugin << " midi=" << o.midiFile << " notes=";
    for (const Note& n : o.notes) text << n.key << "@" << n.start << "+" << n.length << "v" << n.velocity << " ";
    text << "rate=" << o.sampleRate << " block=" << o.blockSize << " tempo=" << o.tempo
         << " length=" << (o.lengthSeconds ? std::to_string(*o.lengthSeconds) : "auto")
         << " format=" << static_cast<int>(o.format) << " pattern=" << (o.pattern ? std::to_string(*o.pattern) : "none")
         << " song=" << o.importSong << " pat=" << o.importPattern << " output=" << o.output << " help=" << o.help;
    return text.str();
}

struct GoodCase {
    const char* name;
    std::vector<std::string_view> args;
    void (*expect)(RenderOptions&);  // what differs from the defaults
};

void PrintTo(const GoodCase& c, std::ostream* out) { *out << c.name; }

class GoodArguments : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodArguments, AreRead) {
    const GoodCase& c = GetParam();
    RenderOptions expected;
    expected.plugin = kDefaultPlugin;
    expected.output = "out.wav";
    c.expect(expected);

    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parseOptions(c.args, kDefaultPlugin, options, error)) << error;
    EXPECT_EQ(summary(options), summary(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GoodArguments,
    ::testing::Values(
        GoodCase{"OutputAloneTakesTheDefaults", {"out.wav"}, [](RenderOptions&) {}},
        GoodCase{"EveryValue",
                 {"--plugin", "/x/Other.so", "--rate", "48000", "--block", "33", "--tempo", "93.5", "--length", "2.5",
                  "--format", "pcm24", "out.wav"},
                 [](RenderOptions& o) {
                     o.plugin = "/x/Other.so";
                     o.sampleRate = 48000;
                     o.blockSize = 33;
                     o.tempo = 93.5;
                     o.lengthSeconds = 2.5;
                     o.format = SampleFormat::kPcm24;
                 }},
        GoodCase{"OutputFirstAndLastValueWins",
                 {"out.wav", "--format", "float", "--format", "pcm16", "--midi", "a.mid", "--midi", "b.mid"},
                 [](RenderOptions& o) {
                     o.format = SampleFormat::kPcm16;
                     o.midiFile = "b.mid";
                 }},
        GoodCase{"NotesByNumberAndName",
                 {"--note", "60,0,1", "--note", "C2,0.5,0.25,127", "--note", "F#3,1,1", "--note", "Bb1,1,1,1",
                  "--note", "c-1,0,1", "--note", "G9,0,1", "out.wav"},
                 [](RenderOptions& o) {
                     o.notes = {{60, 0.0, 1.0, 100}, {36, 0.5, 0.25, 127}, {54, 1.0, 1.0, 100},
                                {34, 1.0, 1.0, 1},   {0, 0.0, 1.0, 100},   {127, 0.0, 1.0, 100}};
                 }},
        GoodCase{"ImportedSongAndPattern",
                 {"--import-rbs", "song.rbs", "--pattern", "7", "--import-pat", "bass line.pat", "out.wav"},
                 [](RenderOptions& o) {
                     o.importSong = "song.rbs";
                     o.importPattern = "bass line.pat";
                     o.pattern = 7;
                 }},
        GoodCase{"HelpNeedsNoOutput", {"--help"},
                 [](RenderOptions& o) {
                     o.output.clear();
                     o.help = true;
                 }}),
    [](const auto& row) { return std::string(row.param.name); });

struct BadCase {
    const char* name;
    std::vector<std::string_view> args;
    const char* reason;
};

void PrintTo(const BadCase& c, std::ostream* out) { *out << c.name; }

class BadArguments : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadArguments, AreRefusedWithTheReason) {
    const BadCase& c = GetParam();
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(parseOptions(c.args, kDefaultPlugin, options, error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadArguments,
    ::testing::Values(
        BadCase{"NoOutput", {"--rate", "48000"}, "no output file given"},
        BadCase{"TwoOutputs", {"a.wav", "b.wav"}, "more than one output file"},
        BadCase{"UnknownOption", {"--frobnicate", "out.wav"}, "unknown option --frobnicate"},
        BadCase{"ShortOption", {"-r", "out.wav"}, "unknown option -r"},
        BadCase{"MissingValue", {"out.wav", "--rate"}, "--rate needs a value"},
        BadCase{"RateNotANumber", {"--rate", "4x", "out.wav"}, "--rate: '4x' is not a number"},
        BadCase{"RateFraction", {"--rate", "44100.5", "out.wav"}, "is not a number"},
        BadCase{"RateTooLow", {"--rate", "100", "out.wav"}, "--rate: 100 is outside"},
        BadCase{"BlockZero", {"--block", "0", "out.wav"}, "--block: 0 is outside"},
        BadCase{"BlockHuge", {"--block", "99999999999", "out.wav"}, "--block: 99999999999 is outside"},
        BadCase{"LengthHuge", {"--length", "1e999", "out.wav"}, "--length: 1e999 is outside"},
        BadCase{"TempoNan", {"--tempo", "nan", "out.wav"}, "is not a number"},
        BadCase{"TempoInfinite", {"--tempo", "inf", "out.wav"}, "is not a number"},
        BadCase{"TempoEmpty", {"--tempo", "", "out.wav"}, "is not a number"},
        BadCase{"LengthZero", {"--length", "0", "out.wav"}, "--length: 0 is outside"},
        BadCase{"LengthOverAnHour", {"--length", "3601", "out.wav"}, "is outside"},
        BadCase{"UnknownFormat", {"--format", "mp3", "out.wav"}, "'mp3' is not float, pcm24 or pcm16"},
        BadCase{"NoteTooFewFields", {"--note", "C2,0", "out.wav"}, "is not KEY,START,LENGTH[,VELOCITY]"},
        BadCase{"NoteTooManyFields", {"--note", "C2,0,1,100,5", "out.wav"}, "is not KEY,START,LENGTH"},
        BadCase{"NoteUnknownName", {"--note", "H2,0,1", "out.wav"}, "key 'H2' is not 0-127 or a name"},
        BadCase{"NoteNameAboveRange", {"--note", "G#9,0,1", "out.wav"}, "key"},
        BadCase{"NoteNameBelowRange", {"--note", "Cb-1,0,1", "out.wav"}, "key"},
        BadCase{"NoteNumberAboveRange", {"--note", "128,0,1", "out.wav"}, "key 128 is outside 0 to 127"},
        BadCase{"NoteNegativeStart", {"--note", "C2,-1,1", "out.wav"}, "start"},
        BadCase{"NoteZeroLength", {"--note", "C2,0,0", "out.wav"}, "length 0 is outside"},
        BadCase{"NoteZeroVelocity", {"--note", "C2,0,1,0", "out.wav"}, "velocity 0 is outside 1 to 127"},
        BadCase{"MidiAndNotes", {"--midi", "a.mid", "--note", "C2,0,1", "out.wav"}, "cannot be combined"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik::render

#include "tools/render/options.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "tools/render/user_text.h"

namespace tarvik::render {

namespace {

constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 384000;
constexpr int kLargestBlock = 8192;
constexpr double kSlowestBpm = 20.0;
constexpr double kFastestBpm = 999.0;
// Even a one-frame render is a valid file.
constexpr double kShortestLengthSeconds = 0.001;
constexpr std::size_t kHelpColumn = 24;

constexpr int kLastPattern = 127;

constexpr std::pair<std::string_view, PlayMode> kModeNames[] = {
    {"mono", PlayMode::kMono},
    {"poly", PlayMode::kPoly},
    {"pattern", PlayMode::kPattern},
};

constexpr std::pair<std::string_view, SampleFormat> kFormatNames[] = {
    {"float", SampleFormat::kFloat},
    {"pcm24", SampleFormat::kPcm24},
    {"pcm16", SampleFormat::kPcm16},
};

using Apply = bool (*)(std::string_view value, RenderOptions& options, std::string& error);

struct OptionRow {
    std::string_view name;
    std::string_view argument;  // empty for a flag
    std::string_view help;      // lines after the first are indented to the help column
    Apply apply;
};

constexpr OptionRow kOptionTable[] = {
    {"--plugin", "PATH", "plug-in binary to load (default: see below)",
     [](std::string_view value, RenderOptions& options, std::string&) {
         options.plugin = value;
         return true;
     }},
    {"--midi", "FILE.mid", "Standard MIDI File to play (format 0 or 1)",
     [](std::string_view value, RenderOptions& options, std::string&) {
         options.midiFile = value;
         return true;
     }},
    {"--note", "KEY,START,LENGTH[,VELOCITY]",
     "a note to play, repeatable. KEY is 0-127 or a name\n"
     "such as C2, F#3, Bb1 (C4 = 60); START and LENGTH\n"
     "are seconds; VELOCITY is 1-127 (default 100)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         Note note{};
         if (!parseNote(value, note, error)) return false;
         options.notes.push_back(note);
         return true;
     }},
    {"--rate", "HZ", "sample rate (default 44100)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         return parseInteger(value, kLowestRate, kHighestRate, options.sampleRate, error);
     }},
    {"--block", "FRAMES", "frames per processing block (default 512)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         return parseInteger(value, 1, kLargestBlock, options.blockSize, error);
     }},
    {"--tempo", "BPM",
     "tempo the host reports, and of a MIDI file until\n"
     "its first tempo change (default 120)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         return parseNumber(value, kSlowestBpm, kFastestBpm, options.tempo, error);
     }},
    {"--length", "SECONDS", "length of the output (default: last event + 2 s)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         double seconds = 0.0;
         if (!parseNumber(value, kShortestLengthSeconds, kLongestTimelineSeconds, seconds, error)) return false;
         options.lengthSeconds = seconds;
         return true;
     }},
    {"--format", "FORMAT", "float, pcm24 or pcm16 samples (default float)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         const auto named = std::find_if(std::begin(kFormatNames), std::end(kFormatNames),
                                         [value](const auto& entry) { return entry.first == value; });
         if (named == std::end(kFormatNames)) {
             error = quoted(value) + " is not float, pcm24 or pcm16";
             return false;
         }
         options.format = named->second;
         return true;
     }},
    {"--mode", "MODE",
     "how MIDI keys play: mono (legato), poly, or pattern\n"
     "(keys select and run the sequencer's patterns)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         const auto named = std::find_if(std::begin(kModeNames), std::end(kModeNames),
                                         [value](const auto& entry) { return entry.first == value; });
         if (named == std::end(kModeNames)) {
             error = quoted(value) + " is not mono, poly or pattern";
             return false;
         }
         options.mode = named->second;
         return true;
     }},
    {"--patch", "FILE.tvkp", "patch to play, handed to the plug-in as a host\nrestores a project",
     [](std::string_view value, RenderOptions& options, std::string&) {
         options.patchFile = value;
         return true;
     }},
    {"--pattern", "N", "play pattern N (0-127) of the patch through the\nsequencer, for --length (default 8 s)",
     [](std::string_view value, RenderOptions& options, std::string& error) {
         int pattern = 0;
         if (!parseInteger(value, 0, kLastPattern, pattern, error)) return false;
         options.pattern = pattern;
         return true;
     }},
    {"--import-pat", "FILE.pat",
     "Corvall pattern to put into the pattern that plays:\n"
     "the one --pattern names, else the patch's current one",
     [](std::string_view value, RenderOptions& options, std::string&) {
         options.importPattern = value;
         return true;
     }},
    {"--import-rbs", "FILE.rbs",
     "ReBirth RB-338 song: its TB-303 patterns become\n"
     "patterns 0-63, its pattern the current one, and six\n"
     "sound parameters are set from it (before --import-pat)",
     [](std::string_view value, RenderOptions& options, std::string&) {
         options.importSong = value;
         return true;
     }},
    {"--help", "", "show this text and stop",
     [](std::string_view, RenderOptions& options, std::string&) {
         options.help = true;
         return true;
     }},
};

const OptionRow* findOption(std::string_view name) {
    const auto row = std::find_if(std::begin(kOptionTable), std::end(kOptionTable),
                                  [name](const OptionRow& candidate) { return candidate.name == name; });
    return row == std::end(kOptionTable) ? nullptr : row;
}

}  // namespace

bool parseOptions(const std::vector<std::string_view>& args, const std::string& defaultPlugin,
                  RenderOptions& options, std::string& error) {
    RenderOptions parsed;
    parsed.plugin = defaultPlugin;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (!arg.starts_with('-')) {
            if (!parsed.output.empty()) {
                error = "more than one output file: " + parsed.output + " and " + std::string(arg);
                return false;
            }
            parsed.output = arg;
            continue;
        }
        const OptionRow* row = findOption(arg);
        if (!row) {
            error = "unknown option " + std::string(arg);
            return false;
        }
        std::string_view value;
        if (!row->argument.empty()) {
            if (++i == args.size()) {
                error = std::string(arg) + " needs a value: " + std::string(row->argument);
                return false;
            }
            value = args[i];
        }
        std::string reason;
        if (!row->apply(value, parsed, reason)) {
            error = std::string(arg) + ": " + reason;
            return false;
        }
    }
    if (!parsed.help && parsed.output.empty()) {
        error = "no output file given";
        return false;
    }
    if (!parsed.midiFile.empty() && !parsed.notes.empty()) {
        error = "--midi and --note cannot be combined";
        return false;
    }
    if (parsed.pattern && (!parsed.midiFile.empty() || !parsed.notes.empty())) {
        error = "--pattern plays the sequencer and cannot be combined with --midi or --note";
        return false;
    }
    if (parsed.pattern && parsed.mode && *parsed.mode != PlayMode::kPattern) {
        error = "--pattern needs --mode pattern";
        return false;
    }
    options = std::move(parsed);
    return true;
}

std::string usageText(const std::string& defaultPlugin) {
    std::string text =
        "Usage: tarvik-render [options] OUTPUT.wav\n"
        "Plays a MIDI file or notes through the plug-in, as a music host does,\n"
        "and writes what it renders to a WAV file.\n"
        "\n"
        "Options:\n";
    const std::string indent(kHelpColumn, ' ');
    for (const OptionRow& row : kOptionTable) {
        std::string head = "  ";
        head += row.name;
        if (!row.argument.empty()) {
            head += ' ';
            head += row.argument;
        }
        text += head;
        if (head.size() + 2 > kHelpColumn)
            text += "\n" + indent;
        else
            text += std::string(kHelpColumn - head.size(), ' ');
        for (const char c : row.help) text += c == '\n' ? "\n" + indent : std::string(1, c);
        text += "\n";
    }
    text += "\nThe default plug-in is " + defaultPlugin + "\n";
    return text;
}

}  // namespace tarvik::render

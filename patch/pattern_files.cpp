#include "patch/pattern_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "patch/pattern_ops.h"
#include "patch/safe_file.h"
#include "patch/text_file.h"

namespace tarvik {

namespace {

constexpr int kOctave = 12;
constexpr int kUpperC = 12;

// Two characters per semitone, C to B.
constexpr std::string_view kNoteNames = "c-c#d-d#e-f-f#g-g#a-a#b-";

// The octave digit of a step without octave flags; the upper C with the up
// flag is written one more above, as the digit that brings it back.
constexpr char kMiddleOctave = '3';
constexpr int kUpperCOctave = 5;
constexpr int kLowestPlainOctave = 3;
constexpr int kFirstUpOctave = 4;

int flagBit(const Step& s, std::uint8_t flag) { return (s.flags & flag) ? 1 : 0; }

// --- Corvall lines -----------------------------------------------------------

// The six fields of a line: three characters (note name and octave digit),
// then gate, slide and accent, each one character after blanks.
struct CorvallLine {
    char name[2];
    char octave;
    char gate;
    char slide;
    char accent;
};

// Blanks within a line: the fields of one step never span two lines.
bool isBlank(int c) { return c != '\n' && isSpace(c); }

// Scans one line straight from the file, character by character, so a line
// of any length needs no buffer. Whatever follows the six fields is skipped
// up to the line end, so a very long line is still one step. nullopt when the
// line ends before its sixth field.
std::optional<CorvallLine> scanLine(std::FILE* file) {
    char head[3];
    for (char& c : head) {
        const int read = std::getc(file);
        if (read == EOF || read == '\n') return std::nullopt;
        c = static_cast<char>(read);
    }
    char flags[3];
    for (char& c : flags) {
        int read = std::getc(file);
        while (isBlank(read)) read = std::getc(file);
        if (read == EOF || read == '\n') return std::nullopt;
        c = static_cast<char>(read);
    }
    int rest = std::getc(file);
    while (rest != EOF && rest != '\n') rest = std::getc(file);
    // Blank lines and the next line's leading blanks are passed over, as a
    // scanner does after a line.
    int next = std::getc(file);
    while (next != EOF && isSpace(next)) next = std::getc(file);
    if (next != EOF) std::ungetc(next, file);
    return CorvallLine{{head[0], head[1]}, head[2], flags[0], flags[1], flags[2]};
}

std::optional<int> noteNamed(const char name[2]) {
    for (std::size_t i = 0; i < kNoteNames.size(); i += 2) {
        if (kNoteNames[i] == name[0] && kNoteNames[i + 1] == name[1]) return static_cast<int>(i / 2);
    }
    return std::nullopt;
}

std::uint8_t lowestBit(char c, std::uint8_t flag) { return (static_cast<unsigned char>(c) & 1) ? flag : 0; }

// A line's step. note is the note carried from line to line: a name that
// names no note keeps it, and octave 5 makes it the upper C.
Step stepFromLine(const CorvallLine& line, int& note) {
    if (const std::optional<int> named = noteNamed(line.name)) note = *named;
    // Characters are taken as signed, as the format's home platform reads
    // them, on every platform: a byte above 127 is an octave below 3.
    const int octave = static_cast<signed char>(line.octave) - '0';
    std::uint8_t flags = 0;
    if (octave < kLowestPlainOctave) flags |= step::kDown;
    if (octave >= kFirstUpOctave) flags |= step::kUp;
    if (octave == kUpperCOctave) note = kUpperC;
    flags |= lowestBit(line.gate, step::kGate);
    flags |= lowestBit(line.slide, step::kSlide);
    flags |= lowestBit(line.accent, step::kAccent);
    return Step{static_cast<std::uint8_t>(note), flags};
}

// --- ReBirth songs -----------------------------------------------------------

constexpr std::size_t kChunkHeader = 8;  // identifier, big-endian size
constexpr std::size_t kListType = 4;     // a CAT's type, read past
// Songs nest a level or two; deeper is a damaged or hostile file, and the
// limit keeps the walk's recursion small.
constexpr int kMaxNesting = 16;
constexpr std::size_t kMaxUnitData = 1097;

// Offsets in a unit's data.
constexpr std::size_t kPatternNumberAt = 1;
constexpr std::size_t kParametersAt = 2;
constexpr std::size_t kUnitHeader = kParametersAt + static_cast<std::size_t>(kSongParameters);
constexpr std::size_t kFirstPatternAt = 10;
constexpr std::size_t kPatternStride = 34;
constexpr double kParameterScale = 127.0;

// Bits of a unit's step flag byte.
constexpr std::uint8_t kUnitSlide = 1 << 0;
constexpr std::uint8_t kUnitAccent = 1 << 1;
constexpr std::uint8_t kUnitUp = 1 << 2;
constexpr std::uint8_t kUnitDown = 1 << 3;
constexpr std::uint8_t kUnitRest = 1 << 4;

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
};

struct SongUnits {
    Bytes units[kSongUnits];
    int found = 0;
};

bool hasIdentifier(const std::uint8_t* chunk, const char (&identifier)[5]) {
    return std::memcmp(chunk, identifier, 4) == 0;
}

std::size_t bigEndian32(const std::uint8_t* p) {
    return std::size_t{p[0]} << 24 | std::size_t{p[1]} << 16 | std::size_t{p[2]} << 8 | std::size_t{p[3]};
}

// Walks the chunks of file[begin, end) and of the lists nested in it, keeping
// the first two TB-303 units. False when a chunk claims more than what holds
// it, which makes every size in the file doubtful. A remainder too short for a
// chunk header ends the list, and so does a missing pad byte at its end.
bool walkChunks(Bytes file, std::size_t begin, std::size_t end, int depth, SongUnits& song) {
    std::size_t at = begin;
    while (at < end && end - at >= kChunkHeader) {
        const std::uint8_t* chunk = file.data + at;
        const std::size_t dataAt = at + kChunkHeader;
        const std::size_t size = bigEndian32(chunk + 4);
        if (size > end - dataAt) return false;
        if (hasIdentifier(chunk, "CAT ")) {
            if (depth == kMaxNesting || size < kListType) return false;
            if (!walkChunks(file, dataAt + kListType, dataAt + size, depth + 1, song)) return false;
        } else if (hasIdentifier(chunk, "303 ") && song.found < kSongUnits) {
            song.units[song.found++] = Bytes{file.data + dataAt, std::min(size, kMaxUnitData)};
        }
        at = dataAt + size + (size & 1);
    }
    return true;
}

std::uint8_t tarvikFlags(std::uint8_t unitFlags) {
    std::uint8_t flags = 0;
    if (!(unitFlags & kUnitRest)) flags |= step::kGate;
    if (unitFlags & kUnitUp) flags |= step::kUp;
    if (unitFlags & kUnitDown) flags |= step::kDown;
    if (unitFlags & kUnitSlide) flags |= step::kSlide;
    if (unitFlags & kUnitAccent) flags |= step::kAccent;
    return flags;
}

// Pattern p of a unit: a length byte, then that many (note, flags) pairs.
// A unit holds room for 16 pairs a pattern, but a longer length reads on
// into the bytes after it, up to the 64 steps a Tarvik pattern has. A pattern
// whose pairs would run past the end of the unit is not taken at all: half
// of it would be steps the song never held.
SongPattern unitPattern(Bytes unit, int p) {
    SongPattern pattern;
    const std::size_t at = kFirstPatternAt + kPatternStride * static_cast<std::size_t>(p);
    if (at >= unit.size) return pattern;
    const int length = unit.data[at];
    const int steps = std::min(length, kMaxSteps);
    if (unit.size - at - 1 < 2 * static_cast<std::size_t>(steps)) return pattern;
    pattern.present = true;
    pattern.length = static_cast<std::uint8_t>(std::clamp(length, 1, kMaxSteps));
    pattern.stepCount = steps;
    const std::uint8_t* pair = unit.data + at + 1;
    for (int j = 0; j < steps; ++j, pair += 2) pattern.steps[j] = Step{pair[0], tarvikFlags(pair[1])};
    return pattern;
}

// The whole file, or nothing when it is not a regular file of a song's size.
std::optional<std::string> readSongFile(const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (bytes.size() + read > kMaxSongFileSize) return std::nullopt;
        bytes.append(buffer, read);
    }
    if (std::ferror(file.get())) return std::nullopt;
    return bytes;
}

}  // namespace

std::string corvallPatternText(const Pattern& pattern) {
    std::string text;
    // A damaged length writes the steps the sequencer plays.
    const int length = playedLength(pattern.length);
    for (int i = 0; i < length; ++i) {
        const Step& s = pattern.steps[i];
        const int up = flagBit(s, step::kUp);
        const int upperC = s.note == kUpperC && up ? 1 : 0;
        const std::size_t name = 2 * static_cast<std::size_t>(s.note % kOctave);
        text += kNoteNames[name];
        text += kNoteNames[name + 1];
        text += static_cast<char>(kMiddleOctave + up - flagBit(s, step::kDown) + upperC);
        for (const std::uint8_t flag : {step::kGate, step::kSlide, step::kAccent}) {
            text += ' ';
            text += static_cast<char>('0' + flagBit(s, flag));
        }
        text += '\n';
    }
    return text;
}

bool exportCorvallPattern(const Pattern& pattern, const std::string& path) {
    SafeFileWriter writer(path);
    if (!writer.file()) return false;
    const std::string text = corvallPatternText(pattern);
    if (std::fwrite(text.data(), 1, text.size(), writer.file()) != text.size()) return false;
    return writer.commit();
}

bool importCorvallPattern(Pattern& pattern, const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return false;
    Pattern imported = pattern;
    int lines = 0;
    int note = 0;
    // Lines after the 64th would only be counted, and the length is 64
    // whatever their number: the reading stops there.
    while (lines < kMaxSteps) {
        const std::optional<CorvallLine> line = scanLine(file.get());
        if (!line) break;
        imported.steps[lines++] = stepFromLine(*line, note);
    }
    imported.length = static_cast<std::uint8_t>(std::max(lines, 1));
    pattern = imported;
    return true;
}

bool readRebirthSong(const std::string& path, SongImport& song) {
    const std::optional<std::string> bytes = readSongFile(path);
    if (!bytes) return false;
    const Bytes file{reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()};
    SongUnits units;
    if (!walkChunks(file, 0, file.size, 0, units) || units.found == 0) return false;
    const Bytes first = units.units[0];
    if (first.size < kUnitHeader) return false;

    SongImport read;
    read.currentPattern = std::min<int>(first.data[kPatternNumberAt], kNumPatterns - 1);
    for (std::size_t k = 0; k < read.parameters.size(); ++k) {
        // ReBirth writes 0..127; a larger byte is damage and gives the top of
        // the range rather than a value no control can show.
        const double value = first.data[kParametersAt + k] / kParameterScale;
        read.parameters[k].value = static_cast<float>(std::min(value, 1.0));
    }
    for (int u = 0; u < units.found; ++u) {
        for (int p = 0; p < kUnitPatterns; ++p)
            read.patterns[static_cast<std::size_t>(u * kUnitPatterns + p)] = unitPattern(units.units[u], p);
    }
    song = read;
    return true;
}

void applyRebirthPatterns(const SongImport& song, TarvikPatch& patch) {
    for (int p = 0; p < kSongPatterns; ++p) {
        const SongPattern& from = song.patterns[static_cast<std::size_t>(p)];
        if (!from.present) continue;
        Pattern to = loadPattern(patch.patterns[p]);
        const int steps = std::clamp(from.stepCount, 0, kMaxSteps);
        std::copy(from.steps, from.steps + steps, to.steps);
        to.length = static_cast<std::uint8_t>(std::clamp(static_cast<int>(from.length), 1, kMaxSteps));
        publishPattern(patch.patterns[p], to);
    }
    patch.setState(state::CurrentPattern, std::clamp(song.currentPattern, 0, kNumPatterns - 1));
}

}  // namespace tarvik

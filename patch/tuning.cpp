#include "patch/tuning.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string_view>

#include "patch/text_file.h"

namespace tarvik {

namespace {

constexpr double kLowestNoteFrequency = 8.175798915636872;  // MIDI note 0, C-1
constexpr double kSemitoneRatio = 1.059463094359;
// Longer than any number written by hand or by a tool; a longer word in a
// frequency list is not a number.
constexpr std::size_t kMaxNumberLength = 64;


void skipSpace(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
}

std::size_t skipDigits(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos])) ++pos;
    return pos - start;
}

// A frequency or ratio the voices can use: zero, negative, subnormal or
// non-finite values would silence a note, flip its phase or fill the audio
// path with NaNs.
std::optional<float> usableValue(double value) {
    if (!(value > 0.0 && value <= std::numeric_limits<float>::max())) return std::nullopt;
    const float single = static_cast<float>(value);
    if (!std::isnormal(single)) return std::nullopt;
    return single;
}

// Like scanf's " %d", except that a number beyond int does not scan: a
// ratio clamped to the int range would be a wrong pitch.
std::optional<int> scanWholeNumber(std::string_view text, std::size_t& pos) {
    skipSpace(text, pos);
    const std::optional<ScannedInteger> number = scanInteger(text.substr(pos));
    if (!number || number->beyondInt) return std::nullopt;
    pos += number->length;
    return number->value;
}

// Any value written with a decimal point is in cents, as Scala itself reads
// it, so "701." is a fifth and not the ratio 701. A value beyond the double
// range is refused, as a ratio beyond int is.
std::optional<double> scanCents(std::string_view text) {
    std::size_t pos = 0;
    skipSpace(text, pos);
    const std::size_t start = pos;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
    const std::size_t digits = skipDigits(text, pos);
    if (pos >= text.size() || text[pos] != '.') return std::nullopt;
    ++pos;
    if (digits + skipDigits(text, pos) == 0) return std::nullopt;
    // Sign, digits and point only, which the scanner reads whole.
    const std::optional<ScannedDecimal> cents = scanDecimal(text.substr(start, pos - start));
    if (cents->beyondRange) return std::nullopt;
    return cents->value;
}

// "a/b" (blanks allowed around the slash), then cents, then a plain integer;
// whatever follows the value on the line is ignored.
std::optional<float> ratioFromLine(std::string_view line) {
    std::size_t pos = 0;
    const std::optional<int> whole = scanWholeNumber(line, pos);
    if (whole) {
        skipSpace(line, pos);
        if (pos < line.size() && line[pos] == '/') {
            ++pos;
            if (const std::optional<int> denominator = scanWholeNumber(line, pos)) {
                if (*denominator == 0) return std::nullopt;
                return usableValue(static_cast<float>(*whole) / static_cast<float>(*denominator));
            }
        }
    }
    if (const std::optional<double> cents = scanCents(line)) return usableValue(std::exp2(*cents / 1200.0));
    if (whole) return usableValue(*whole);
    return std::nullopt;
}

std::optional<std::string> readLine(std::FILE* file) {
    std::string line;
    int c = 0;
    while ((c = std::getc(file)) != EOF) {
        if (line.size() < static_cast<std::size_t>(kMaxScaleLineLength)) line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    if (line.empty()) return std::nullopt;
    return line;
}

bool isComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == '!';
}

std::optional<std::string> readContentLine(std::FILE* file) {
    while (std::optional<std::string> line = readLine(file)) {
        if (!isComment(*line)) return line;
    }
    return std::nullopt;
}

// The next white-space separated word of a frequency list as a frequency;
// nullopt at the end of the file or at a word that is not a usable one.
std::optional<float> readFrequency(std::FILE* file) {
    int c = 0;
    do c = std::getc(file);
    while (c != EOF && isSpace(c));
    std::string word;
    for (; c != EOF && !isSpace(c); c = std::getc(file)) {
        if (word.size() == kMaxNumberLength) return std::nullopt;
        word.push_back(static_cast<char>(c));
    }
    if (word.empty()) return std::nullopt;
    const std::optional<ScannedDecimal> frequency = scanDecimal(word);
    if (!frequency || frequency->length != word.size()) return std::nullopt;
    return usableValue(frequency->value);
}

// Windows file names ignore letter case, so "Just.SCL" is a scale too.
bool namesScaleFile(const std::string& path) {
    constexpr std::string_view kExtension = ".scl";
    const auto found = std::search(path.begin(), path.end(), kExtension.begin(), kExtension.end(),
                                   [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
    return found != path.end();
}

}  // namespace

const NoteTable& standardNoteTable() {
    static const NoteTable table = [] {
        NoteTable notes{};
        double frequency = kLowestNoteFrequency;
        for (int k = 0; k < kNotes; ++k) {
            notes[static_cast<std::size_t>(k)] = static_cast<float>(frequency);
            frequency *= kSemitoneRatio;
        }
        notes[kNotes] = notes[kNotes - 1];
        return notes;
    }();
    return table;
}

std::optional<Scale> readScale(const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return std::nullopt;

    std::optional<std::string> description = readContentLine(file.get());
    if (!description) return std::nullopt;
    const std::optional<std::string> countLine = readContentLine(file.get());
    if (!countLine) return std::nullopt;
    std::size_t pos = 0;
    const std::optional<int> notes = scanWholeNumber(*countLine, pos);
    if (!notes || *notes < 1 || *notes > kMaxScaleNotes) return std::nullopt;

    Scale scale;
    scale.description = std::move(*description);
    scale.ratios.assign(static_cast<std::size_t>(*notes) + 1, 1.0f);  // ratio 0 is the unison
    int read = 0;
    while (read < *notes) {
        const std::optional<std::string> line = readContentLine(file.get());
        if (!line) break;
        const std::optional<float> ratio = ratioFromLine(*line);
        if (!ratio) {
            std::printf("unknown line format\n %s", line->c_str());
            return std::nullopt;
        }
        scale.ratios[static_cast<std::size_t>(++read)] = *ratio;
    }
    // A scale with fewer ratios than it announces has no value for some of
    // its degrees: it is reported and refused rather than played half made up.
    if (read < *notes) {
        std::printf("Warning could not read all the notes.\nFile truncated?\n");
        return std::nullopt;
    }
    return scale;
}

std::optional<NoteTable> noteTableFromScale(const Scale& scale) {
    const int notes = scale.notes();
    if (notes < 1) return std::nullopt;
    const double root = standardNoteTable()[0];
    NoteTable table{};
    for (int k = 0; k < kNotes; ++k) {
        const double degree = scale.ratios[static_cast<std::size_t>(k % notes)];
        const std::optional<float> frequency = usableValue(root * degree * std::ldexp(1.0, k / notes));
        if (!frequency) return std::nullopt;
        table[static_cast<std::size_t>(k)] = *frequency;
    }
    table[kNotes] = table[kNotes - 1];
    return table;
}

bool NoteTables::loadTuning(const std::string& path) {
    if (path.empty()) return false;
    return namesScaleFile(path) ? loadScale(path) : loadFrequencyList(path);
}

bool NoteTables::loadScale(const std::string& path) {
    const std::optional<Scale> scale = readScale(path);
    if (!scale) return false;
    const std::optional<NoteTable> table = noteTableFromScale(*scale);
    if (!table) return false;
    custom_ = *table;
    return true;
}

bool NoteTables::loadFrequencyList(const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return false;
    int read = 0;
    while (read < kNotes) {
        const std::optional<float> frequency = readFrequency(file.get());
        if (!frequency) break;
        custom_[static_cast<std::size_t>(read++)] = *frequency;
    }
    custom_[kNotes] = custom_[kNotes - 1];
    return read == kNotes;
}

}  // namespace tarvik

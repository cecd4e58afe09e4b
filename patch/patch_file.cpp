#include "patch/patch_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "dsp/socket_table.h"
#include "patch/patch_validation.h"
#include "patch/safe_file.h"
#include "patch/text_file.h"

namespace tarvik {

namespace {

constexpr const char* kFileVersion = "1.04";
constexpr std::size_t kBytesPerLine = 16;
// Longer than every name and number a patch file holds; a longer word is
// consumed but matches nothing.
constexpr std::size_t kWordRoom = 128;

// ---------------------------------------------------------------- writing

// "%.8f" as the C locale writes it: a host may have set a locale whose
// decimal separator the reader would not take.
void writeFixed8(std::FILE* file, float value) {
    char text[64];  // a float needs at most 39 digits before the point
    const char* end = std::to_chars(text, text + sizeof text, double{value}, std::chars_format::fixed, 8).ptr;
    std::fwrite(text, 1, static_cast<std::size_t>(end - text), file);
}

void writeHexLines(std::FILE* file, const void* data, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t line = 0; line < size; line += kBytesPerLine) {
        char text[2 * kBytesPerLine + 1];
        std::size_t length = 0;
        for (std::size_t i = line; i < std::min(size, line + kBytesPerLine); ++i) {
            text[length++] = kDigits[bytes[i] >> 4];
            text[length++] = kDigits[bytes[i] & 0x0F];
        }
        text[length++] = '\n';
        std::fwrite(text, 1, length, file);
    }
}

void writeParameters(std::FILE* file, const TarvikPatch& patch) {
    std::fprintf(file, "[%d Parameters]\n", kNumParameters);
    for (int i = 0; i < kNumParameters; ++i) {
        std::fprintf(file, "\"%s\" = ", kParameterTable[static_cast<std::size_t>(i)].name);
        writeFixed8(file, patch.parameter(i));
        std::fputc('\n', file);
    }
}

void writeSockets(std::FILE* file) {
    std::fprintf(file, "[%d Sockets]\n", kNumSockets);
    for (int i = 0; i < kNumSockets; ++i)
        std::fprintf(file, "Socket %d: \"%s\"\n", i, kSocketDefinitions[static_cast<std::size_t>(i)].name);
}

void writeCables(std::FILE* file, const CableList& cables) {
    const int count = cables.size();
    std::fprintf(file, "[%d Connections]\n", count);
    for (int i = 0; i < count; ++i) {
        const Connection cable = cables.at(i);
        std::fprintf(file, "%d, %d\n", static_cast<int>(cable.output), static_cast<int>(cable.input));
    }
}

void writeStates(std::FILE* file, const TarvikPatch& patch) {
    std::fprintf(file, "[%d States]\n", kNumStates);
    for (int i = 0; i < kNumStates; ++i)
        std::fprintf(file, "%s = %d\n", kStateNames[static_cast<std::size_t>(i)], static_cast<int>(patch.state(i)));
}

// ---------------------------------------------------------------- reading

bool isLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isWordCharacter(int c) { return !isSpace(c); }
bool isNumberCharacter(int c) { return isLetter(c) || isDigit(c) || c == '.' || c == '+' || c == '-'; }

int hexValue(int c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Word {
    std::string text;  // at most kWordRoom characters
    bool cut = false;  // the word was longer: it names nothing and is no number
};

// Reads the file a character at a time with one character of look-ahead, so
// memory stays small whatever the file holds.
class Scanner {
public:
    explicit Scanner(std::FILE* file) : file_(file) {}

    int peek() {
        if (!loaded_) {
            next_ = std::getc(file_);
            loaded_ = true;
        }
        return next_;
    }
    int get() {
        const int c = peek();
        loaded_ = c == EOF;  // the end stays the end
        return c;
    }
    bool atEnd() { return peek() == EOF; }
    void skipSpace() {
        while (isSpace(peek())) get();
    }
    void skipLine() {
        for (int c = get(); c != EOF && c != '\n'; c = get()) {
        }
    }

    // Matches text character by character; the first character that differs
    // is left unread.
    bool literal(std::string_view text) {
        for (const char expected : text) {
            if (peek() != static_cast<unsigned char>(expected)) return false;
            get();
        }
        return true;
    }

    template <typename Accept>
    Word word(Accept accept) {
        Word result;
        while (peek() != EOF && accept(peek())) {
            const char c = static_cast<char>(get());
            if (result.text.size() < kWordRoom)
                result.text += c;
            else
                result.cut = true;
        }
        return result;
    }

    // Like scanf's " %d"; a number beyond int (or a run of digits longer
    // than a word's room) is unreadable: a count must be exact.
    std::optional<int> integer() {
        skipSpace();
        std::string text;
        if (peek() == '-')
            text += static_cast<char>(get());
        else if (peek() == '+')
            get();
        const Word digits = word(isDigit);
        if (digits.cut || digits.text.empty()) return std::nullopt;
        text += digits.text;
        const std::optional<ScannedInteger> number = scanInteger(text);
        if (number->beyondInt) return std::nullopt;
        return number->value;
    }

    // Like scanf's " %f", clamped to 0..1, a number beyond the double range
    // as well as any other. A NaN is kept for the repair to replace with the
    // parameter's default.
    std::optional<float> unitValue() {
        skipSpace();
        const Word number = word(isNumberCharacter);
        if (number.cut) return std::nullopt;
        const std::optional<ScannedDecimal> scanned = scanDecimal(number.text);
        if (!scanned || scanned->length != number.text.size()) return std::nullopt;
        const double value = scanned->value;
        if (std::isnan(value)) return static_cast<float>(value);
        return value > 0.0 ? static_cast<float>(std::min(value, 1.0)) : 0.0f;
    }

    // One character, and when it opens a quoted name, the name up to its
    // closing quote: the names in the file are only there for people.
    void skipQuotedName() {
        if (get() != '"') return;
        for (int c = get(); c != EOF && c != '"'; c = get()) {
        }
    }

private:
    std::FILE* file_;
    int next_ = EOF;
    bool loaded_ = false;
};

struct Version {
    int major = -1;
    int minor = -1;

    // The versions whose "MG Amount CV" cables need the knob fully open.
    bool needsMgAmountRule() const { return major == 1 && minor >= 0 && minor <= 2; }
};

Version readVersion(Scanner& in) {
    Version version;
    if (!in.literal("Version:")) return version;
    const std::optional<int> major = in.integer();
    if (!major || !in.literal(".")) return version;
    const std::optional<int> minor = in.integer();
    if (!minor) return version;
    return {*major, *minor};
}

struct Header {
    int count;
    Word word;
};

// " [%d %[a-zA-Z]] ": a header needs both its count and its word; a missing
// closing bracket is forgiven.
std::optional<Header> readHeader(Scanner& in) {
    in.skipSpace();
    if (!in.literal("[")) return std::nullopt;
    const std::optional<int> count = in.integer();
    if (!count) return std::nullopt;
    in.skipSpace();
    Word word = in.word(isLetter);
    if (word.text.empty()) return std::nullopt;
    in.literal("]");
    in.skipSpace();
    return Header{*count, std::move(word)};
}

void readParameters(Scanner& in, TarvikPatch& patch, int count) {
    for (int i = 0; i < count; ++i) {
        in.skipSpace();
        if (in.atEnd()) return;
        in.skipQuotedName();
        in.skipSpace();
        if (!in.literal("=")) return;
        const std::optional<float> value = in.unitValue();
        if (!value) return;
        if (i < kParameterRoom) patch.setParameter(i, *value);
    }
}

void skipSockets(Scanner& in, int count) {
    for (int i = 0; i < count; ++i) {
        in.skipSpace();
        if (in.atEnd() || !in.literal("Socket") || !in.integer() || !in.literal(":")) return;
        in.skipSpace();
        in.skipQuotedName();
    }
}

void readCables(Scanner& in, CableList& cables, int count) {
    int stored = 0;
    for (int i = 0; i < count; ++i) {
        in.skipSpace();
        if (in.atEnd()) break;
        const std::optional<int> output = in.integer();
        if (!output || !in.literal(",")) break;
        const std::optional<int> input = in.integer();
        if (!input) break;
        if (stored < kMaxCables) cables.set(stored++, {*output, *input});
    }
    cables.setSize(stored);
}

void readStates(Scanner& in, TarvikPatch& patch, int count) {
    for (int i = 0; i < count; ++i) {
        in.skipSpace();
        if (in.atEnd()) return;
        const Word name = in.word(isWordCharacter);
        in.skipSpace();
        if (!in.literal("=")) return;
        const std::optional<int> value = in.integer();
        if (!value) return;
        const auto known = std::find(kStateNames.begin(), kStateNames.end(), std::string_view(name.text));
        if (!name.cut && known != kStateNames.end())
            patch.setState(static_cast<int>(known - kStateNames.begin()), *value);
    }
}

// count bytes as words of up to 32 hexadecimal digits; each word is one line
// of 16 bytes, so a damaged word spoils its own line only. Bytes beyond room
// are read and dropped.
void readHexLines(Scanner& in, void* target, std::size_t room, std::int64_t count) {
    auto* bytes = static_cast<unsigned char*>(target);
    for (std::int64_t line = 0; line < count; line += static_cast<std::int64_t>(kBytesPerLine)) {
        in.skipSpace();
        if (hexValue(in.peek()) < 0) return;
        const std::string digits = in.word(isWordCharacter).text;
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(kBytesPerLine, count - line));
        for (std::size_t k = 0; k < wanted && 2 * k + 1 < digits.size(); ++k) {
            const int high = hexValue(digits[2 * k]);
            const int low = hexValue(digits[2 * k + 1]);
            if (high < 0 || low < 0) break;
            const auto at = static_cast<std::size_t>(line) + k;
            if (at < room) bytes[at] = static_cast<unsigned char>(high << 4 | low);
        }
    }
}

void readPatterns(Scanner& in, TarvikPatch& patch, int count) {
    readHexLines(in, patch.patterns, sizeof patch.patterns, std::int64_t{count} * std::int64_t{sizeof(Pattern)});
}

void readPatchInfo(Scanner& in, TarvikPatch& patch, int count) {
    patch.info = TarvikPatch().info;
    if (count >= 1) readHexLines(in, &patch.info, sizeof patch.info, count);
}

// Sections this reader does not know (from a later version, say) are passed
// over up to the next line that opens a section.
void skipSectionBody(Scanner& in) {
    for (;;) {
        in.skipSpace();
        if (in.atEnd() || in.peek() == '[') return;
        in.skipLine();
    }
}

void readSection(Scanner& in, TarvikPatch& patch, const Header& header) {
    const std::string_view word = header.word.cut ? std::string_view{} : std::string_view(header.word.text);
    if (word == "Parameters") {
        readParameters(in, patch, header.count);
    } else if (word == "Sockets") {
        skipSockets(in, header.count);
    } else if (word == "Connections") {
        readCables(in, patch.cables, header.count);
    } else if (word == "States") {
        readStates(in, patch, header.count);
    } else if (word == "Patterns") {
        readPatterns(in, patch, header.count);
    } else if (word == "PatchInfo") {
        readPatchInfo(in, patch, header.count);
    } else if (word == "Patch") {
        in.skipSpace();
        in.word(isWordCharacter);
        in.skipSpace();
        readPatchInfo(in, patch, header.count);
    } else {
        skipSectionBody(in);
    }
}

bool feedsMgAmount(const CableList& cables) {
    for (int i = 0; i < cables.size(); ++i)
        if (cables.at(i).input == socket::MgAmountCv) return true;
    return false;
}

}  // namespace

bool writePatchFile(const TarvikPatch& patch, const std::string& path) {
    SafeFileWriter writer(path);
    std::FILE* const file = writer.file();
    if (!file) return false;
    std::fprintf(file, "Version: %s\n", kFileVersion);
    writeParameters(file, patch);
    writeSockets(file);
    writeCables(file, patch.cables);
    writeStates(file, patch);
    std::fprintf(file, "[%d Patterns]\n", kNumPatterns);
    writeHexLines(file, patch.patterns, sizeof patch.patterns);
    std::fprintf(file, "[%d PatchInfo]\n", static_cast<int>(sizeof patch.info));
    writeHexLines(file, &patch.info, sizeof patch.info);
    return writer.commit();
}

bool readPatchFile(TarvikPatch& target, const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return false;
    Scanner in(file.get());
    const Version version = readVersion(in);
    while (const std::optional<Header> header = readHeader(in)) readSection(in, target, *header);
    // Only cables that survive the repair are heard, so only they count for
    // the old-version rule.
    repairPatch(target);
    if (version.needsMgAmountRule() && feedsMgAmount(target.cables)) target.setParameter(param::MgAmount, 1.0f);
    return true;
}

}  // namespace tarvik

// The skin file reader: a keyword scanner over the whole file rather than a
// line parser, because skins in use spread one entry over several lines or
// put several on one line, and both have always worked.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/ascii_case.h"
#include "gui/format_scanner.h"
#include "gui/skin_definition.h"
#include "gui/skin_paths.h"
#include "gui/skin_tags.h"
#include "patch/text_file.h"

namespace tarvik::gui {

namespace {

// A word is at most an element's own name; longer words are cut to that, and
// so can never match a keyword or a TAG name by being cut.
constexpr std::size_t kWordRoom = SkinDefinition::kMaxElementNameLength;
// A longer INCLUDE name is not followed: cut, it would name another file.
constexpr std::size_t kMaxIncludePathLength = 4095;

constexpr int kPlainLineNumbers = 4;
constexpr int kOwnNamedLineNumbers = 7;

#ifdef _WIN32
constexpr std::string_view kSeparators = "/\\";
#else
constexpr std::string_view kSeparators = "/";
#endif

bool isAbsolute(const std::string& name) {
    if (!name.empty() && kSeparators.find(name.front()) != std::string_view::npos) return true;
#ifdef _WIN32
    const char drive = toUpperAscii(name.size() >= 2 ? name[0] : '\0');
    if (drive >= 'A' && drive <= 'Z' && name[1] == ':') return true;
#endif
    return false;
}

// A relative INCLUDE name is taken from the including file's folder (the
// host's working directory is nothing a skin author can know, while a skin
// and the parts it includes lie side by side), read as a skin names its
// files; nullopt for one that climbs out of that folder. An absolute name is
// the author's own choice, taken as it is.
std::optional<std::string> resolveInclude(const std::string& includingFile, const std::string& name) {
    if (isAbsolute(name)) return name;
    const std::size_t separator = includingFile.find_last_of(kSeparators);
    return skinFilePath(separator == std::string::npos ? std::string() : includingFile.substr(0, separator + 1), name);
}

// Whether two names lead to the same file, however spelt. A name the
// system cannot compare counts as the same, so that it is not followed.
bool sameFile(const std::string& a, const std::string& b) {
    try {
        std::error_code error;
        const bool same = std::filesystem::equivalent(a, b, error);
        return same || (error && a == b);
    } catch (...) {
        return true;
    }
}

// Positions and sizes are 16-bit on the panel; larger numbers keep their low
// 16 bits, as they always have.
std::int16_t cut16(long long value) { return static_cast<std::int16_t>(value); }

}  // namespace

class SkinDefinition::Reader {
public:
    // files: the names of the files being read, the outermost first; the
    // last is the one this reader reads.
    Reader(SkinDefinition& skin, std::FILE* file, std::vector<std::string>& files)
        : skin_(skin), scanner_(file), files_(files) {}

    void read() {
        std::optional<std::string> next;  // a word read ahead, still to be dispatched
        for (;;) {
            std::string keyword;
            if (next) {
                keyword = std::move(*next);
                next.reset();
            } else {
                scanner_.skipSpace();
                const int c = scanner_.get();
                if (c == EOF) return;
                if (c == ';') {
                    scanner_.skipLine();
                    continue;
                }
                scanner_.unget(c);
                keyword = scanner_.word(kWordRoom);
            }
            scanner_.skipSpace();
            next = dispatch(keyword);
        }
    }

private:
    // Reads what follows the keyword; answers a word it read ahead without
    // using it.
    std::optional<std::string> dispatch(const std::string& keyword) {
        const auto is = [&](std::string_view name) { return equalsIgnoringCase(keyword, name); };
        if (is("NAME")) {
            if (scanner_.literal('"')) scanner_.quoted(skin_.name_, kMaxNameLength);
        } else if (is("CROSSFADE") || is("BLENDMODE")) {
            readInteger(skin_.blendMode_);
        } else if (is("TRANSPARENTCOLOR")) {
            readColor(skin_.transparentColor_);
        } else if (is("OFFSET")) {
            if (readInteger(skin_.offsetX_) && comma()) readInteger(skin_.offsetY_);
        } else if (is("CABLETYPE")) {
            readInteger(skin_.cableType_);
        } else if (is("CABLETINT")) {
            readColor(skin_.cableTint_);
        } else if (is("INCLUDE")) {
            include();
        } else if (is("LEDCOLOR")) {
            readLedColor();
        } else if (is("VERSION")) {
            readInteger(skin_.version_);
        } else if (const int tag = findTag(keyword); tag >= 0) {
            readElement(tag, std::string(), true);
        } else {
            return ownNamedLine(keyword);
        }
        return std::nullopt;
    }

    // A word that is neither keyword nor TAG name: when a TAG name follows,
    // the line is one with an own name, which only version 2 reads and
    // earlier versions pass over whole. Otherwise the word alone is passed
    // over, and the word after it is the next keyword.
    std::optional<std::string> ownNamedLine(const std::string& ownName) {
        const int c = scanner_.peek();
        if (c == EOF || c == ';') return std::nullopt;
        std::string word = scanner_.word(kWordRoom);
        const int tag = findTag(word);
        if (tag < 0) {
            if (skin_.version_ >= 2) return std::nullopt;  // a line with an own name and no TAG
            return word;
        }
        scanner_.skipSpace();
        readElement(tag, ownName, skin_.version_ >= 2);
        return std::nullopt;
    }

    // A comma between numbers; blanks before it are allowed too.
    bool comma() {
        scanner_.skipSpace();
        return scanner_.literal(',');
    }

    bool readInteger(int& field) {
        const std::optional<int> value = scanner_.integer();
        if (value) field = *value;
        return value.has_value();
    }

    // " %d, %d, %d", each kept as a byte; the channels read before a damaged
    // number keep their new value.
    void readColor(SkinColor& color) {
        std::uint8_t* channels[] = {&color.r, &color.g, &color.b};
        for (int i = 0; i < 3; ++i) {
            if (i > 0 && !comma()) return;
            const std::optional<int> value = scanner_.integer();
            if (!value) return;
            *channels[i] = static_cast<std::uint8_t>(*value);
        }
    }

    // "%d, %f, %f, %f"; an index outside the table is read and ignored.
    void readLedColor() {
        const std::optional<int> index = scanner_.integer();
        if (!index) return;
        LedColor color;
        float* channels[] = {&color.r, &color.g, &color.b};
        bool anyRead = false;
        if (*index >= 0 && *index < static_cast<int>(kNumLedColors))
            color = skin_.ledColors_[static_cast<std::size_t>(*index)].value_or(LedColor{});
        for (float* channel : channels) {
            if (!comma()) break;
            const std::optional<float> value = scanner_.real();
            if (!value) break;
            *channel = *value;
            anyRead = true;
        }
        if (anyRead && *index >= 0 && *index < static_cast<int>(kNumLedColors))
            skin_.ledColors_[static_cast<std::size_t>(*index)] = color;
    }

    // The rest of an element line after its TAG name: the quoted bitmap
    // name, then " , %d, %d, ..." with four numbers, or seven on a line with
    // an own name. The character after the TAG name is taken by
    // the quote test even when it is no quote, as it always was. Numbers that
    // do not read stay 0; the element is added all the same, when kept.
    void readElement(int tag, std::string ownName, bool keep) {
        SkinElement element;
        element.tag = tag;
        element.elementName = std::move(ownName);
        if (scanner_.get() == '"') scanner_.quoted(element.bitmapFile, kMaxBitmapFileLength);
        const int count = element.elementName.empty() ? kPlainLineNumbers : kOwnNamedLineNumbers;
        int numbers[kOwnNamedLineNumbers] = {};
        for (int i = 0; i < count; ++i) {
            if (!comma()) break;
            const std::optional<int> value = scanner_.integer();
            if (!value) break;
            numbers[i] = *value;
        }
        element.x = cut16(static_cast<long long>(numbers[0]) + skin_.offsetX_);
        element.y = cut16(static_cast<long long>(numbers[1]) + skin_.offsetY_);
        element.width = cut16(numbers[2]);
        element.height = cut16(numbers[3]);
        element.extra1 = numbers[4];
        element.extra2 = numbers[5];
        element.extra3 = numbers[6];
        if (!keep) return;
        const bool firstBackground = tag == tag::Background && !skin_.find(tag::Background);
        if (skin_.append(std::move(element)) && firstBackground) skin_.backgroundSize_ = {numbers[2], numbers[3]};
    }

    // Starts over from the named file: what was read so far is dropped even
    // when that file cannot be read, and the rest of this file follows on.
    void include() {
        std::string name;
        bool fits = false;
        if (scanner_.literal('"')) fits = scanner_.quoted(name, kMaxIncludePathLength);
        skin_.reset();
        if (!fits || name.empty() || files_.size() > static_cast<std::size_t>(kMaxIncludeDepth)) return;
        const std::optional<std::string> path = resolveInclude(files_.back(), name);
        if (!path) return;
        const File file = openRegularFile(*path);
        if (!file) return;
        for (const std::string& reading : files_)
            if (sameFile(reading, *path)) return;
        files_.push_back(*path);
        Reader(skin_, file.get(), files_).read();
        files_.pop_back();
    }

    SkinDefinition& skin_;
    FormatScanner scanner_;
    std::vector<std::string>& files_;
};

bool SkinDefinition::parse(const std::string& path) {
    const File file = openRegularFile(path);
    if (!file) return false;
    std::vector<std::string> files{path};
    Reader(*this, file.get(), files).read();
    return true;
}

}  // namespace tarvik::gui

// Reads a text file piece by piece the way C's scanf reads the formats the
// skin and preference files were designed around (" %s ", " , %d", "%f"),
// without its hazards: a word never overruns its room (the rest of it is
// consumed and dropped), numbers beyond int saturate instead of being
// undefined, and numbers read the same whatever locale the host has set.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

namespace tarvik::gui {

class FormatScanner {
public:
    // The file stays owned by the caller.
    explicit FormatScanner(std::FILE* file) : file_(file) {}

    // One character, EOF at the end.
    int get();
    // Puts back a character read before (EOF included); the last put back
    // comes first.
    void unget(int c);
    int peek();

    // A blank in a format: any run of white space.
    void skipSpace();
    // A ";" comment: everything up to and including the next line feed.
    void skipLine();
    // "%s": white space, then characters up to the next white space. A word
    // longer than room keeps its first room characters. Empty only at the end.
    std::string word(std::size_t room);
    // A plain character of a format: read when it comes next, else left
    // unread.
    bool literal(char c);
    // The text after an opening double quote: up to the closing quote, which
    // is read, or to the end of the file. Keeps the first room characters;
    // false when there were more.
    bool quoted(std::string& text, std::size_t room);

    // "%d": white space, an optional sign and decimal digits; nullopt, with
    // only the white space read, when no digit comes. Beyond the int range
    // the nearest int.
    std::optional<int> integer();
    // "%f": white space, then a decimal number with optional sign, point and
    // exponent; nullopt, with only the white space read, when no digit
    // comes. Beyond the float range the largest float of that sign.
    std::optional<float> real();

private:
    // Reads a run of decimal digits into text (at most room of them kept);
    // answers how many there were.
    std::size_t digits(std::string& text, std::size_t room);

    std::FILE* file_;
    // Enough to take back a sign, a point or an exponent's "e-" that turned
    // out not to start a number.
    std::array<int, 4> pending_{};
    std::size_t pendingCount_ = 0;
};

}  // namespace tarvik::gui

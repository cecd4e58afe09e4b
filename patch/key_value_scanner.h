// The tolerant reader behind "Config.ini" and the controller map files: both
// are "Key = value" lines that users edit by hand, so damage in one line must
// never take a neighbouring line with it, and no input (binary garbage, words
// of any length, a file cut anywhere) may read past what it holds.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "patch/text_file.h"

namespace tarvik {

// Longer keys, value words and texts are damage, not settings: they are read
// past without being kept, so memory stays bounded whatever the file holds.
inline constexpr std::size_t kMaxScannedWord = 4096;


class KeyValueScanner {
public:
    // The file stays owned by the caller.
    explicit KeyValueScanner(std::FILE* file) : file_(file) {}

    // Moves to the next "key =" and answers its key; false at the end of the
    // file. White space and ";" comments between entries are skipped. A word
    // with no "=" after it on its line is dropped on its own, so "Key=2" or a
    // missing value never consumes the next line's key. An overlong key
    // comes back empty, which matches no key while its value is still read.
    bool nextKey(std::string& key) {
        for (int c = get(); c != EOF; c = get()) {
            if (isSpace(c)) continue;
            if (c == ';') {
                skipLine();
                continue;
            }
            unget(c);
            const std::optional<std::string> word = readWord();
            skipBlanks();
            const int next = get();
            if (next == '=') {
                key = word.value_or(std::string());
                return true;
            }
            unget(next);
        }
        return false;
    }

    // The value word after "=", on the key's own line; nullopt when the line
    // ends first or the word is overlong.
    std::optional<std::string> valueWord() {
        skipBlanks();
        const int c = get();
        unget(c);
        if (c == EOF || isLineEnd(c)) return std::nullopt;
        return readWord();
    }

    // A text value: between double quotes, ending at the closing quote or,
    // when that is missing, at the end of the line; without an opening quote
    // the rest of the line with trailing blanks removed, as a hand-edited
    // path with blanks in it was meant. nullopt when longer than maxLength.
    std::optional<std::string> valueText(std::size_t maxLength) {
        skipBlanks();
        int c = get();
        const bool quoted = c == '"';
        if (quoted) c = get();
        std::string text;
        bool tooLong = false;
        for (; c != EOF && !isLineEnd(c) && !(quoted && c == '"'); c = get()) {
            if (text.size() < maxLength)
                text.push_back(static_cast<char>(c));
            else
                tooLong = true;
        }
        if (!quoted || c != '"') unget(c);
        if (tooLong) return std::nullopt;
        if (!quoted) text.erase(text.find_last_not_of(" \t") + 1);
        return text;
    }

private:
    static bool isLineEnd(int c) { return c == '\n' || c == '\r'; }
    static bool isSpace(int c) { return c == ' ' || c == '\t' || isLineEnd(c); }

    int get() {
        if (pending_ != kNothingPending) {
            const int c = pending_;
            pending_ = kNothingPending;
            return c;
        }
        return std::getc(file_);
    }
    void unget(int c) { pending_ = c; }

    void skipBlanks() {
        int c = get();
        while (c == ' ' || c == '\t') c = get();
        unget(c);
    }

    void skipLine() {
        int c = get();
        while (c != EOF && c != '\n') c = get();
    }

    std::optional<std::string> readWord() {
        std::string word;
        bool tooLong = false;
        int c = get();
        for (; c != EOF && !isSpace(c); c = get()) {
            if (word.size() < kMaxScannedWord)
                word.push_back(static_cast<char>(c));
            else
                tooLong = true;
        }
        unget(c);
        if (tooLong) return std::nullopt;
        return word;
    }

    // EOF is a valid pending value: the end stays the end when read again.
    static constexpr int kNothingPending = INT_MIN;

    std::FILE* file_;
    int pending_ = kNothingPending;
};

// A word read as C's "%i" reads it (scanInteger's rule for huge numbers);
// 0 when no digit comes.
inline int parseInteger(std::string_view word) {
    const std::optional<ScannedInteger> number = scanInteger(word, 0);
    return number ? number->value : 0;
}

}  // namespace tarvik

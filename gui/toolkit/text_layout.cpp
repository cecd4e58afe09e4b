#include "gui/toolkit/text_layout.h"

#include <algorithm>

namespace tarvik::gui {

namespace {

// The longest start of `word` (whole UTF-8 characters, at least one) that
// fits `width`.
std::size_t fittingPrefix(DrawContext& context, std::string_view word, const Font& font, double width) {
    std::size_t fits = 0;
    for (std::size_t end = 1; end <= word.size(); ++end) {
        if (end < word.size() && isUtf8Continuation(word[end])) continue;
        if (context.textWidth(word.substr(0, end), font) > width) break;
        fits = end;
    }
    if (fits > 0) return fits;
    std::size_t one = 1;
    while (one < word.size() && isUtf8Continuation(word[one])) ++one;
    return one;
}

void wrapParagraph(DrawContext& context, std::string_view paragraph, const Font& font, double width,
                   std::vector<std::string>& lines) {
    std::string line;
    std::size_t at = 0;
    while (at < paragraph.size()) {
        const std::size_t blank = std::min(paragraph.find(' ', at), paragraph.size());
        std::string_view word = paragraph.substr(at, blank - at);
        at = blank + 1;
        if (word.empty()) continue;
        const std::string joined = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (context.textWidth(joined, font) <= width) {
            line = joined;
            continue;
        }
        if (!line.empty()) lines.push_back(std::move(line));
        line.clear();
        while (context.textWidth(word, font) > width) {
            const std::size_t cut = fittingPrefix(context, word, font, width);
            lines.emplace_back(word.substr(0, cut));
            word.remove_prefix(cut);
        }
        line = std::string(word);
    }
    lines.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> wrapText(DrawContext& context, std::string_view text, const Font& font, double width) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        wrapParagraph(context, text.substr(at, end - at), font, width, lines);
        at = end + 1;
    }
    return lines;
}

std::string headThatFits(DrawContext& context, std::string_view text, const Font& font, double width) {
    if (context.textWidth(text, font) <= width) return std::string(text);
    for (std::size_t end = text.size(); end > 0; --end) {
        if (end < text.size() && isUtf8Continuation(text[end])) continue;
        std::string shown = std::string(text.substr(0, end)) + kEllipsis;
        if (context.textWidth(shown, font) <= width) return shown;
    }
    return kEllipsis;
}

std::string tailThatFits(DrawContext& context, std::string_view text, const Font& font, double width) {
    if (context.textWidth(text, font) <= width) return std::string(text);
    for (std::size_t start = 1; start < text.size(); ++start) {
        if (isUtf8Continuation(text[start])) continue;
        std::string shown = kEllipsis + std::string(text.substr(start));
        if (context.textWidth(shown, font) <= width) return shown;
    }
    return kEllipsis;
}

}  // namespace tarvik::gui

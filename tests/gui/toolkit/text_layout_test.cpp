// Fitting texts into room: wrapping, and ellipses at either end.
#include "gui/toolkit/text_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

struct WrapCase {
    const char* name;
    const char* text;
    double width;
    std::vector<std::string> lines;
    friend void PrintTo(const WrapCase& row, std::ostream* out) { *out << row.name; }
};

class WrapText : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapText, BreaksAtBlanksWithinTheWidth) {
    const WrapCase& c = GetParam();
    test::Canvas canvas{10, 10};
    const Font font{11.0, false};
    const std::vector<std::string> lines = wrapText(canvas.context(), c.text, font, c.width);
    EXPECT_EQ(lines, c.lines);
    for (const std::string& line : lines) EXPECT_LE(canvas.context().textWidth(line, font), c.width) << line;
}

// Widths in multiples of a word's width would tie the rows to the font;
// these rows are far from the edges: "aaaa" is about 27 px at 11 px.
INSTANTIATE_TEST_SUITE_P(
    Cases, WrapText,
    ::testing::Values(WrapCase{"FitsOnOneLine", "aaaa bbbb", 400.0, {"aaaa bbbb"}},
                      WrapCase{"OneWordPerLine", "aaaa bbbb cccc", 40.0, {"aaaa", "bbbb", "cccc"}},
                      WrapCase{"NewlineBreaks", "aaaa\nbbbb", 400.0, {"aaaa", "bbbb"}},
                      WrapCase{"BlankRunsCollapse", "aaaa   bbbb ", 400.0, {"aaaa bbbb"}}),
    test::rowName<WrapCase>);

TEST(WrapLongWord, IsCutIntoPiecesThatFit) {
    test::Canvas canvas{10, 10};
    const Font font{11.0, false};
    const std::string word = "Reinstall\xC3\xA9\xC3\xA9\xC3\xA9" "everythingnowandthenagain";
    const std::vector<std::string> lines = wrapText(canvas.context(), word, font, 40.0);
    ASSERT_GT(lines.size(), 1u);
    std::string joined;
    for (const std::string& line : lines) {
        EXPECT_LE(canvas.context().textWidth(line, font), 40.0) << line;
        EXPECT_NE(static_cast<unsigned char>(line.front()) & 0xC0u, 0x80u) << "a line starts inside a character";
        joined += line;
    }
    EXPECT_EQ(joined, word);
}

enum class Keep { Head, Tail };

struct FitCase {
    const char* name;
    Keep keep;
    const char* text;
    double width;
    const char* shown;  // null: a shortened text that fits, starting or ending as `text` does
    friend void PrintTo(const FitCase& row, std::ostream* out) { *out << row.name; }
};

class FitWithEllipsis : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitWithEllipsis, KeepsWhatFitsAndMarksWhatWasCut) {
    const FitCase& c = GetParam();
    test::Canvas canvas{10, 10};
    const Font font{11.0, false};
    const std::string text = c.text;
    const std::string shown = c.keep == Keep::Head ? headThatFits(canvas.context(), text, font, c.width)
                                                   : tailThatFits(canvas.context(), text, font, c.width);
    if (c.shown) {
        EXPECT_EQ(shown, c.shown);
        return;
    }
    EXPECT_LE(canvas.context().textWidth(shown, font), c.width);
    const std::string ellipsis = kEllipsis;
    ASSERT_GT(shown.size(), ellipsis.size());
    if (c.keep == Keep::Head) {
        EXPECT_EQ(shown.substr(shown.size() - ellipsis.size()), ellipsis);
        const std::string kept = shown.substr(0, shown.size() - ellipsis.size());
        EXPECT_EQ(text.rfind(kept, 0), 0u) << shown;
        EXPECT_FALSE(isUtf8Continuation(text[kept.size()])) << "cut inside a character";
    } else {
        EXPECT_EQ(shown.substr(0, ellipsis.size()), ellipsis);
        EXPECT_TRUE(text.ends_with(shown.substr(ellipsis.size()))) << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitWithEllipsis,
    ::testing::Values(FitCase{"HeadFitsWhole", Keep::Head, "Acid Line 1", 400.0, "Acid Line 1"},
                      FitCase{"HeadCutAtTheEnd", Keep::Head, "A very long patch name from a big bank", 80.0, nullptr},
                      FitCase{"HeadNeverSplitsACharacter", Keep::Head, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9",
                              30.0, nullptr},
                      FitCase{"HeadWithNoRoomIsAnEllipsis", Keep::Head, "Acid", 1.0, "\xE2\x80\xA6"},
                      FitCase{"TailFitsWhole", Keep::Tail, "/patches/bass", 400.0, "/patches/bass"},
                      FitCase{"TailCutAtTheStart", Keep::Tail, "/home/user/Documents/Sonvarde/Tarvik/Patches", 80.0,
                              nullptr}),
    test::rowName<FitCase>);

}  // namespace
}  // namespace tarvik::gui

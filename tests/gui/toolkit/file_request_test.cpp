#include "gui/toolkit/file_request.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

struct ExtensionCase {
    const char* name;
    const char* path;
    const char* extension;
    const char* expected;
    friend void PrintTo(const ExtensionCase& row, std::ostream* out) { *out << row.name; }
};

class DefaultExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(DefaultExtension, IsGivenOnlyToANameWithoutOne) {
    const ExtensionCase& c = GetParam();
    EXPECT_EQ(withDefaultExtension(c.path, c.extension), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultExtension,
    ::testing::Values(ExtensionCase{"PlainName", "/home/u/Tarvik/acid", "tvkp", "/home/u/Tarvik/acid.tvkp"},
                      ExtensionCase{"AlreadyHasIt", "/home/u/Tarvik/acid.tvkp", "tvkp", "/home/u/Tarvik/acid.tvkp"},
                      ExtensionCase{"OtherExtensionStays", "/home/u/acid.txt", "tvkp", "/home/u/acid.txt"},
                      ExtensionCase{"DotInFolderOnly", "/home/u/my.patches/acid", "tvkp",
                                    "/home/u/my.patches/acid.tvkp"},
                      ExtensionCase{"HiddenNameCountsAsBare", "/home/u/.acid", "pat", "/home/u/.acid.pat"},
                      ExtensionCase{"TrailingDotTakesItAfterTheDot", "/home/u/acid.", "pat", "/home/u/acid.pat"},
                      ExtensionCase{"NameWithBlanks", "/home/u/My Acid Line", "tvkp", "/home/u/My Acid Line.tvkp"},
                      ExtensionCase{"NoExtensionAsked", "/home/u/acid", "", "/home/u/acid"},
                      ExtensionCase{"FolderOnly", "/home/u/", "tvkp", "/home/u/"}),
    rowName<ExtensionCase>);

struct FilterCase {
    const char* name;
    const char* file;
    const char* patterns;
    bool matches;
    friend void PrintTo(const FilterCase& row, std::ostream* out) { *out << row.name; }
};

class FilterMatch : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterMatch, WildcardsWithoutCase) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(matchesFilter(c.file, c.patterns), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterMatch,
    ::testing::Values(FilterCase{"SameExtension", "acid.tvkp", "*.tvkp", true},
                      FilterCase{"CapitalExtension", "ACID.TVKP", "*.tvkp", true},
                      FilterCase{"OtherExtension", "acid.pat", "*.tvkp", false},
                      FilterCase{"ExtensionOnlyInTheMiddle", "acid.tvkp.bak", "*.tvkp", false},
                      FilterCase{"LongerExtension", "acid.tvkpx", "*.tvkp", false},
                      FilterCase{"SecondPatternOfAList", "song.rbs", "*.pat; *.rbs", true},
                      FilterCase{"NoPatternOfAList", "song.wav", "*.pat;*.rbs", false},
                      FilterCase{"QuestionMarkIsOneCharacter", "a1.map", "a?.map", true},
                      FilterCase{"QuestionMarkNeedsOne", "a.map", "a?.map", false},
                      FilterCase{"StarMatchesEverything", "whatever", "*", true},
                      FilterCase{"EmptyListMatchesEverything", "whatever", "", true},
                      FilterCase{"StarNeedsTheRestAfterIt", "skin.skn.txt", "*.skn", false},
                      FilterCase{"StarAcrossRepeats", "a.b.skn", "*.skn", true}),
    rowName<FilterCase>);

}  // namespace
}  // namespace tarvik::gui

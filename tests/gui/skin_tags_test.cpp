#include "gui/skin_tags.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gui/ascii_case.h"

namespace tarvik::gui {
namespace {

TEST(SkinTags, HoldsTwoHundredSeventyOneDifferentUpperCaseNames) {
    std::set<std::string_view> names;
    std::set<int> tags;
    for (const SkinTag& row : skinTags()) {
        EXPECT_TRUE(names.insert(row.name()).second) << row.name();
        EXPECT_TRUE(tags.insert(row.tag).second) << row.name();
        EXPECT_FALSE(row.name().empty());
        for (char c : row.name()) EXPECT_EQ(c, toUpperAscii(c)) << row.name();
    }
    EXPECT_EQ(names.size(), 271u);
}

TEST(SkinTags, EveryGroupHasItsNumbers) {
    struct Row {
        const char* name;
        int tag;
    };
    const Row rows[] = {
        // panel
        {"SPLASH", 100}, {"BACKGROUND", 0}, {"MIDILED", 101}, {"NOTESWITCH", 110}, {"SYNCSWITCH", 102},
        {"OPTIONMIDIOUT", 117}, {"PATTERNWRITEPROTECT", 119}, {"FILTERDROPDOWN", 120}, {"PATTERNDROPDOWN", 600},
        {"OPTIONDROPDOWN", 601},
        // bass section
        {"VCO2MODSWITCH", 200}, {"CUTOFFKNOB", 202}, {"VOLUMEKNOB", 209}, {"DISTORTIONSWITCH", 210},
        // sequencer
        {"B_PATTERNCLEAR", 313}, {"B_AUTOADV", 315}, {"B_TIMEMODE", 317}, {"B_NEXT", 323}, {"RUNSTOPLED", 413},
        {"SLIDELED", 419}, {"STEPSDIGITS", 500}, {"PRESCALESWITCH", 503}, {"PLAYINGSTEPDISPLAY", 504},
        {"PITCHKEYBOARD", 555},
        // cables and displays
        {"SMALLARROW", 606}, {"CORDPLUG", 609},
        // buttons
        {"TRIPLETBUTTON", 725}, {"FUNCTIONBUTTON1", 800}, {"FUNCTIONLED2", 803}, {"PATCHBUTTON", 810},
        {"PREVPATCHBUTTON", 812},
        // modulation section
        {"ATTENUATOR1SWITCH", 910}, {"ATTENUATOR2SWITCH", 911},
        // oscillators
        {"VCO1WAVE", 1000}, {"VCO1LED4", 1007}, {"VCO2WAVE", 1008}, {"VCO2LED4", 1015},
        // glide and gate
        {"GLIDEKNOB", 1100}, {"TRIGGERMULTI", 1105},
        // mixer
        {"VCO1LEVEL", 1200}, {"AUXLEVEL", 1203},
        // modulation generator
        {"MGWAVE", 1300}, {"MGPW1DEST", 1310}, {"MGVCO1LED", 1311}, {"MGBPMSYNC", 1317},
        // noise, sync, accent
        {"NGCOLOR", 1400}, {"SYNC12", 1500}, {"SYNC21LED", 1503}, {"ACCDECAY", 1600}, {"ACCEXTLED", 1604},
        // envelopes
        {"VCAATTACK", 1700}, {"VCATRIGGERLED", 1704}, {"VCFATTACK", 1800}, {"VCFTRIGGERLED", 1804},
        // delay
        {"DELAYAMOUNT", 1900}, {"DELAYLED", 1905},
        // phaser
        {"PHASERRATE", 2000}, {"PHASERACTIVE", 2003},
    };
    for (const Row& row : rows) EXPECT_EQ(findTag(row.name), row.tag) << row.name;
}

TEST(SkinTags, NumberedRunsCoverEveryMemberAndNoMore) {
    struct Run {
        const char* prefix;
        int first;
        int last;
        int firstTag;
        int (*tagOf)(int);
    };
    const Run runs[] = {
        {"NOTEBUTTON", 1, 13, 300, tag::noteButton}, {"NOTELED", 1, 36, 420, tag::noteLed},
        {"SOCKET", 1, 43, 610, tag::socket},         {"ILLUBUTTON", 1, 13, 700, tag::illuButton},
        {"ILLUBUTTON", 14, 24, 714, tag::illuButton}, {"VCKNOB", 1, 9, 900, tag::vcKnob},
    };
    for (const Run& run : runs) {
        for (int n = run.first; n <= run.last; ++n) {
            const std::string name = run.prefix + std::to_string(n);
            EXPECT_EQ(findTag(name), run.firstTag + n - run.first) << name;
            EXPECT_EQ(run.tagOf(n), run.firstTag + n - run.first) << name;
        }
    }
    for (const char* beyond : {"NOTEBUTTON0", "NOTEBUTTON14", "NOTELED37", "SOCKET44", "ILLUBUTTON25", "VCKNOB10"})
        EXPECT_EQ(findTag(beyond), -1) << beyond;
    for (const SkinTag& row : skinTags()) EXPECT_NE(row.tag, 713) << "713 is never given out, yet " << row.name();
}

TEST(SkinTags, LookupIgnoresLetterCaseOnly) {
    const std::pair<std::string, int> cases[] = {
        {"CUTOFFKNOB", 202},
        {"cutoffknob", 202},
        {"CutOffKnob", 202},
        {"b_runstop", 314},
        {"Socket43", 652},
        {"CUTOFFKNOB ", -1},
        {"CUTOFF", -1},
        {"CUTOFFKNOBS", -1},
        {"", -1},
        {std::string(1000, 'X'), -1},
        {std::string("CUTOFF\0KNOB", 11), -1},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(findTag(name), expected) << name.substr(0, 40);
}

}  // namespace
}  // namespace tarvik::gui

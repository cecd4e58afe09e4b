#include "gui/skin_definition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gui/skin_tags.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik::gui {

// Found by argument lookup, so it has to live beside SkinRect.
void PrintTo(const SkinRect& r, std::ostream* out) {
    *out << '(' << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ')';
}

namespace {

namespace fs = std::filesystem;

class SkinFile : public ::testing::Test {
protected:
    // Writes a file into the test's folder and answers its path.
    std::string write(const std::string& name, const std::string& text) const {
        const fs::path path = folder_.path() / name;
        fs::create_directories(path.parent_path());
        test::writeWholeFile(path, text);
        return path.string();
    }

    // A fresh definition after reading text as "skin.skn".
    SkinDefinition read(const std::string& text) const {
        SkinDefinition skin;
        EXPECT_TRUE(skin.parse(write("skin.skn", text)));
        return skin;
    }

    test::ScopedDataFolder folder_;
};

std::vector<int> tagsOf(const SkinDefinition& skin) {
    std::vector<int> tags;
    for (const SkinElement& element : skin.elements()) tags.push_back(element.tag);
    return tags;
}

// The settings a skin carries besides its elements, to compare as one.
struct Settings {
    std::string name = "Default";
    SkinColor transparentColor{255, 255, 0};
    SkinColor cableTint{0, 0, 0};
    int offsetX = 0;
    int offsetY = 0;
    int cableType = 0;
    int blendMode = 0;
    int version = 1;

    bool operator==(const Settings&) const = default;
};

Settings settingsOf(const SkinDefinition& skin) {
    return Settings{skin.name(),    skin.transparentColor(), skin.cableTint(), skin.offsetX(),
                    skin.offsetY(), skin.cableType(),        skin.blendMode(), skin.version()};
}

void PrintTo(const Settings& s, std::ostream* out) {
    *out << '"' << s.name << "\" transparent " << +s.transparentColor.r << ',' << +s.transparentColor.g << ','
         << +s.transparentColor.b << " tint " << +s.cableTint.r << ',' << +s.cableTint.g << ',' << +s.cableTint.b
         << " offset " << s.offsetX << ',' << s.offsetY << " cable " << s.cableType << " blend " << s.blendMode
         << " version " << s.version;
}

TEST(SkinDefinition, StartsAsTheDefaultSkinWithNothingInIt) {
    const SkinDefinition skin;
    EXPECT_EQ(settingsOf(skin), Settings{});
    EXPECT_TRUE(skin.elements().empty());
    EXPECT_TRUE(skin.bitmapFiles().empty());
    EXPECT_EQ(skin.getRect(tag::Background), SkinRect{});
    EXPECT_EQ(skin.bitmapFile(tag::Background), "");
    EXPECT_EQ(skin.bitmapIndex(tag::Background), -1);
    EXPECT_EQ(skin.find(tag::Background), nullptr);
    EXPECT_EQ(skin.ledColor(0), std::nullopt);
}

TEST_F(SkinFile, NothingToReadLeavesTheDefaultSkin) {
    const char* files[] = {"", "; only a comment", "; one\r\n;two\n\n\t  ; three", " \t\r\n\n"};
    for (const char* file : files) {
        const SkinDefinition skin = read(file);
        EXPECT_EQ(skin.name(), "Default") << file;
        EXPECT_TRUE(skin.elements().empty()) << file;
    }
}

TEST_F(SkinFile, ReadsAnElementLine) {
    const SkinDefinition skin = read("; panel\nCUTOFFKNOB \"knobs/cutoff.png\", 10, 20, 30, 40\n");
    ASSERT_EQ(skin.elements().size(), 1u);
    const SkinElement& element = skin.elements()[0];
    EXPECT_EQ(element.tag, tag::CutoffKnob);
    EXPECT_EQ(element.elementName, "");
    EXPECT_EQ(element.bitmapFile, "knobs/cutoff.png");
    EXPECT_EQ(skin.getRect(tag::CutoffKnob), (SkinRect{10, 20, 40, 60}));
    EXPECT_EQ(skin.bitmapFile(tag::CutoffKnob), "knobs/cutoff.png");
    EXPECT_EQ(skin.getRect(tag::ResonanceKnob), SkinRect{});
}

TEST_F(SkinFile, ElementLinesInTheirManyShapes) {
    struct Case {
        const char* name;
        std::string text;
        SkinRect rect;
        const char* bitmap;
    };
    const Case cases[] = {
        {"lower case TAG", "cutoffknob \"k.png\", 1, 2, 3, 4", {1, 2, 4, 6}, "k.png"},
        {"mixed case TAG", "CutOffKnob \"k.png\", 1, 2, 3, 4", {1, 2, 4, 6}, "k.png"},
        {"negative width", "CUTOFFKNOB \"k.png\", 100, 5, -20, 10", {80, 5, 100, 15}, "k.png"},
        {"negative height", "CUTOFFKNOB \"k.png\", 5, 100, 10, -30", {5, 70, 15, 100}, "k.png"},
        {"no bitmap", "CUTOFFKNOB \"\", 1, 2, 3, 4", {1, 2, 4, 6}, ""},
        {"bitmap name with blanks", "CUTOFFKNOB \"my knob.png\",1,2,3,4", {1, 2, 4, 6}, "my knob.png"},
        {"spread over lines", "CUTOFFKNOB\n\"k.png\"\n,\n1,\n2,\t3,4", {1, 2, 4, 6}, "k.png"},
        {"blanks before commas", "CUTOFFKNOB \"k.png\" , 1 , 2 , 3 , 4", {1, 2, 4, 6}, "k.png"},
        {"CR LF", "CUTOFFKNOB \"k.png\", 1, 2, 3, 4\r\n", {1, 2, 4, 6}, "k.png"},
        {"two on one line", "CUTOFFKNOB \"k.png\", 1, 2, 3, 4 VOLUMEKNOB \"v.png\", 9, 9, 9, 9", {1, 2, 4, 6}, "k.png"},
        {"cut to 16 bits", "CUTOFFKNOB \"k.png\", 65546, -65536, 70000, 1", {10, 0, 4474, 1}, "k.png"},
        {"beyond int, then cut", "CUTOFFKNOB \"k.png\", 99999999999, 0, 1, 1", {-1, 0, 0, 1}, "k.png"},
        {"missing numbers stay 0", "CUTOFFKNOB \"k.png\", 7, 8", {7, 8, 7, 8}, "k.png"},
        {"damaged number stops the line", "CUTOFFKNOB \"k.png\", 7, x, 3, 4", {7, 0, 7, 0}, "k.png"},
        {"unquoted bitmap reads no numbers", "CUTOFFKNOB k.png, 1, 2, 3, 4", {0, 0, 0, 0}, ""},
        {"bitmap without closing quote", "CUTOFFKNOB \"k.png, 1, 2, 3, 4", {0, 0, 0, 0}, "k.png, 1, 2, 3, 4"},
    };
    for (const Case& c : cases) {
        const SkinDefinition skin = read(c.text);
        ASSERT_NE(skin.find(tag::CutoffKnob), nullptr) << c.name;
        EXPECT_EQ(skin.getRect(tag::CutoffKnob), c.rect) << c.name;
        EXPECT_EQ(skin.bitmapFile(tag::CutoffKnob), c.bitmap) << c.name;
    }
}

TEST_F(SkinFile, OnlyABackgroundTheScreenCanShowFits) {
    struct Case {
        const char* name;
        std::string text;
        bool fits;
    };
    const Case cases[] = {
        {"the default skin's size", "BACKGROUND \"b.png\", 0, 0, 1280, 800", true},
        {"the largest panel", "BACKGROUND \"b.png\", 0, 0, 4096, 4096", true},
        {"one pixel wider", "BACKGROUND \"b.png\", 0, 0, 4097, 800", false},
        {"one pixel taller", "BACKGROUND \"b.png\", 0, 0, 1280, 4097", false},
        {"right edge beyond the limit", "BACKGROUND \"b.png\", 100, 0, 4000, 800", false},
        {"32767 pixels square", "BACKGROUND \"b.png\", 0, 0, 32767, 32767", false},
        {"32768, negative once cut", "BACKGROUND \"b.png\", 0, 0, 32768, 800", false},
        {"beyond 16 bits, small once cut", "BACKGROUND \"b.png\", 0, 0, 65636, 800", false},
        {"negative width", "BACKGROUND \"b.png\", 1280, 0, -1280, 800", false},
        {"no height", "BACKGROUND \"b.png\", 0, 0, 1280, 0", false},
        {"no size", "BACKGROUND \"b.png\"", false},
        {"no BACKGROUND line", "CUTOFFKNOB \"k.png\", 1, 2, 3, 4", false},
        {"swallowed by an unterminated NAME quote",
         "NAME \"Dark\nBACKGROUND \"b.png\", 0, 0, 1280, 800\nCUTOFFKNOB \"k.png\", 1, 2, 3, 4", false},
        {"an INCLUDE after it starts over", "BACKGROUND \"b.png\", 0, 0, 1280, 800\nINCLUDE \"none.skn\"", false},
        {"the first of two lines counts", "BACKGROUND \"b.png\", 0, 0, 800, 600\nBACKGROUND \"b.png\", 0, 0, 32767, 1",
         true},
        {"the first of two lines counts, refused",
         "BACKGROUND \"b.png\", 0, 0, 32767, 1\nBACKGROUND \"b.png\", 0, 0, 800, 600", false},
    };
    for (const Case& c : cases) EXPECT_EQ(read(c.text).backgroundFits(), c.fits) << c.name;
}

TEST_F(SkinFile, TheFirstLineOfATagIsTheOneUsed) {
    const SkinDefinition skin = read(
        "CUTOFFKNOB \"first.png\", 1, 2, 3, 4\n"
        "cutoffknob \"second.png\", 5, 6, 7, 8\n");
    EXPECT_EQ(skin.getRect(tag::CutoffKnob), (SkinRect{1, 2, 4, 6}));
    EXPECT_EQ(skin.bitmapFile(tag::CutoffKnob), "first.png");
}

TEST_F(SkinFile, ReadsEachSetting) {
    struct Case {
        const char* text;
        Settings expected;
    };
    const Case cases[] = {
        {"NAME \"Dark Steel\"", {.name = "Dark Steel"}},
        {"name \"x\"", {.name = "x"}},
        {"NAME\n  \"on the next line\"", {.name = "on the next line"}},
        {"NAME Steel", {}},
        {"NAME \"no end\nVERSION 2", {.name = "no end\nVERSION 2"}},
        {"CROSSFADE 3", {.blendMode = 3}},
        {"blendmode 2", {.blendMode = 2}},
        {"TRANSPARENTCOLOR 1, 2, 3", {.transparentColor = {1, 2, 3}}},
        {"TransparentColor 256, -1, 511", {.transparentColor = {0, 255, 255}}},
        {"TRANSPARENTCOLOR 7, x, 9", {.transparentColor = {7, 255, 0}}},
        {"CABLETINT 10,20,30", {.cableTint = {10, 20, 30}}},
        {"CABLETYPE 2", {.cableType = 2}},
        {"CABLETYPE two", {}},
        {"OFFSET -5, 7", {.offsetX = -5, .offsetY = 7}},
        {"Offset 5", {.offsetX = 5}},
        {"VERSION 2", {.version = 2}},
        {"UNKNOWNWORD 12 VERSION 3", {.version = 3}},
        {"UNKNOWNWORD NAME \"after a stray word\"", {.name = "after a stray word"}},
    };
    for (const Case& c : cases) EXPECT_EQ(settingsOf(read(c.text)), c.expected) << c.text;
}

TEST_F(SkinFile, OffsetMovesOnlyTheLinesAfterIt) {
    const SkinDefinition skin = read(
        "TUNINGKNOB \"k.png\", 5, 5, 10, 10\n"
        "OFFSET 10, 20\n"
        "CUTOFFKNOB \"k.png\", 5, 5, 10, 10\n");
    EXPECT_EQ(skin.getRect(tag::TuningKnob), (SkinRect{5, 5, 15, 15}));
    EXPECT_EQ(skin.getRect(tag::CutoffKnob), (SkinRect{15, 25, 25, 35}));
}

TEST_F(SkinFile, LedColorsOnlyForIndexesOfTheTable) {
    const SkinDefinition skin = read(
        "LEDCOLOR 0, 1.0, 0.5, 0.25\n"
        "LEDCOLOR 255, 0, 1, 0\n"
        "LEDCOLOR 300, 1.0, 0.0, 0.0\n"
        "LEDCOLOR -1, 1.0, 0.0, 0.0\n"
        "LEDCOLOR 7\n"
        "LEDCOLOR 8, 0.75\n");
    EXPECT_EQ(skin.ledColor(0), (LedColor{1.0f, 0.5f, 0.25f}));
    EXPECT_EQ(skin.ledColor(255), (LedColor{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(skin.ledColor(7), std::nullopt) << "no colour given";
    EXPECT_EQ(skin.ledColor(8), (LedColor{0.75f, 0.0f, 0.0f})) << "what was read before the line ended";
    for (int index = 1; index < 255; ++index) {
        if (index == 8) continue;
        EXPECT_EQ(skin.ledColor(index), std::nullopt) << index;
    }
    EXPECT_EQ(skin.ledColor(300), std::nullopt);
}

TEST_F(SkinFile, LinesWithAnOwnNameNeedVersionTwo) {
    const std::string line = "myCutoff CUTOFFKNOB \"k.png\", 1, 2, 3, 4, 5, 6, 7\n";

    EXPECT_EQ(tagsOf(read(line + "VOLUMEKNOB \"v.png\", 1, 2, 3, 4\n")), std::vector<int>{tag::VolumeKnob})
        << "version 1 passes over the whole line";

    const SkinDefinition skin = read("VERSION 2\n" + line);
    ASSERT_EQ(skin.elements().size(), 1u);
    EXPECT_EQ(skin.elements()[0], (SkinElement{.tag = tag::CutoffKnob,
                                               .elementName = "myCutoff",
                                               .bitmapFile = "k.png",
                                               .bitmapIndex = 0,
                                               .x = 1,
                                               .y = 2,
                                               .width = 3,
                                               .height = 4,
                                               .extra1 = 5,
                                               .extra2 = 6,
                                               .extra3 = 7}));
}

TEST_F(SkinFile, AnOwnNameBeforeAWordThatIsNoTagAddsNothing) {
    const SkinDefinition skin = read(
        "VERSION 2\n"
        "myKnob NOSUCHTAG \"k.png\", 1, 2, 3, 4, 5, 6, 7\n"
        "VOLUMEKNOB \"v.png\", 1, 2, 3, 4\n");
    EXPECT_EQ(tagsOf(skin), std::vector<int>{tag::VolumeKnob});
}

TEST_F(SkinFile, ListsEachBitmapOnceWhateverItsCase) {
    const SkinDefinition skin = read(
        "CUTOFFKNOB \"Knob.PNG\", 0, 0, 1, 1\n"
        "RESONANCEKNOB \"knob.png\", 0, 0, 1, 1\n"
        "BACKGROUND \"panel.png\", 0, 0, 800, 600\n"
        "MIDILED \"\", 0, 0, 1, 1\n");
    EXPECT_EQ(std::vector<std::string>(skin.bitmapFiles().begin(), skin.bitmapFiles().end()),
              (std::vector<std::string>{"Knob.PNG", "panel.png"}));
    EXPECT_EQ(skin.bitmapIndex(tag::CutoffKnob), 0);
    EXPECT_EQ(skin.bitmapIndex(tag::ResonanceKnob), 0);
    EXPECT_EQ(skin.bitmapIndex(tag::Background), 1);
    EXPECT_EQ(skin.bitmapIndex(tag::MidiLed), -1);
    EXPECT_EQ(skin.bitmapFile(tag::ResonanceKnob), "knob.png") << "each element keeps its own spelling";
}

TEST_F(SkinFile, IncludeStartsOverFromTheIncludedFile) {
    write("skins/base.skn",
          "NAME \"Base\"\n"
          "OFFSET 100, 100\n"
          "RESONANCEKNOB \"r.png\", 1, 1, 1, 1\n");
    // Taken from the including file's folder, not from the working directory.
    const std::string main = write("skins/main.skn",
                                   "NAME \"Main\"\n"
                                   "CROSSFADE 2\n"
                                   "OFFSET 5, 5\n"
                                   "CUTOFFKNOB \"c.png\", 0, 0, 1, 1\n"
                                   "INCLUDE \"base.skn\"\n"
                                   "VOLUMEKNOB \"v.png\", 0, 0, 1, 1\n");
    SkinDefinition skin;
    ASSERT_TRUE(skin.parse(main));
    EXPECT_EQ(skin.name(), "Base");
    EXPECT_EQ(skin.blendMode(), 0);
    EXPECT_EQ(tagsOf(skin), (std::vector<int>{tag::ResonanceKnob, tag::VolumeKnob}));
    EXPECT_EQ(skin.getRect(tag::ResonanceKnob), (SkinRect{101, 101, 102, 102}));
    EXPECT_EQ(skin.getRect(tag::VolumeKnob), (SkinRect{100, 100, 101, 101})) << "the included offset goes on";
    EXPECT_EQ(skin.bitmapIndex(tag::VolumeKnob), 1) << "the dropped elements' bitmaps are gone too";
}

TEST_F(SkinFile, IncludeTakesAnAbsoluteNameAsItIs) {
    const std::string base = write("elsewhere/base.skn", "RESONANCEKNOB \"r.png\", 1, 1, 1, 1\n");
    EXPECT_EQ(tagsOf(read("INCLUDE \"" + base + "\"")), std::vector<int>{tag::ResonanceKnob});
}

TEST_F(SkinFile, AnIncludeWrittenOnWindowsIsFound) {
    write("Skins/Parts/Base.skn", "RESONANCEKNOB \"r.png\", 1, 1, 1, 1\n");
    SkinDefinition skin;
    ASSERT_TRUE(skin.parse(write("Skins/main.skn", "INCLUDE \"PARTS\\base.SKN\"\n")));
    EXPECT_EQ(tagsOf(skin), std::vector<int>{tag::ResonanceKnob});
}

TEST_F(SkinFile, AnIncludeThatClimbsOutOfItsFolderIsNotFollowed) {
    write("outside.skn", "RESONANCEKNOB \"r.png\", 1, 1, 1, 1\n");
    SkinDefinition skin;
    ASSERT_TRUE(skin.parse(write("Skins/main.skn", "INCLUDE \"../outside.skn\"\nVOLUMEKNOB \"v.png\", 0, 0, 1, 1\n")));
    EXPECT_EQ(tagsOf(skin), std::vector<int>{tag::VolumeKnob});
}

TEST_F(SkinFile, AnIncludeThatCannotBeReadStillStartsOver) {
    const char* includes[] = {"INCLUDE \"missing.skn\"", "INCLUDE \"skins\"", "INCLUDE \"\"", "INCLUDE ;no name"};
    write("skins/x", "");
    for (const char* include : includes) {
        const SkinDefinition skin = read(std::string("NAME \"Main\"\nCUTOFFKNOB \"c.png\", 0, 0, 1, 1\n") + include +
                                         "\nVOLUMEKNOB \"v.png\", 0, 0, 1, 1\n");
        EXPECT_EQ(skin.name(), "Default") << include;
        EXPECT_EQ(tagsOf(skin), std::vector<int>{tag::VolumeKnob}) << include;
    }
}

TEST_F(SkinFile, IncludeCyclesEnd) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> otherFiles;
        std::string main;
        std::vector<int> tags;
    };
    const Case cases[] = {
        {"itself",
         {},
         "CUTOFFKNOB \"c.png\", 1, 1, 1, 1\nINCLUDE \"skin.skn\"\nVOLUMEKNOB \"v.png\", 2, 2, 2, 2\n",
         {tag::VolumeKnob}},
        {"itself, spelt another way",
         {},
         "CUTOFFKNOB \"c.png\", 1, 1, 1, 1\nINCLUDE \".\\SKIN.skn\"\nVOLUMEKNOB \"v.png\", 2, 2, 2, 2\n",
         {tag::VolumeKnob}},
        {"two files",
         {{"b.skn", "RESONANCEKNOB \"r.png\", 1, 1, 1, 1\nINCLUDE \"skin.skn\"\nTUNINGKNOB \"t.png\", 1, 1, 1, 1\n"}},
         "CUTOFFKNOB \"c.png\", 1, 1, 1, 1\nINCLUDE \"b.skn\"\nVOLUMEKNOB \"v.png\", 2, 2, 2, 2\n",
         {tag::TuningKnob, tag::VolumeKnob}},
    };
    for (const Case& c : cases) {
        for (const auto& [name, text] : c.otherFiles) write(name, text);
        EXPECT_EQ(tagsOf(read(c.main)), c.tags) << c.name;
    }
}

TEST_F(SkinFile, IncludesNestOnlySoDeep) {
    // Each file includes the next, then adds its own socket.
    constexpr int kFiles = SkinDefinition::kMaxIncludeDepth + 4;
    for (int i = 0; i < kFiles; ++i) {
        write("chain" + std::to_string(i) + ".skn", "INCLUDE \"chain" + std::to_string(i + 1) + ".skn\"\nSOCKET" +
                                                        std::to_string(i + 1) + " \"s.png\", 0, 0, 1, 1\n");
    }
    SkinDefinition skin;
    ASSERT_TRUE(skin.parse((folder_.path() / "chain0.skn").string()));
    std::vector<int> expected;
    for (int depth = SkinDefinition::kMaxIncludeDepth; depth >= 0; --depth) expected.push_back(tag::socket(depth + 1));
    EXPECT_EQ(tagsOf(skin), expected);
}

TEST_F(SkinFile, RefusesElementsBeyondItsRoom) {
    std::string text;
    for (int i = 0; i < 1100; ++i)
        text += "SOCKET" + std::to_string(i % 43 + 1) + " \"s" + std::to_string(i) + ".png\", " + std::to_string(i) +
                ", 0, 1, 1\n";
    text += "NAME \"after the elements\"\n";
    const SkinDefinition skin = read(text);
    ASSERT_EQ(skin.elements().size(), SkinDefinition::kMaxElements);
    EXPECT_EQ(skin.elements().back().x, 1023);
    EXPECT_EQ(skin.bitmapFiles().size(), SkinDefinition::kMaxElements);
    EXPECT_EQ(skin.name(), "after the elements") << "reading goes on past the refused lines";
}

TEST_F(SkinFile, CutsOverlongNamesToTheirRoom) {
    const std::string longName(300, 'n');
    const std::string longBitmap(300, 'b');
    const std::string longOwnName(300, 'o');
    const SkinDefinition skin = read(std::string(100000, 'w') + "\nNAME \"" + longName + "\"\n" +
                                     "VOLUMEKNOB \"v.png\", 1, 2, 3, 4\nVERSION 2\n" + longOwnName + " CUTOFFKNOB \"" +
                                     longBitmap + "\", 1, 2, 3, 4, 5, 6, 7\n");
    EXPECT_EQ(skin.name(), longName.substr(0, SkinDefinition::kMaxNameLength));
    ASSERT_EQ(tagsOf(skin), (std::vector<int>{tag::VolumeKnob, tag::CutoffKnob}));
    EXPECT_EQ(skin.elements()[1].bitmapFile, longBitmap.substr(0, SkinDefinition::kMaxBitmapFileLength));
    EXPECT_EQ(skin.elements()[1].elementName, longOwnName.substr(0, SkinDefinition::kMaxElementNameLength));
    EXPECT_EQ(skin.getRect(tag::CutoffKnob), (SkinRect{1, 2, 4, 6}));
}

TEST_F(SkinFile, AFileThatCannotBeReadChangesNothing) {
    SkinDefinition skin;
    ASSERT_TRUE(skin.parse(write("first.skn", "NAME \"First\"\nOFFSET 3, 4\nCUTOFFKNOB \"c.png\", 1, 2, 3, 4\n")));
    const SkinDefinition before = skin;
    fs::create_directories(folder_.path() / "folder.skn");
    for (const fs::path& path : {folder_.path() / "missing.skn", folder_.path() / "folder.skn"}) {
        EXPECT_FALSE(skin.parse(path.string())) << path;
        EXPECT_EQ(settingsOf(skin), settingsOf(before)) << path;
        EXPECT_TRUE(std::ranges::equal(skin.elements(), before.elements())) << path;
    }
}

TEST_F(SkinFile, ParseAddsToWhatIsThereAndResetStartsOver) {
    SkinDefinition skin;
    ASSERT_TRUE(skin.parse(write("a.skn", "NAME \"A\"\nCROSSFADE 1\nOFFSET 3, 4\nCABLETYPE 2\nCUTOFFKNOB \"c.png\", 1, 2, 3, 4\n")));
    ASSERT_TRUE(skin.parse(write("b.skn", "VOLUMEKNOB \"v.png\", 0, 0, 1, 1\n")));
    EXPECT_EQ(tagsOf(skin), (std::vector<int>{tag::CutoffKnob, tag::VolumeKnob}));
    EXPECT_EQ(skin.getRect(tag::VolumeKnob), (SkinRect{3, 4, 4, 5}));

    skin.reset();
    EXPECT_EQ(settingsOf(skin), (Settings{.cableType = 2})) << "reset keeps the cable type";
    EXPECT_TRUE(skin.elements().empty());
    EXPECT_TRUE(skin.bitmapFiles().empty());
}

}  // namespace
}  // namespace tarvik::gui

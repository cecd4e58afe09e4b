// Undo and redo of every kind of pattern and cable change, through the
// instrument's control face: each change taken back and brought again byte
// for byte, the depth of the history, what forgets it.
#include "instrument/edit_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "instrument/cable_editing.h"
#include "instrument/pattern_editing.h"
#include "patch/parameters.h"
#include "patch/patch_chunk.h"
#include "tests/support/file_text.h"
#include "tests/support/test_instrument.h"

namespace tarvik {
namespace {

constexpr int kCurrent = 5;

// Everything undo may touch: the bank's bytes and the cables.
struct Content {
    std::vector<unsigned char> bank;
    std::vector<Connection> cables;
    bool operator==(const Content&) const = default;
};

class EditHistoryTest : public ::testing::Test {
protected:
    // Pattern kCurrent holds eight different notes, and one cable is made;
    // none of that is in the history.
    EditHistoryTest() {
        Pattern p = patterns().pattern(kCurrent);
        p.length = 8;
        for (int i = 0; i < kMaxSteps; ++i) p.steps[i] = {static_cast<std::uint8_t>(i % 7 + 1), step::kGate};
        TarvikPatch fresh;
        fresh.setState(state::CurrentPattern, kCurrent);
        fresh.patterns[kCurrent] = p;
        fresh.cables.set(0, {socket::MgCvOutput, socket::VcfCv});
        fresh.cables.setSize(1);
        std::vector<unsigned char> chunk(kChunkSize);
        encodeChunk(fresh, chunk.data());
        EXPECT_TRUE(control().restoreChunk(chunk.data(), chunk.size()));
    }

    ControlFace& control() { return instrument.control(); }
    PatternEditing& patterns() { return control().patterns(); }
    CableEditing& cables() { return control().cables(); }
    std::string folder() const { return instrument.folder.path().string(); }

    Content content() {
        Content c;
        for (int i = 0; i < kNumPatterns; ++i) {
            const Pattern p = patterns().pattern(i);
            const auto* bytes = reinterpret_cast<const unsigned char*>(&p);
            c.bank.insert(c.bank.end(), bytes, bytes + sizeof p);
        }
        const CableList list = cables().current();
        for (int i = 0; i < list.size(); ++i) c.cables.push_back(list.at(i));
        return c;
    }

    tarvik::test::TestInstrument instrument;
};

struct ChangeCase {
    const char* name;
    EditKind kind;
    std::function<void(ControlFace& control, const std::string& folder)> change;
    friend void PrintTo(const ChangeCase& row, std::ostream* out) { *out << row.name; }
};

class EachChange : public EditHistoryTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(EachChange, IsUndoneAndRedoneByteForByte) {
    const Content before = content();
    GetParam().change(control(), folder());
    const Content after = content();
    ASSERT_NE(after, before) << "the change changed nothing";
    ASSERT_TRUE(control().canUndo());

    EXPECT_EQ(control().undo(), GetParam().kind);
    EXPECT_EQ(content(), before) << "undone";
    EXPECT_FALSE(control().canUndo()) << "one change, one step";
    EXPECT_TRUE(control().canRedo());

    EXPECT_EQ(control().redo(), GetParam().kind);
    EXPECT_EQ(content(), after) << "redone";
    EXPECT_FALSE(control().canRedo());
    EXPECT_TRUE(control().canUndo());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EachChange,
    ::testing::Values(
        ChangeCase{"NoteEntry", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().sequencerCommand(command::kFirstNote + 30); }},
        ChangeCase{"StepFlag", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().sequencerCommand(command::kToggleSlide); }},
        ChangeCase{"Clear", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().sequencerCommand(command::kClearPattern); }},
        ChangeCase{"LongerByCommand", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().sequencerCommand(command::kLonger); }},
        ChangeCase{"Length", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().setLength(40); }},
        ChangeCase{"TimeMode", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().setTimeMode(3); }},
        ChangeCase{"Triplet", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().toggleTriplet(); }},
        ChangeCase{"Randomizer", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) {
                       seedPatternRandom(3);
                       c.patterns().apply(randomizePattern);
                   }},
        ChangeCase{"Paste", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) {
                       copyPattern(c.patterns().pattern(0));
                       c.patterns().apply([](Pattern& p) { pastePattern(p); });
                   }},
        ChangeCase{"AdvancedRandom", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) {
                       seedPatternRandom(4);
                       c.patterns().apply([&](Pattern& p) { advancedRandomize(p, c.advancedRandomSettings()); });
                   }},
        ChangeCase{"AdvancedRandomReset", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) { c.patterns().replace(kCurrent, Pattern{}); }},
        ChangeCase{"PatternFile", EditKind::Patterns,
                   [](ControlFace& c, const std::string& folder) {
                       const std::string path = folder + "/one.pat";
                       tarvik::test::writeWholeFile(path, "c-2 1 1 1\nd-2 0 0 1\n");
                       ASSERT_TRUE(c.patterns().importPatternFile(path));
                   }},
        ChangeCase{"SongOfTwoPatterns", EditKind::Patterns,
                   [](ControlFace& c, const std::string&) {
                       SongImport song;
                       song.currentPattern = kCurrent;
                       for (int index : {1, 33}) {
                           song.patterns[index].present = true;
                           song.patterns[index].length = 3;
                           song.patterns[index].stepCount = 1;
                           song.patterns[index].steps[0] = {9, step::kGate | step::kAccent};
                       }
                       c.patterns().applySong(song);
                   }},
        ChangeCase{"Connect", EditKind::Cables,
                   [](ControlFace& c, const std::string&) {
                       ASSERT_TRUE(c.cables().connect(socket::ModWheel, socket::VcaCv));
                   }},
        ChangeCase{"Disconnect", EditKind::Cables,
                   [](ControlFace& c, const std::string&) {
                       c.cables().disconnect(socket::VcfCv, socket::MgCvOutput);
                   }},
        ChangeCase{"ClearSocket", EditKind::Cables,
                   [](ControlFace& c, const std::string&) { c.cables().clearSocket(socket::MgCvOutput); }},
        ChangeCase{"CableMovedToAnotherInput", EditKind::Cables,
                   [](ControlFace& c, const std::string&) {
                       c.cables().pickUp(socket::MgCvOutput, socket::VcfCv);
                       ASSERT_TRUE(c.cables().connect(socket::MgCvOutput, socket::VcaCv));
                       c.cables().putDown();
                   }},
        ChangeCase{"CableDroppedWhereNothingTakesIt", EditKind::Cables,
                   [](ControlFace& c, const std::string&) {
                       c.cables().pickUp(socket::MgCvOutput, socket::VcfCv);
                       c.cables().putDown();
                   }}),
    [](const auto& row) { return std::string(row.param.name); });

// What changes nothing leaves nothing to undo.
TEST_F(EditHistoryTest, EditsThatChangeNothingAreNotRecorded) {
    patterns().apply([](Pattern& p) { copyPattern(p); });
    patterns().sequencerCommand(command::kNext);  // the edit position alone
    patterns().setLength(patterns().current().length);
    EXPECT_FALSE(cables().connect(socket::ModWheel, socket::VcfCv)) << "the input already has its cable";
    cables().disconnect(socket::ModWheel, socket::VcaCv);
    cables().pickUp(socket::MgCvOutput, socket::VcfCv);  // dropped back where it was
    ASSERT_TRUE(cables().connect(socket::VcfCv, socket::MgCvOutput));
    cables().putDown();
    EXPECT_FALSE(control().canUndo());
    EXPECT_EQ(control().undo(), EditKind::None);
}

// The oldest changes go; the latest kLevels come back one by one, newest
// first, to the state after the changes that were dropped.
TEST_F(EditHistoryTest, KeepsTheLatestChangesAndDropsTheOldest) {
    static_assert(EditHistory::kLevels >= 64);
    constexpr int kDropped = 5;
    std::vector<Content> states{content()};
    for (int n = 0; n < EditHistory::kLevels + kDropped; ++n) {
        patterns().setLength(n % 60 + 2);
        states.push_back(content());
    }
    for (int n = EditHistory::kLevels + kDropped - 1; n >= kDropped; --n) {
        ASSERT_EQ(control().undo(), EditKind::Patterns) << n;
        ASSERT_EQ(content(), states[static_cast<std::size_t>(n)]) << n;
    }
    EXPECT_FALSE(control().canUndo());
    EXPECT_EQ(control().undo(), EditKind::None);
    EXPECT_EQ(content(), states[kDropped]);
}

TEST_F(EditHistoryTest, ANewChangeForgetsWhatCouldBeRedone) {
    patterns().setLength(3);
    patterns().setLength(4);
    ASSERT_EQ(control().undo(), EditKind::Patterns);
    ASSERT_TRUE(control().canRedo());
    ASSERT_TRUE(cables().connect(socket::ModWheel, socket::VcaCv));
    EXPECT_FALSE(control().canRedo());
    EXPECT_EQ(control().redo(), EditKind::None);
    EXPECT_EQ(patterns().current().length, 3);
}

// Undo is the user's own request: the switch that guards the notes
// against programming does not hold it back.
TEST_F(EditHistoryTest, UndoGivesBackNotesThatAreWriteProtectedNow) {
    const Pattern before = patterns().current();
    patterns().sequencerCommand(command::kFirstNote + 20);
    control().setState(state::PatternWriteProtect, 1);
    EXPECT_EQ(control().undo(), EditKind::Patterns);
    EXPECT_EQ(patterns().current(), before);
}

// Another patch has other patterns and cables: nothing of the last one's
// history may be put into it.
struct InstallCase {
    const char* name;
    std::function<void(ControlFace& control, const std::string& folder)> install;
    friend void PrintTo(const InstallCase& row, std::ostream* out) { *out << row.name; }
};

class AnotherPatch : public EditHistoryTest, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(AnotherPatch, StartsTheHistoryAnew) {
    patterns().setLength(30);
    patterns().setLength(31);
    ASSERT_EQ(control().undo(), EditKind::Patterns);
    ASSERT_TRUE(control().canUndo() && control().canRedo());
    GetParam().install(control(), folder());
    const Content installed = content();
    EXPECT_FALSE(control().canUndo());
    EXPECT_FALSE(control().canRedo());
    EXPECT_EQ(control().undo(), EditKind::None);
    EXPECT_EQ(control().redo(), EditKind::None);
    EXPECT_EQ(content(), installed);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AnotherPatch,
    ::testing::Values(InstallCase{"PatchFile",
                                  [](ControlFace& c, const std::string& folder) {
                                      const std::string path = folder + "/other.tvkp";
                                      ASSERT_TRUE(c.savePatchFile(path));
                                      ASSERT_TRUE(c.loadPatchFile(path));
                                  }},
                      InstallCase{"Chunk",
                                  [](ControlFace& c, const std::string&) {
                                      std::vector<unsigned char> chunk(kChunkSize);
                                      encodeChunk(TarvikPatch{}, chunk.data());
                                      ASSERT_TRUE(c.restoreChunk(chunk.data(), chunk.size()));
                                  }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik

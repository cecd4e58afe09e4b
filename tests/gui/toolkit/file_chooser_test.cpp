#include "gui/toolkit/controls/file_chooser.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "tests/gui/file_dialog_fixtures.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;
using Answers = std::vector<std::optional<std::string>>;

const Rect kFrameArea = Rect::sized(0, 0, 755, 525);

// A folder of patches beside other files, a chooser in a frame, and the
// answers heard.
class FileChooserTest : public ::testing::Test {
protected:
    FileChooserTest() {
        folder.file("Acid.tvkp");
        folder.file("bass.TVKP");
        folder.file("notes.txt");
        folder.file(".hidden.tvkp");
        folder.folder("Banks/Old");
        folder.file("Banks/Squelch.tvkp");
        folder.folder("archive");
        folder.folder(".git");
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        chooser = &frame.add(std::make_unique<FileChooser>(kFrameArea));
    }

    FileRequest request(bool asking = true) const {
        return {"Save Tarvik Patch", "Tarvik (*.tvkp)", "*.tvkp", "tvkp", folder.path().string(), !asking, asking};
    }
    void openChooser() { chooser->open(FileDialogKind::Open, request(false), record()); }
    void saveChooser(bool asking = true) { chooser->open(FileDialogKind::Save, request(asking), record()); }
    FileChooser::Answer record() {
        return [this](std::optional<std::string> p) { answers.push_back(std::move(p)); };
    }
    void click(Point p) {
        frame.mouseDown(test::mouseAt(p));
        frame.mouseUp(test::mouseAt(p));
    }
    int rowOf(const std::string& name) const {
        for (std::size_t i = 0; i < chooser->entries().size(); ++i)
            if (chooser->entries()[i].name == name) return static_cast<int>(i);
        return -1;
    }
    // Two clicks: the first selects the row, the second takes it.
    void doubleClick(const std::string& name) {
        const int row = rowOf(name);
        ASSERT_GE(row, 0) << name;
        click(chooser->rowRect(row).centre());
        click(chooser->rowRect(row).centre());
    }
    bool key(int virtualKey, int character = 0, int modifiers = 0) {
        return chooser->onKeyDown({character, virtualKey, modifiers});
    }
    void type(const std::string& text) {
        for (char c : text) {
            if (c == ' ')
                key(vkey::kSpace);
            else if (c >= 'A' && c <= 'Z')
                key(0, c - 'A' + 'a', modifier::kShift);
            else
                key(0, c);
        }
    }

    test::TempFolder folder;
    Frame frame{kFrameArea};
    FileChooser* chooser = nullptr;
    Answers answers;
};

TEST_F(FileChooserTest, ListsFoldersFirstThenTheMatchingFiles) {
    openChooser();
    EXPECT_EQ(chooser->folder(), folder.path().string());
    EXPECT_EQ(chooser->entries(), (std::vector<FolderEntry>{{"..", true},
                                                            {"archive", true},
                                                            {"Banks", true},
                                                            {"Acid.tvkp", false},
                                                            {"bass.TVKP", false}}));
}

TEST_F(FileChooserTest, FoldersOpenAndDotDotGoesUp) {
    openChooser();
    doubleClick("Banks");
    EXPECT_EQ(chooser->folder(), folder / "Banks");
    EXPECT_EQ(chooser->entries(),
              (std::vector<FolderEntry>{{"..", true}, {"Old", true}, {"Squelch.tvkp", false}}));
    EXPECT_EQ(chooser->selected(), -1) << "a new folder starts without a selection";
    doubleClick("..");
    EXPECT_EQ(chooser->folder(), folder.path().string());
    EXPECT_TRUE(answers.empty());
}

TEST_F(FileChooserTest, AMissingStartingFolderStartsAtTheNearestOneAbove) {
    chooser->open(FileDialogKind::Open, {"T", "", "*.tvkp", "tvkp", folder / "not/there", true, false}, record());
    EXPECT_EQ(chooser->folder(), folder.path().string());
}

struct PickCase {
    const char* name;
    bool byKey;  // Return rather than the OK button
    friend void PrintTo(const PickCase& row, std::ostream* out) { *out << row.name; }
};

class FileChooserPick : public FileChooserTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(FileChooserPick, TheSelectedFileIsTheAnswer) {
    openChooser();
    click(chooser->rowRect(rowOf("bass.TVKP")).centre());
    EXPECT_TRUE(answers.empty()) << "one click only selects";
    if (GetParam().byKey)
        key(vkey::kReturn);
    else
        click(chooser->okButton().centre());
    EXPECT_EQ(answers, Answers{folder / "bass.TVKP"});
    EXPECT_FALSE(chooser->isOpen());
}

INSTANTIATE_TEST_SUITE_P(Cases, FileChooserPick,
                         ::testing::Values(PickCase{"OkButton", false}, PickCase{"ReturnKey", true}),
                         rowName<PickCase>);

struct CancelCase {
    const char* name;
    bool byKey;  // Escape rather than the Cancel button
    friend void PrintTo(const CancelCase& row, std::ostream* out) { *out << row.name; }
};

class FileChooserCancel : public FileChooserTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(FileChooserCancel, AnswersNothingOnce) {
    saveChooser();
    type("acid");
    if (GetParam().byKey)
        key(vkey::kEscape);
    else
        click(chooser->cancelButton().centre());
    EXPECT_EQ(answers, Answers{std::nullopt});
    EXPECT_FALSE(chooser->isOpen());
    key(vkey::kReturn);
    click(chooser->okButton().centre());
    EXPECT_EQ(answers, Answers{std::nullopt}) << "nothing more is heard";
}

INSTANTIATE_TEST_SUITE_P(Cases, FileChooserCancel,
                         ::testing::Values(CancelCase{"CancelButton", false}, CancelCase{"EscapeKey", true}),
                         rowName<CancelCase>);

TEST_F(FileChooserTest, OpeningTakesOnlyFilesThatStillExist) {
    openChooser();
    click(chooser->rowRect(rowOf("Acid.tvkp")).centre());
    std::filesystem::remove(folder.path() / "Acid.tvkp");
    key(vkey::kReturn);
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(chooser->isOpen());
    EXPECT_EQ(rowOf("Acid.tvkp"), -1) << "the list shows what is there now";
}

TEST_F(FileChooserTest, OpeningWithNothingSelectedDoesNothing) {
    openChooser();
    click(chooser->okButton().centre());
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(chooser->isOpen());
}

struct NameCase {
    const char* name;
    const char* typed;  // capitals are typed with Shift
    int backspaces;
    const char* saved;  // the file name answered; null for no answer
    friend void PrintTo(const NameCase& row, std::ostream* out) { *out << row.name; }
};

class FileChooserSaveName : public FileChooserTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(FileChooserSaveName, TypedAndSaved) {
    const NameCase& c = GetParam();
    saveChooser();
    type(c.typed);
    for (int i = 0; i < c.backspaces; ++i) key(vkey::kBack);
    click(chooser->okButton().centre());
    EXPECT_EQ(answers, c.saved ? Answers{folder / c.saved} : Answers{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileChooserSaveName,
    ::testing::Values(NameCase{"DefaultExtensionAdded", "My Line 2", 0, "My Line 2.tvkp"},
                      NameCase{"GivenExtensionKept", "line.tvkp", 0, "line.tvkp"},
                      NameCase{"BackspaceRemoves", "acidx", 1, "acid.tvkp"},
                      NameCase{"PunctuationTyped", "a-b_c.v2", 0, "a-b_c.v2"},
                      NameCase{"SlashesAreNotTyped", "a/b", 0, "ab.tvkp"},
                      NameCase{"OuterBlanksDropped", " pad ", 0, "pad.tvkp"},
                      NameCase{"EmptyNameSavesNothing", "ab", 2, nullptr},
                      NameCase{"BlankNameSavesNothing", "  ", 0, nullptr}),
    rowName<NameCase>);

TEST_F(FileChooserTest, ShortcutChordsTypeNothing) {
    saveChooser();
    type("ab");
    EXPECT_TRUE(key(0, 's', modifier::kControl)) << "the chooser keeps every key";
    EXPECT_EQ(chooser->name(), "ab");
}

TEST_F(FileChooserTest, ChoosingAFileWhenSavingTakesItsName) {
    saveChooser(false);
    click(chooser->rowRect(rowOf("Acid.tvkp")).centre());
    EXPECT_EQ(chooser->name(), "Acid.tvkp");
    key(vkey::kReturn);
    EXPECT_EQ(answers, Answers{folder / "Acid.tvkp"}) << "a save that does not ask replaces at once";
}

TEST_F(FileChooserTest, ANameOfAFolderOpensIt) {
    saveChooser();
    type("Banks");
    key(vkey::kReturn);
    EXPECT_EQ(chooser->folder(), folder / "Banks");
    EXPECT_TRUE(answers.empty());
}

TEST_F(FileChooserTest, SavingIntoAnotherFolderKeepsTheTypedName) {
    saveChooser();
    type("deep");
    doubleClick("Banks");
    key(vkey::kReturn);
    EXPECT_EQ(answers, Answers{folder / "Banks/deep.tvkp"});
}

struct OverwriteCase {
    const char* name;
    bool byKey;
    bool yes;
    friend void PrintTo(const OverwriteCase& row, std::ostream* out) { *out << row.name; }
};

class FileChooserOverwrite : public FileChooserTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(FileChooserOverwrite, AnExistingFileIsReplacedOnlyAfterYes) {
    const OverwriteCase& c = GetParam();
    saveChooser();
    type("Acid");  // the default extension makes it Acid.tvkp, which exists
    key(vkey::kReturn);
    ASSERT_TRUE(chooser->questionOpen());
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(chooser->question()->title(), "Save Tarvik Patch");
    EXPECT_NE(chooser->question()->text().find("Acid.tvkp"), std::string::npos);
    if (c.byKey)
        key(c.yes ? vkey::kReturn : vkey::kEscape);
    else
        click((c.yes ? chooser->question()->yesButton() : chooser->question()->noButton()).centre());
    EXPECT_FALSE(chooser->questionOpen());
    if (c.yes) {
        EXPECT_EQ(answers, Answers{folder / "Acid.tvkp"});
        EXPECT_FALSE(chooser->isOpen());
    } else {
        EXPECT_TRUE(answers.empty());
        EXPECT_TRUE(chooser->isOpen()) << "the user may choose another name";
        EXPECT_EQ(chooser->name(), "Acid");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FileChooserOverwrite,
                         ::testing::Values(OverwriteCase{"YesButton", false, true},
                                           OverwriteCase{"NoButton", false, false},
                                           OverwriteCase{"ReturnKey", true, true},
                                           OverwriteCase{"EscapeKey", true, false}),
                         rowName<OverwriteCase>);

TEST_F(FileChooserTest, DismissingTakesTheQuestionAlongUnheard) {
    saveChooser();
    type("Acid");
    key(vkey::kReturn);
    ASSERT_TRUE(chooser->questionOpen());
    chooser->dismiss();
    EXPECT_FALSE(chooser->isOpen());
    EXPECT_FALSE(chooser->questionOpen());
    for (const auto& child : frame.children()) {
        if (const auto* q = dynamic_cast<const QuestionPanel*>(child.get())) {
            EXPECT_FALSE(q->isOpen());
        }
    }
    EXPECT_TRUE(answers.empty());
}

TEST_F(FileChooserTest, TheBackdropSwallowsClicksOutsideTheBox) {
    test::RecordingListener listener;
    Bitmap images = test::stackedImages(40, 40, 2);
    KickButton& beneath = frame.add(std::make_unique<KickButton>(Rect::sized(5, 5, 40, 40), &listener, 3, &images));
    openChooser();
    click(beneath.rect().centre());
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_TRUE(chooser->isOpen());
}

class FileChooserLongList : public FileChooserTest {
protected:
    FileChooserLongList() {
        for (int i = 0; i < 40; ++i) folder.file("p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".tvkp");
    }
};

TEST_F(FileChooserLongList, TheWheelScrollsTheList) {
    openChooser();
    ASSERT_LT(chooser->rowsShown(), static_cast<int>(chooser->entries().size()));
    EXPECT_FALSE(chooser->rowRect(0).empty());
    frame.wheel(test::mouseAt(chooser->listArea().centre()), -1.0);
    EXPECT_EQ(chooser->firstShown(), FileChooser::kWheelRows);
    EXPECT_TRUE(chooser->rowRect(0).empty());
    frame.wheel(test::mouseAt(chooser->listArea().centre()), 5.0);
    EXPECT_EQ(chooser->firstShown(), 0) << "never above the first row";
}

TEST_F(FileChooserLongList, KeysMoveTheSelectionAndKeepItInSight) {
    openChooser();
    key(vkey::kEnd);
    const int last = static_cast<int>(chooser->entries().size()) - 1;
    EXPECT_EQ(chooser->selected(), last);
    EXPECT_FALSE(chooser->rowRect(last).empty());
    key(vkey::kHome);
    key(vkey::kDown);
    key(vkey::kDown);
    EXPECT_EQ(chooser->selected(), 2);
    EXPECT_FALSE(chooser->rowRect(2).empty());
    key(vkey::kUp);
    EXPECT_EQ(chooser->selected(), 1);
}

TEST_F(FileChooserTest, DrawsTheSelectedRowApart) {
    test::Canvas canvas{kFrameArea.width(), kFrameArea.height()};
    openChooser();
    click(chooser->rowRect(rowOf("Acid.tvkp")).centre());
    test::paintAll(frame, canvas);
    const Rect selected = chooser->rowRect(rowOf("Acid.tvkp"));
    const Rect other = chooser->rowRect(rowOf("bass.TVKP"));
    // Near each row's right end, where no text is drawn.
    EXPECT_NE(canvas.pixel(selected.right - 3, selected.centre().y), canvas.pixel(other.right - 3, other.centre().y));
    EXPECT_NE(canvas.pixel(2, 2), test::kGrey) << "the backdrop dims the panel";
}

}  // namespace
}  // namespace tarvik::gui

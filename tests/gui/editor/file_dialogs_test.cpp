#include "gui/editor/file_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gui/editor/file_requests.h"
#include "tests/gui/file_dialog_fixtures.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;
using Answers = std::vector<std::optional<std::string>>;

// The scripted answer: no dialog at all, the answer at the next idle pass.
// A stand-in zenity on PATH tells whether any chooser was started.
class ScriptedAnswerTest : public ::testing::Test {
protected:
    ScriptedAnswerTest() { test::writeFakeProgram(bin.path(), "zenity", "echo /should/not/run.tvkp"); }

    FileDialogs::Answer record() {
        return [this](std::optional<std::string> p) { answers.push_back(std::move(p)); };
    }
    bool anyChooserStarted() const {
        const bool drawn = dialogs.chooser() && dialogs.chooser()->isOpen();
        return drawn || std::filesystem::exists(bin.path() / "zenity.args");
    }

    test::TempFolder bin;
    test::ScopedEnv path{"PATH", bin.path().string()};
    Frame frame{Rect::sized(0, 0, 755, 525)};
    FileDialogs dialogs{frame, nullptr};
    Answers answers;
};

struct ScriptCase {
    const char* name;
    FileDialogKind kind;
    const char* script;
    std::optional<std::string> answer;
    friend void PrintTo(const ScriptCase& row, std::ostream* out) { *out << row.name; }
};

class ScriptedAnswer : public ScriptedAnswerTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptedAnswer, ArrivesAtTheNextIdle) {
    const ScriptCase& c = GetParam();
    const test::ScopedEnv script(FileDialogs::kScriptedAnswerVariable, c.script);
    const FileRequest request = c.kind == FileDialogKind::Save ? savePatchRequest("/data") : openPatchRequest("/data");
    if (c.kind == FileDialogKind::Save)
        dialogs.save(request, record());
    else
        dialogs.open(request, record());
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(dialogs.busy());
    dialogs.idle();
    EXPECT_EQ(answers, Answers{c.answer});
    EXPECT_FALSE(dialogs.busy());
    EXPECT_FALSE(anyChooserStarted());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptedAnswer,
    ::testing::Values(ScriptCase{"OpenTakesThePath", FileDialogKind::Open, "/x/acid.tvkp", "/x/acid.tvkp"},
                      ScriptCase{"CancelWord", FileDialogKind::Open, "cancel", std::nullopt},
                      ScriptCase{"CancelWhenSaving", FileDialogKind::Save, "cancel", std::nullopt},
                      ScriptCase{"SaveGetsTheDefaultExtension", FileDialogKind::Save, "/x/acid", "/x/acid.tvkp"},
                      ScriptCase{"SaveKeepsAGivenExtension", FileDialogKind::Save, "/x/acid.pat", "/x/acid.pat"},
                      ScriptCase{"AMissingFilePassesUnchecked", FileDialogKind::Open, "/nowhere/x.tvkp",
                                 "/nowhere/x.tvkp"}),
    rowName<ScriptCase>);

TEST_F(ScriptedAnswerTest, AnEmptyVariableScriptsNothing) {
    const test::ScopedEnv script(FileDialogs::kScriptedAnswerVariable, "");
    dialogs.open(openPatchRequest("/data"), record());
    ASSERT_TRUE(test::within5s([&] { return !answers.empty(); }, [&] { dialogs.idle(); }));
    EXPECT_TRUE(std::filesystem::exists(bin.path() / "zenity.args")) << "the desktop's chooser ran";
}

TEST_F(ScriptedAnswerTest, ARequestBeforeTheAnswerIsRefused) {
    const test::ScopedEnv script(FileDialogs::kScriptedAnswerVariable, "/x/first.tvkp");
    dialogs.open(openPatchRequest("/data"), record());
    dialogs.open(openPatchRequest("/data"), record());
    EXPECT_EQ(answers, Answers{std::nullopt}) << "refused at once";
    dialogs.idle();
    EXPECT_EQ(answers, (Answers{std::nullopt, "/x/first.tvkp"}));
}

TEST_F(ScriptedAnswerTest, AnAnswerMayAskAgain) {
    const test::ScopedEnv script(FileDialogs::kScriptedAnswerVariable, "/x/a.tvkp");
    dialogs.open(openPatchRequest("/data"), [&](std::optional<std::string> p) {
        answers.push_back(p);
        dialogs.save(savePatchRequest("/data"), record());
    });
    dialogs.idle();
    dialogs.idle();
    EXPECT_EQ(answers, (Answers{"/x/a.tvkp", "/x/a.tvkp"}));
}

TEST_F(ScriptedAnswerTest, NoAnswerAfterTheDialogsAreGone) {
    const test::ScopedEnv script(FileDialogs::kScriptedAnswerVariable, "/x/a.tvkp");
    {
        FileDialogs shortLived(frame, nullptr);
        shortLived.open(openPatchRequest("/data"), record());
    }
    EXPECT_TRUE(answers.empty());
}

struct RequestCase {
    const char* name;
    FileRequest request;
    FileDialogKind kind;
    friend void PrintTo(const RequestCase& row, std::ostream* out) { *out << row.name; }
};

class MenuFileRequest : public ::testing::TestWithParam<RequestCase> {};

// The filter shows the files the default extension makes, and its text
// names the pattern; opening takes existing files, saving asks first.
TEST_P(MenuFileRequest, IsConsistent) {
    const RequestCase& c = GetParam();
    EXPECT_EQ(c.request.folder, "/data");
    EXPECT_FALSE(c.request.title.empty());
    EXPECT_TRUE(matchesFilter("bass." + c.request.defaultExtension, c.request.filterPattern));
    EXPECT_FALSE(matchesFilter("bass.txt", c.request.filterPattern));
    EXPECT_NE(c.request.filterText.find(c.request.filterPattern), std::string::npos);
    EXPECT_EQ(c.request.mustExist, c.kind == FileDialogKind::Open);
    EXPECT_EQ(c.request.confirmOverwrite, c.kind == FileDialogKind::Save);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MenuFileRequest,
    ::testing::Values(RequestCase{"OpenPatch", openPatchRequest("/data"), FileDialogKind::Open},
                      RequestCase{"SavePatch", savePatchRequest("/data"), FileDialogKind::Save},
                      RequestCase{"LoadMidiMap", loadMidiMapRequest("/data"), FileDialogKind::Open},
                      RequestCase{"SaveMidiMap", saveMidiMapRequest("/data"), FileDialogKind::Save},
                      RequestCase{"SelectSkin", selectSkinRequest("/data"), FileDialogKind::Open},
                      RequestCase{"ImportPattern", importPatternRequest("/data"), FileDialogKind::Open},
                      RequestCase{"ExportPattern", exportPatternRequest("/data"), FileDialogKind::Save},
                      RequestCase{"ImportRebirth", importRebirthRequest("/data"), FileDialogKind::Open}),
    rowName<RequestCase>);

}  // namespace
}  // namespace tarvik::gui

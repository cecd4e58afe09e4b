// The desktop's chooser as a child process, end to end through the editor's
// file dialogs, with stand-in programs first and alone on PATH.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "gui/backend/child_process_linux.h"
#include "gui/editor/file_dialogs.h"
#include "tests/gui/file_dialog_fixtures.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

std::vector<std::string> linesOf(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string replaced(std::string text, const std::string& token, const std::string& value) {
    for (std::size_t at; (at = text.find(token)) != std::string::npos;) text.replace(at, token.size(), value);
    return text;
}

class DesktopChooserTest : public ::testing::Test {
protected:
    FileRequest patchOpen() const {
        return {"Open Tarvik Patch", "Tarvik (*.tvkp)", "*.tvkp", "tvkp", data.path().string(), true, false};
    }
    FileRequest patchSave() const {
        return {"Save Tarvik Patch", "Tarvik (*.tvkp)", "*.tvkp", "tvkp", data.path().string(), false, true};
    }
    FileDialogs::Answer record() {
        return [this](std::optional<std::string> p) { answers.push_back(std::move(p)); };
    }
    // Programs see {data} and {bin} as the two folders, {sleep} as the sleep program.
    void fake(const std::string& name, const std::string& body) {
        test::writeFakeProgram(bin.path(), name,
                               replaced(replaced(replaced(body, "{data}", data.path().string()), "{bin}",
                                                 bin.path().string()),
                                        "{sleep}", sleep));
    }
    bool idleUntilAnswered() {
        return test::within5s([&] { return !answers.empty(); }, [&] { dialogs->idle(); });
    }
    bool started(const std::string& name) {
        return test::within5s([&] { return test::notedPid(bin.path(), name) > 0; });
    }

    const std::string sleep = findProgram("sleep", std::getenv("PATH"));
    test::TempFolder bin;
    test::TempFolder data;
    test::ScopedEnv path{"PATH", bin.path().string()};
    test::ScopedEnv script{FileDialogs::kScriptedAnswerVariable, std::nullopt};
    test::ScopedEnv desktop{"XDG_CURRENT_DESKTOP", std::nullopt};
    Frame frame{Rect::sized(0, 0, 755, 525)};
    std::optional<FileDialogs> dialogs{std::in_place, frame, nullptr};
    std::vector<std::optional<std::string>> answers;
};

TEST_F(DesktopChooserTest, TheAnswerArrivesOnlyThroughIdle) {
    data.file("acid.tvkp");
    fake("zenity", "printf '%s\\n' '{data}/acid.tvkp'");
    dialogs->open(patchOpen(), record());
    ASSERT_TRUE(started("zenity"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(answers.empty()) << "nothing answers outside the idle passes";
    EXPECT_TRUE(dialogs->busy());
    ASSERT_TRUE(idleUntilAnswered());
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{data / "acid.tvkp"}));
    EXPECT_FALSE(dialogs->busy());
    // Every argument reached the program whole, blanks and all.
    EXPECT_EQ(linesOf(bin.path() / "zenity.args"),
              (std::vector<std::string>{"--file-selection", "--title=Open Tarvik Patch",
                                        "--filename=" + data.path().string() + "/",
                                        "--file-filter=Tarvik (*.tvkp) | *.tvkp"}));
}

struct OutcomeCase {
    const char* name;
    FileDialogKind kind;
    const char* zenity;   // the stand-in's script; null for none installed
    const char* kdialog;  // likewise
    const char* answer;   // with {data}; null for cancelled
    friend void PrintTo(const OutcomeCase& row, std::ostream* out) { *out << row.name; }
};

class DesktopChooserOutcome : public DesktopChooserTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(DesktopChooserOutcome, GivesTheAnswer) {
    const OutcomeCase& c = GetParam();
    data.file("acid.tvkp");
    if (c.zenity) fake("zenity", c.zenity);
    if (c.kdialog) fake("kdialog", c.kdialog);
    if (c.kind == FileDialogKind::Save)
        dialogs->save(patchSave(), record());
    else
        dialogs->open(patchOpen(), record());
    ASSERT_TRUE(idleUntilAnswered());
    const std::optional<std::string> expected =
        c.answer ? std::optional<std::string>(replaced(c.answer, "{data}", data.path().string())) : std::nullopt;
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{expected}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesktopChooserOutcome,
    ::testing::Values(
        OutcomeCase{"ChoiceIsTheAnswer", FileDialogKind::Open, "echo '{data}/acid.tvkp'", nullptr, "{data}/acid.tvkp"},
        OutcomeCase{"CancelGivesNothing", FileDialogKind::Open, "exit 1", nullptr, nullptr},
        OutcomeCase{"OkWithoutAPathIsCancel", FileDialogKind::Open, "exit 0", nullptr, nullptr},
        OutcomeCase{"AMissingFileIsNotOpened", FileDialogKind::Open, "echo '{data}/gone.tvkp'", nullptr, nullptr},
        OutcomeCase{"SaveGetsTheDefaultExtension", FileDialogKind::Save, "echo '{data}/new line'", nullptr,
                    "{data}/new line.tvkp"},
        OutcomeCase{"KdialogWhenZenityIsMissing", FileDialogKind::Open, nullptr, "echo '{data}/acid.tvkp'",
                    "{data}/acid.tvkp"},
        OutcomeCase{"BrokenZenityGivesWayToKdialog", FileDialogKind::Save, "exit 3", "echo '{data}/b.tvkp'",
                    "{data}/b.tvkp"},
        OutcomeCase{"CancelInZenityIsNotRetried", FileDialogKind::Open, "exit 1", "echo '{data}/acid.tvkp'",
                    nullptr}),
    rowName<OutcomeCase>);

TEST_F(DesktopChooserTest, AZenityRefusingTheConfirmFlagIsAskedAgainWithoutIt) {
    fake("zenity", "case \" $* \" in *' --confirm-overwrite '*) exit 255;; esac\necho '{data}/x.tvkp'");
    dialogs->save(patchSave(), record());
    ASSERT_TRUE(idleUntilAnswered());
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{data / "x.tvkp"}));
    const std::vector<std::string> lastArgs = linesOf(bin.path() / "zenity.args");
    EXPECT_EQ(std::count(lastArgs.begin(), lastArgs.end(), "--save"), 1);
    EXPECT_EQ(std::count(lastArgs.begin(), lastArgs.end(), "--confirm-overwrite"), 0);
}

TEST_F(DesktopChooserTest, WhenEveryChooserFailsTheFrameShowsItsOwn) {
    fake("zenity", "exit 255");
    dialogs->open(patchOpen(), record());
    ASSERT_TRUE(test::within5s([&] { return dialogs->chooser() && dialogs->chooser()->isOpen(); },
                               [&] { dialogs->idle(); }));
    EXPECT_TRUE(answers.empty());
    EXPECT_TRUE(dialogs->busy());
    EXPECT_TRUE(dialogs->handleKey({0, vkey::kEscape, 0}));
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{std::nullopt}));
}

TEST_F(DesktopChooserTest, WithoutAnyChooserInstalledTheFramesOwnOpensAtOnce) {
    dialogs->save(patchSave(), record());
    ASSERT_NE(dialogs->chooser(), nullptr);
    EXPECT_TRUE(dialogs->chooser()->isOpen());
    EXPECT_EQ(dialogs->chooser()->kind(), FileDialogKind::Save);
    EXPECT_EQ(dialogs->chooser()->request().title, "Save Tarvik Patch");
    EXPECT_TRUE(answers.empty());
}

TEST_F(DesktopChooserTest, ASecondRequestWhileOneRunsIsRefused) {
    fake("zenity", "exec {sleep} 30");
    dialogs->open(patchOpen(), record());
    ASSERT_TRUE(started("zenity"));
    std::vector<std::optional<std::string>> second;
    dialogs->save(patchSave(), [&](std::optional<std::string> p) { second.push_back(std::move(p)); });
    EXPECT_EQ(second, (std::vector<std::optional<std::string>>{std::nullopt}));
    dialogs->idle();
    EXPECT_TRUE(answers.empty()) << "the first request goes on";
    EXPECT_TRUE(dialogs->busy());
}

TEST_F(DesktopChooserTest, ClosingKillsAndCollectsTheChooserUnheard) {
    fake("zenity", "exec {sleep} 30");
    dialogs->open(patchOpen(), record());
    ASSERT_TRUE(started("zenity"));
    const pid_t pid = test::notedPid(bin.path(), "zenity");
    ASSERT_FALSE(test::processGone(pid));
    dialogs.reset();
    EXPECT_TRUE(test::processGone(pid)) << "no process and no zombie left behind";
    EXPECT_TRUE(answers.empty());
}

struct AppendedCase {
    const char* name;
    int key;
    bool replaced;
    friend void PrintTo(const AppendedCase& row, std::ostream* out) { *out << row.name; }
};

class AppendedNameQuestion : public DesktopChooserTest, public ::testing::WithParamInterface<AppendedCase> {};

// The desktop's chooser asked about "acid", not about "acid.tvkp".
TEST_P(AppendedNameQuestion, AsksBeforeReplacingAFileItDidNotCheck) {
    data.file("acid.tvkp");
    fake("zenity", "echo '{data}/acid'");
    dialogs->save(patchSave(), record());
    ASSERT_TRUE(test::within5s([&] { return dialogs->question() && dialogs->question()->isOpen(); },
                               [&] { dialogs->idle(); }));
    EXPECT_TRUE(answers.empty());
    EXPECT_EQ(dialogs->question()->title(), "Save Tarvik Patch");
    EXPECT_NE(dialogs->question()->text().find("acid.tvkp"), std::string::npos);
    EXPECT_TRUE(dialogs->handleKey({0, GetParam().key, 0}));
    const std::optional<std::string> expected =
        GetParam().replaced ? std::optional<std::string>(data / "acid.tvkp") : std::nullopt;
    EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{expected}));
}

INSTANTIATE_TEST_SUITE_P(Cases, AppendedNameQuestion,
                         ::testing::Values(AppendedCase{"YesReplaces", vkey::kReturn, true},
                                           AppendedCase{"NoCancels", vkey::kEscape, false}),
                         rowName<AppendedCase>);

TEST_F(DesktopChooserTest, ViewingStartsXdgOpenPerFileAndCollectsEach) {
    fake("xdg-open", "echo \"$1\" >> '{bin}/opened'\necho $$ >> '{bin}/viewers'");
    dialogs->viewFiles({data / "Config.ini", data / "Gui.ini"});
    const auto viewers = [&] { return linesOf(bin.path() / "viewers"); };
    ASSERT_TRUE(test::within5s([&] { return viewers().size() == 2; }, [&] { dialogs->idle(); }));
    std::vector<std::string> opened = linesOf(bin.path() / "opened");
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<std::string>{data / "Config.ini", data / "Gui.ini"}));
    EXPECT_TRUE(test::within5s(
        [&] {
            const std::vector<std::string> pids = viewers();
            return std::all_of(pids.begin(), pids.end(),
                               [](const std::string& pid) { return test::processGone(std::stoi(pid)); });
        },
        [&] { dialogs->idle(); }))
        << "every viewer is collected by the idle passes";
}

}  // namespace
}  // namespace tarvik::gui

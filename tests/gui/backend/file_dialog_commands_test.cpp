#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gui/backend/child_process_linux.h"
#include "gui/backend/file_dialog_linux.h"
#include "tests/gui/file_dialog_fixtures.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

constexpr const char* kZenity = "/usr/bin/zenity";
constexpr const char* kKdialog = "/usr/bin/kdialog";

FileRequest patchRequest() {
    return {"Open Tarvik Patch", "Tarvik (*.tvkp)", "*.tvkp", "tvkp", "/home/u/Tarvik", true, false};
}

FileRequest exportRequest() {
    return {"Export Corvall Pattern", "Corvall Pattern (*.pat)", "*.pat", "pat", "/home/u/Tarvik", false, true};
}

struct CommandCase {
    const char* name;
    bool kdialog;
    FileDialogKind kind;
    FileRequest request;
    bool confirmFlag;
    CommandLine expected;
    friend void PrintTo(const CommandCase& row, std::ostream* out) { *out << row.name; }
};

class DialogCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(DialogCommand, OneArgumentPerElement) {
    const CommandCase& c = GetParam();
    const CommandLine command = c.kdialog ? kdialogCommand(kKdialog, c.kind, c.request)
                                          : zenityCommand(kZenity, c.kind, c.request, c.confirmFlag);
    EXPECT_EQ(command, c.expected);
}

FileRequest withTitle(FileRequest r, const char* title) {
    r.title = title;
    return r;
}
FileRequest withFolder(FileRequest r, const char* folder) {
    r.folder = folder;
    return r;
}
FileRequest withFilter(FileRequest r, const char* text, const char* pattern) {
    r.filterText = text;
    r.filterPattern = pattern;
    return r;
}
FileRequest notAsking(FileRequest r) {
    r.confirmOverwrite = false;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogCommand,
    ::testing::Values(
        CommandCase{"ZenityOpenWithFilterAndFolder", false, FileDialogKind::Open, patchRequest(), true,
                    {kZenity, "--file-selection", "--title=Open Tarvik Patch", "--filename=/home/u/Tarvik/",
                     "--file-filter=Tarvik (*.tvkp) | *.tvkp"}},
        CommandCase{"ZenitySaveAsksBeforeOverwriting", false, FileDialogKind::Save, exportRequest(), true,
                    {kZenity, "--file-selection", "--title=Export Corvall Pattern", "--save", "--confirm-overwrite",
                     "--filename=/home/u/Tarvik/", "--file-filter=Corvall Pattern (*.pat) | *.pat"}},
        CommandCase{"ZenitySaveWithoutTheFlag", false, FileDialogKind::Save, exportRequest(), false,
                    {kZenity, "--file-selection", "--title=Export Corvall Pattern", "--save",
                     "--filename=/home/u/Tarvik/", "--file-filter=Corvall Pattern (*.pat) | *.pat"}},
        CommandCase{"ZenitySaveThatDoesNotAsk", false, FileDialogKind::Save, notAsking(exportRequest()), true,
                    {kZenity, "--file-selection", "--title=Export Corvall Pattern", "--save",
                     "--filename=/home/u/Tarvik/", "--file-filter=Corvall Pattern (*.pat) | *.pat"}},
        CommandCase{"ZenityTitleWithQuotesStaysOneArgument", false, FileDialogKind::Open,
                    withTitle(patchRequest(), "Say \"yes\" & 'go' $HOME"), true,
                    {kZenity, "--file-selection", "--title=Say \"yes\" & 'go' $HOME", "--filename=/home/u/Tarvik/",
                     "--file-filter=Tarvik (*.tvkp) | *.tvkp"}},
        CommandCase{"ZenityFolderWithBlanksAndSlash", false, FileDialogKind::Open,
                    withFolder(patchRequest(), "/home/u/My Patches/"), true,
                    {kZenity, "--file-selection", "--title=Open Tarvik Patch", "--filename=/home/u/My Patches/",
                     "--file-filter=Tarvik (*.tvkp) | *.tvkp"}},
        CommandCase{"ZenitySeveralPatterns", false, FileDialogKind::Open,
                    withFilter(patchRequest(), "Songs", "*.pat;*.rbs"), true,
                    {kZenity, "--file-selection", "--title=Open Tarvik Patch", "--filename=/home/u/Tarvik/",
                     "--file-filter=Songs | *.pat *.rbs"}},
        CommandCase{"ZenityNoFolderNoFilter", false, FileDialogKind::Open,
                    withFilter(withFolder(patchRequest(), ""), "", ""), true,
                    {kZenity, "--file-selection", "--title=Open Tarvik Patch"}},
        CommandCase{"KdialogOpenWithFilterAndFolder", true, FileDialogKind::Open, patchRequest(), true,
                    {kKdialog, "--title", "Open Tarvik Patch", "--getopenfilename", "/home/u/Tarvik/",
                     "*.tvkp|Tarvik (*.tvkp)"}},
        CommandCase{"KdialogSave", true, FileDialogKind::Save, exportRequest(), true,
                    {kKdialog, "--title", "Export Corvall Pattern", "--getsavefilename", "/home/u/Tarvik/",
                     "*.pat|Corvall Pattern (*.pat)"}},
        CommandCase{"KdialogTitleWithBlanksStaysOneArgument", true, FileDialogKind::Open,
                    withTitle(patchRequest(), "Import Rebirth RB-338 Song File"), true,
                    {kKdialog, "--title", "Import Rebirth RB-338 Song File", "--getopenfilename", "/home/u/Tarvik/",
                     "*.tvkp|Tarvik (*.tvkp)"}},
        CommandCase{"KdialogWithoutFolderStartsHere", true, FileDialogKind::Open, withFolder(patchRequest(), ""),
                    true,
                    {kKdialog, "--title", "Open Tarvik Patch", "--getopenfilename", ".", "*.tvkp|Tarvik (*.tvkp)"}}),
    rowName<CommandCase>);

// Each command line as the program's name, "+confirm" when it carries the
// overwrite flag.
std::vector<std::string> shortForms(const std::vector<CommandLine>& commands) {
    std::vector<std::string> forms;
    for (const CommandLine& c : commands) {
        std::string form = std::filesystem::path(c.front()).filename().string();
        for (const std::string& a : c)
            if (a == "--confirm-overwrite") form += "+confirm";
        forms.push_back(form);
    }
    return forms;
}

struct OrderCase {
    const char* name;
    DialogPrograms programs;
    FileDialogKind kind;
    std::vector<std::string> expected;
    friend void PrintTo(const OrderCase& row, std::ostream* out) { *out << row.name; }
};

class DialogOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(DialogOrder, TriesTheDesktopsOwnFirst) {
    const OrderCase& c = GetParam();
    const FileRequest request = c.kind == FileDialogKind::Save ? exportRequest() : patchRequest();
    EXPECT_EQ(shortForms(dialogCommands(c.programs, c.kind, request)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DialogOrder,
    ::testing::Values(OrderCase{"ZenityOpen", {kZenity, "", false}, FileDialogKind::Open, {"zenity"}},
                      OrderCase{"ZenitySaveRetriesWithoutTheFlag", {kZenity, "", false}, FileDialogKind::Save,
                                {"zenity+confirm", "zenity"}},
                      OrderCase{"KdialogOnly", {"", kKdialog, false}, FileDialogKind::Save, {"kdialog"}},
                      OrderCase{"BothZenityFirst", {kZenity, kKdialog, false}, FileDialogKind::Open,
                                {"zenity", "kdialog"}},
                      OrderCase{"BothOnKdeKdialogFirst", {kZenity, kKdialog, true}, FileDialogKind::Save,
                                {"kdialog", "zenity+confirm", "zenity"}},
                      OrderCase{"NoneInstalled", {"", "", false}, FileDialogKind::Open, {}}),
    rowName<OrderCase>);

struct MessageCase {
    const char* name;
    DialogPrograms programs;
    std::vector<CommandLine> expected;
    friend void PrintTo(const MessageCase& row, std::ostream* out) { *out << row.name; }
};

class MessageCommand : public ::testing::TestWithParam<MessageCase> {};

// The text goes as it is, markup characters and line breaks included.
TEST_P(MessageCommand, OneBoxPerProgramTheDesktopsOwnFirst) {
    EXPECT_EQ(messageCommands(GetParam().programs, "Tarvik Error", "<Skin> & more\nline two"), GetParam().expected);
}

const CommandLine kZenityMessage{kZenity, "--error", "--no-markup", "--title=Tarvik Error",
                                 "--text=<Skin> & more\nline two"};
const CommandLine kKdialogMessage{kKdialog, "--title", "Tarvik Error", "--error", "<Skin> & more\nline two"};

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageCommand,
    ::testing::Values(MessageCase{"ZenityOnly", {kZenity, "", false}, {kZenityMessage}},
                      MessageCase{"KdialogOnly", {"", kKdialog, true}, {kKdialogMessage}},
                      MessageCase{"BothZenityFirst", {kZenity, kKdialog, false}, {kZenityMessage, kKdialogMessage}},
                      MessageCase{"BothOnKdeKdialogFirst", {kZenity, kKdialog, true}, {kKdialogMessage, kZenityMessage}},
                      MessageCase{"NoneInstalled", {"", "", false}, {}}),
    rowName<MessageCase>);

struct AnswerCase {
    const char* name;
    const char* output;
    const char* path;
    friend void PrintTo(const AnswerCase& row, std::ostream* out) { *out << row.name; }
};

class ChooserOutput : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ChooserOutput, IsThePathOnItsFirstLine) { EXPECT_EQ(answeredPath(GetParam().output), GetParam().path); }

INSTANTIATE_TEST_SUITE_P(Cases, ChooserOutput,
                         ::testing::Values(AnswerCase{"PathAndLineEnd", "/home/u/a.tvkp\n", "/home/u/a.tvkp"},
                                           AnswerCase{"WithoutLineEnd", "/home/u/a.tvkp", "/home/u/a.tvkp"},
                                           AnswerCase{"BlanksKept", "/home/u/My Acid.tvkp\n", "/home/u/My Acid.tvkp"},
                                           AnswerCase{"LaterLinesIgnored", "/home/u/a.tvkp\nnoise\n", "/home/u/a.tvkp"},
                                           AnswerCase{"Nothing", "", ""}),
                         rowName<AnswerCase>);

struct LookupCase {
    const char* name;
    const char* program;
    std::vector<char> searchPath;  // the PATH entries: 'a' and 'b' for the two test folders, ' ' for an empty one
    char foundIn;                  // 'a', 'b', or 0 for not found
    friend void PrintTo(const LookupCase& row, std::ostream* out) { *out << row.name; }
};

class ProgramLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProgramLookup, FindsExecutableFilesOnly) {
    const LookupCase& c = GetParam();
    test::TempFolder a;
    test::TempFolder b;
    for (const test::TempFolder* f : {&a, &b}) test::writeFakeProgram(f->path(), "zenity", "exit 0");
    test::writeFakeProgram(b.path(), "kdialog", "exit 0");
    a.file("plain", "not a program");
    a.folder("xdg-open");
    const auto folderOf = [&](char which) {
        return which == 'a' ? a.path().string() : which == 'b' ? b.path().string() : std::string();
    };
    std::string searchPath;
    for (std::size_t i = 0; i < c.searchPath.size(); ++i) searchPath += (i > 0 ? ":" : "") + folderOf(c.searchPath[i]);
    const std::string expected = c.foundIn != 0 ? folderOf(c.foundIn) + "/" + c.program : "";
    EXPECT_EQ(findProgram(c.program, searchPath.c_str()), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramLookup,
                         ::testing::Values(LookupCase{"FirstFolderWins", "zenity", {'a', 'b'}, 'a'},
                                           LookupCase{"LaterFolder", "kdialog", {'a', 'b'}, 'b'},
                                           LookupCase{"EmptyEntriesSkipped", "kdialog", {' ', 'a', ' ', 'b', ' '}, 'b'},
                                           LookupCase{"NotExecutable", "plain", {'a', 'b'}, 0},
                                           LookupCase{"AFolderIsNoProgram", "xdg-open", {'a', 'b'}, 0},
                                           LookupCase{"Missing", "kdialog", {'a'}, 0},
                                           LookupCase{"EmptyPath", "zenity", {}, 0}),
                         rowName<LookupCase>);

}  // namespace
}  // namespace tarvik::gui

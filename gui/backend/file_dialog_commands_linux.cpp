#include <cstdlib>
#include <string_view>

#include "gui/backend/child_process_linux.h"
#include "gui/backend/file_dialog_linux.h"

namespace tarvik::gui {

namespace {

// Both programs separate several patterns with blanks.
std::string blankSeparated(std::string patterns) {
    for (char& c : patterns)
        if (c == ';') c = ' ';
    return patterns;
}

std::string withTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

DialogPrograms findDialogPrograms() {
    const char* path = std::getenv("PATH");
    DialogPrograms programs{findProgram("zenity", path), findProgram("kdialog", path), false};
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    programs.kdeDesktop = desktop && std::string_view(desktop).find("KDE") != std::string_view::npos;
    return programs;
}

CommandLine zenityCommand(const std::string& program, FileDialogKind kind, const FileRequest& request,
                          bool confirmFlag) {
    CommandLine command{program, "--file-selection", "--title=" + request.title};
    if (kind == FileDialogKind::Save) {
        command.emplace_back("--save");
        if (confirmFlag && request.confirmOverwrite) command.emplace_back("--confirm-overwrite");
    }
    // A folder name ending in '/' makes zenity start inside that folder.
    if (!request.folder.empty()) command.push_back("--filename=" + withTrailingSlash(request.folder));
    if (!request.filterPattern.empty()) {
        const std::string& name = request.filterText.empty() ? request.filterPattern : request.filterText;
        command.push_back("--file-filter=" + name + " | " + blankSeparated(request.filterPattern));
    }
    return command;
}

// kdialog takes the starting folder and the filter as the values that follow
// its mode; the filter reads "patterns|description".
CommandLine kdialogCommand(const std::string& program, FileDialogKind kind, const FileRequest& request) {
    CommandLine command{program, "--title", request.title};
    command.emplace_back(kind == FileDialogKind::Save ? "--getsavefilename" : "--getopenfilename");
    command.push_back(request.folder.empty() ? std::string(".") : withTrailingSlash(request.folder));
    if (!request.filterPattern.empty()) {
        const std::string& name = request.filterText.empty() ? request.filterPattern : request.filterText;
        command.push_back(blankSeparated(request.filterPattern) + "|" + name);
    }
    return command;
}

std::vector<CommandLine> dialogCommands(const DialogPrograms& programs, FileDialogKind kind,
                                        const FileRequest& request) {
    std::vector<CommandLine> zenity;
    if (!programs.zenity.empty()) {
        zenity.push_back(zenityCommand(programs.zenity, kind, request, true));
        if (kind == FileDialogKind::Save && request.confirmOverwrite)
            zenity.push_back(zenityCommand(programs.zenity, kind, request, false));
    }
    std::vector<CommandLine> kdialog;
    if (!programs.kdialog.empty()) kdialog.push_back(kdialogCommand(programs.kdialog, kind, request));

    std::vector<CommandLine>& first = programs.kdeDesktop ? kdialog : zenity;
    std::vector<CommandLine>& second = programs.kdeDesktop ? zenity : kdialog;
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::vector<CommandLine> messageCommands(const DialogPrograms& programs, const std::string& title,
                                         const std::string& text) {
    std::vector<CommandLine> commands;
    if (!programs.zenity.empty())
        commands.push_back({programs.zenity, "--error", "--no-markup", "--title=" + title, "--text=" + text});
    if (!programs.kdialog.empty()) {
        const auto at = programs.kdeDesktop ? commands.begin() : commands.end();
        commands.insert(at, CommandLine{programs.kdialog, "--title", title, "--error", text});
    }
    return commands;
}

std::string answeredPath(const std::string& output) { return output.substr(0, output.find('\n')); }

}  // namespace tarvik::gui

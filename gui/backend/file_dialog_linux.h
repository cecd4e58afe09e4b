// The desktop's own file choosers and message boxes as command lines:
// zenity (GNOME and most other desktops) and kdialog (KDE). Each argument is
// one element, handed to the program without a shell, so titles, texts and
// folders with blanks or quotes arrive as they are.
#pragma once

#include <string>
#include <vector>

#include "gui/toolkit/file_request.h"

namespace tarvik::gui {

using CommandLine = std::vector<std::string>;

// The chooser programs found (full paths; empty when missing).
struct DialogPrograms {
    std::string zenity;
    std::string kdialog;
    bool kdeDesktop = false;  // KDE users expect kdialog first
};

// Looks both programs up on PATH; the desktop from XDG_CURRENT_DESKTOP.
DialogPrograms findDialogPrograms();

// `confirmFlag` adds --confirm-overwrite to a save that asks before
// overwriting.
CommandLine zenityCommand(const std::string& program, FileDialogKind kind, const FileRequest& request,
                          bool confirmFlag);
CommandLine kdialogCommand(const std::string& program, FileDialogKind kind, const FileRequest& request);

// The command lines to try in turn, each after the one before failed to show
// a chooser (an exit other than 0 for a choice and 1 for cancel). zenity
// 3.91 refuses --confirm-overwrite (later ones accept and ignore it, their
// chooser always asks), so a save that asks is tried with it, then without.
std::vector<CommandLine> dialogCommands(const DialogPrograms& programs, FileDialogKind kind,
                                        const FileRequest& request);

// A message box with one OK button, for each program found, the desktop's
// own first. zenity is told to show the text as it is: it would read '<'
// and '&' as markup.
std::vector<CommandLine> messageCommands(const DialogPrograms& programs, const std::string& title,
                                         const std::string& text);

// The path a chooser printed: its first line; empty when it printed none.
std::string answeredPath(const std::string& output);

}  // namespace tarvik::gui

// The editor's file choices, as users of each platform expect them: the
// Windows open and save dialogs; on Linux the desktop's own chooser (zenity
// or kdialog) in a child process, or, where neither is installed, a chooser
// drawn in the frame. None holds up the host: the answer comes only through
// the callback, before open()/save() returns on Windows, from a later idle
// pass or the user's click on Linux.
//
// Testing seam: when the environment variable TARVIK_FILE_DIALOG_ANSWER is
// set (not empty), no dialog appears at all; the next idle pass answers the
// request with the variable's text as the chosen path ("cancel" answers
// cancelled). A save still gives the name the default extension, as the
// dialogs do; nothing checks that the path exists, so tests can also drive
// the failures that follow a bad choice. Tests and scripted hosts use it to
// drive the built plug-in.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/toolkit/controls/file_chooser.h"
#include "gui/toolkit/controls/question_panel.h"
#include "gui/toolkit/file_request.h"
#include "gui/toolkit/frame.h"
#include "gui/toolkit/native_file_dialogs.h"

namespace tarvik::gui {

class FileDialogs {
public:
    // The chosen path, or nullopt when the user cancelled (or the request
    // was refused).
    using Answer = std::function<void(std::optional<std::string> path)>;

    static constexpr const char* kScriptedAnswerVariable = "TARVIK_FILE_DIALOG_ANSWER";
    static constexpr const char* kScriptedCancel = "cancel";

    // `parentWindow` is the host's window (owner of the Windows dialogs);
    // the in-frame chooser and questions go into `frame`, which must outlive
    // this object: the editor destroys it before its frame.
    FileDialogs(Frame& frame, void* parentWindow);
    // A chooser still showing goes away unanswered: its callback never runs.
    ~FileDialogs();
    FileDialogs(const FileDialogs&) = delete;
    FileDialogs& operator=(const FileDialogs&) = delete;

    // Each answers exactly once. A request while another one is still
    // open is refused (answered nullopt at once) rather than queued.
    void open(const FileRequest& request, Answer answer);
    void save(const FileRequest& request, Answer answer);

    // Shows text files to the user: the system's text editor on Windows,
    // xdg-open on Linux. Returns at once; false when no viewer could be
    // started.
    bool viewFiles(const std::vector<std::string>& paths);

    // Every idle pass of the editor: collects a child chooser's answer and
    // finished viewers, and delivers a scripted answer.
    void idle();
    // A scripted answer waits for the next idle to be delivered.
    bool answerDue() const { return scripted_.has_value(); }
    // A request is open (a dialog or the in-frame chooser is showing, or an
    // answer waits for the next idle).
    bool busy() const { return answer_ != nullptr; }

    // Keys go here right after the editor's own questions: while the
    // in-frame chooser or its question is open it takes them all.
    bool handleKey(const KeyEvent& key);
    // Whether handleKey takes every key now.
    bool takesKeys() const { return (question_ && question_->isOpen()) || (chooser_ && chooser_->isOpen()); }

    // The in-frame chooser, once one was needed (for tests).
    const FileChooser* chooser() const { return chooser_; }
    // The question asked when a name given the default extension by us
    // names an existing file.
    const QuestionPanel* question() const { return question_; }

private:
    void begin(FileDialogKind kind, const FileRequest& request, Answer answer);
    void nativeReplied(NativeChoice choice, const std::string& path);
    void chosen(const std::string& path);
    void deliver(std::optional<std::string> path);
    FileChooser& chooserView();

    Frame& frame_;
    NativeFileDialogs native_;
    FileChooser* chooser_ = nullptr;     // owned by the frame, made on first use
    QuestionPanel* question_ = nullptr;  // owned by the frame, made on first use

    FileDialogKind kind_ = FileDialogKind::Open;
    FileRequest request_;
    Answer answer_;
    std::optional<std::string> scripted_;  // waits for the next idle pass
};

}  // namespace tarvik::gui

// The window system's own file choosers and text viewer, one implementation
// per platform beside its window backend. On Windows the common open and
// save dialogs, owned by the host's window, answer before choose() returns
// (their own message loop keeps the host painting and idling). On Linux the
// desktop's chooser (zenity, else kdialog) runs as a child process: choose()
// returns at once and poll(), called at every idle pass, reads its answer;
// nothing ever waits for the user on the host's GUI thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/toolkit/file_request.h"

namespace tarvik::gui {

enum class NativeChoice {
    Chosen,       // the path names the file the user chose
    Cancelled,    // the user closed the dialog without a choice
    Unavailable,  // no chooser could be shown: the caller offers its own
};

class NativeFileDialogs {
public:
    // `path` is empty unless the choice is Chosen.
    using Reply = std::function<void(NativeChoice choice, const std::string& path)>;

    // `parentWindow` is the host's window (the owner of Windows dialogs).
    explicit NativeFileDialogs(void* parentWindow);
    // Ends a chooser still showing; its reply is never heard.
    ~NativeFileDialogs();
    NativeFileDialogs(const NativeFileDialogs&) = delete;
    NativeFileDialogs& operator=(const NativeFileDialogs&) = delete;

    // `reply` is heard exactly once, from inside this call or from a later
    // poll(). Callers ask only while !busy().
    void choose(FileDialogKind kind, const FileRequest& request, Reply reply);
    // Collects finished child processes and the answer of a chooser that
    // closed; never waits.
    void poll();
    // A chooser is showing.
    bool busy() const;
    // Opens each file in the system's text viewer; false when none could be
    // started (there is none).
    bool view(const std::vector<std::string>& paths);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tarvik::gui

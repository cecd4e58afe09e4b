// The desktop's chooser runs as a child process: the request starts it and
// returns, and each idle pass looks whether it has answered. A chooser that
// fails to show (an exit code other than 0 for a choice and 1 for cancel)
// gives way to the next command line, and after the last one to the
// editor's own chooser.
#include <sys/stat.h>

#include <cstdlib>
#include <deque>
#include <utility>

#include "gui/backend/child_process_linux.h"
#include "gui/backend/file_dialog_linux.h"
#include "gui/toolkit/native_file_dialogs.h"

namespace tarvik::gui {

namespace {

constexpr int kChosen = 0;
constexpr int kCancelled = 1;

bool isRegularFile(const std::string& path) {
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

struct NativeFileDialogs::State {
    std::unique_ptr<ChildProcess> dialog;
    std::deque<CommandLine> untried;
    FileDialogKind kind = FileDialogKind::Open;
    bool mustExist = false;
    Reply reply;
    std::vector<std::unique_ptr<ChildProcess>> viewers;

    ~State() {
        // A viewer opened for the user goes on; a chooser nobody will hear
        // ends with the editor (the dialog's destructor kills it).
        for (auto& viewer : viewers) viewer->release();
    }

    // Starts the next command line that starts at all; false when none is left.
    bool startNext() {
        while (!untried.empty()) {
            dialog = ChildProcess::start(untried.front(), true);
            untried.pop_front();
            if (dialog) return true;
        }
        return false;
    }

    // Ends the request before the reply runs, so that the reply may ask again.
    void finish(NativeChoice choice, const std::string& path) {
        Reply heard = std::move(reply);
        reply = nullptr;
        dialog.reset();
        untried.clear();
        if (heard) heard(choice, path);
    }

    void answered() {
        const std::optional<int> code = dialog->exitCode();
        const std::string path = answeredPath(dialog->output());
        // Without an exit code the chooser was killed, or the host collected
        // it first: what it printed is all there is to go by.
        const bool chosen = code ? *code == kChosen : !path.empty();
        const bool cancelled = code ? *code == kCancelled : path.empty();
        if (chosen && !path.empty() && (kind == FileDialogKind::Save || !mustExist || isRegularFile(path))) {
            finish(NativeChoice::Chosen, path);
        } else if (chosen || cancelled) {
            finish(NativeChoice::Cancelled, {});
        } else if (!startNext()) {
            finish(NativeChoice::Unavailable, {});
        }
    }
};

NativeFileDialogs::NativeFileDialogs(void* /*parentWindow*/) : state_(std::make_unique<State>()) {}

NativeFileDialogs::~NativeFileDialogs() = default;

void NativeFileDialogs::choose(FileDialogKind kind, const FileRequest& request, Reply reply) {
    if (busy()) {
        if (reply) reply(NativeChoice::Cancelled, {});
        return;
    }
    State& s = *state_;
    const std::vector<CommandLine> commands = dialogCommands(findDialogPrograms(), kind, request);
    s.untried.assign(commands.begin(), commands.end());
    s.kind = kind;
    s.mustExist = request.mustExist;
    s.reply = std::move(reply);
    if (!s.startNext()) s.finish(NativeChoice::Unavailable, {});
}

void NativeFileDialogs::poll() {
    reapStrays();
    State& s = *state_;
    std::erase_if(s.viewers, [](const auto& viewer) { return viewer->poll(); });
    if (s.dialog && s.dialog->poll()) s.answered();
}

bool NativeFileDialogs::busy() const { return state_->dialog != nullptr; }

bool NativeFileDialogs::view(const std::vector<std::string>& paths) {
    const std::string opener = findProgram("xdg-open", std::getenv("PATH"));
    if (opener.empty()) return false;
    bool started = false;
    for (const std::string& path : paths) {
        if (auto viewer = ChildProcess::start({opener, path}, false)) {
            state_->viewers.push_back(std::move(viewer));
            started = true;
        }
    }
    return started;
}

}  // namespace tarvik::gui

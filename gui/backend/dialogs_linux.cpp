// Linux has no message box that leaves the host's GUI thread free (a modal
// loop of our own would stop the host's idle and painting): questions are
// drawn inside the editor's frame instead. Where no frame could be made, the
// desktop's own message box runs as a child process that nobody waits for.
#include <cstdio>
#include <cstdlib>

#include "gui/backend/child_process_linux.h"
#include "gui/backend/file_dialog_linux.h"
#include "gui/toolkit/native_dialogs.h"
#include "gui/toolkit/platform_window.h"

namespace tarvik::gui {

std::optional<bool> askNative(void* /*parent*/, const std::string& /*title*/, const std::string& /*text*/) {
    return std::nullopt;
}

bool tellNative(void* /*parent*/, const std::string& /*title*/, const std::string& /*text*/) { return false; }

// The box goes on by itself once started; the strays of earlier reports are
// collected here, as at every idle pass of an open editor.
void reportOpenFailure(void* /*parent*/, const std::string& title, const std::string& text) {
    reapStrays();
    for (const CommandLine& command : messageCommands(findDialogPrograms(), title, text)) {
        if (const std::unique_ptr<ChildProcess> box = ChildProcess::start(command, false)) {
            box->release();
            return;
        }
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

}  // namespace tarvik::gui

// Linux has no message box that leaves the host's GUI thread free (a modal
// loop of our own would stop the host's idle and painting): questions are
// drawn inside the editor's frame instead.
#include "gui/toolkit/native_dialogs.h"

namespace tarvik::gui {

std::optional<bool> askNative(void* /*parent*/, const std::string& /*title*/, const std::string& /*text*/) {
    return std::nullopt;
}

bool tellNative(void* /*parent*/, const std::string& /*title*/, const std::string& /*text*/) { return false; }

}  // namespace tarvik::gui

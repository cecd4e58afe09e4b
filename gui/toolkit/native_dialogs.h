// Questions and messages in the window system's own boxes, where that does
// not hold up the host: on Windows a message box owned by the host's window
// (its own message loop keeps the host's windows painting and idling); on
// Linux there is none, and the caller draws the question inside its frame.
// One implementation per platform, beside its window backend.
#pragma once

#include <optional>
#include <string>

namespace tarvik::gui {

// A Yes/No box owned by `parent` (an HWND); the answer, or nullopt where
// there are no native boxes.
std::optional<bool> askNative(void* parent, const std::string& title, const std::string& text);
// An OK box owned by `parent`; false where there are no native boxes.
bool tellNative(void* parent, const std::string& title, const std::string& text);

}  // namespace tarvik::gui

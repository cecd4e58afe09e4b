#include "gui/editor/dialogs.h"

#include <memory>

#include "gui/toolkit/native_dialogs.h"

namespace tarvik::gui {

QuestionPanel& Dialogs::panel() {
    if (!panel_) panel_ = &frame_.add(std::make_unique<QuestionPanel>(frame_.rect()));
    return *panel_;
}

void Dialogs::ask(const std::string& title, const std::string& text, std::function<void(bool yes)> answer) {
    if (const std::optional<bool> yes = askNative(parent_, title, text)) {
        if (answer) answer(*yes);
        return;
    }
    panel().ask(title, text, std::move(answer));
}

void Dialogs::tell(const std::string& title, const std::string& text) {
    if (tellNative(parent_, title, text)) return;
    panel().tell(title, text);
}

bool Dialogs::handleKey(const KeyEvent& key) { return panel_ && panel_->onKeyDown(key); }

}  // namespace tarvik::gui

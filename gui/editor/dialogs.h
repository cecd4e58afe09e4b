// The editor's Yes/No questions and messages. None of them holds up the
// host: on Windows a message box owned by the host's window answers at once
// (the callback runs before ask returns); on Linux the question is drawn in
// the frame and the callback runs later, when the user clicks or presses
// Return or Escape, while the host's idle keeps going.
#pragma once

#include <functional>
#include <string>

#include "gui/toolkit/controls/question_panel.h"
#include "gui/toolkit/frame.h"

namespace tarvik::gui {

// The title of the editor's questions and messages.
inline constexpr const char* kProductTitle = "Sonvarde Kelvane Pro";

class Dialogs {
public:
    // `parentWindow` is the host's window (owner of native boxes); in-panel
    // questions go into `frame`, which must outlive every call made here.
    Dialogs(Frame& frame, void* parentWindow) : frame_(frame), parent_(parentWindow) {}

    // `answer` hears true for Yes, false for No, exactly once.
    void ask(const std::string& title, const std::string& text, std::function<void(bool yes)> answer);
    void tell(const std::string& title, const std::string& text);

    // Keys go here before the editor's shortcuts: while an in-panel question
    // is open it takes them all.
    bool handleKey(const KeyEvent& key);
    bool questionOpen() const { return panel_ && panel_->isOpen(); }

private:
    QuestionPanel& panel();

    Frame& frame_;
    void* parent_;
    QuestionPanel* panel_ = nullptr;  // owned by the frame, made on first use
};

}  // namespace tarvik::gui

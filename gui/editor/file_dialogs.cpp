#include "gui/editor/file_dialogs.h"

#include <cstdlib>
#include <memory>
#include <utility>

namespace tarvik::gui {

FileDialogs::FileDialogs(Frame& frame, void* parentWindow) : frame_(frame), native_(parentWindow) {}

FileDialogs::~FileDialogs() {
    answer_ = nullptr;
    if (chooser_) chooser_->dismiss();
    // An open question would answer into this object once it is gone.
    if (question_ && question_->isOpen()) frame_.remove(*question_);
}

void FileDialogs::open(const FileRequest& request, Answer answer) {
    begin(FileDialogKind::Open, request, std::move(answer));
}

void FileDialogs::save(const FileRequest& request, Answer answer) {
    begin(FileDialogKind::Save, request, std::move(answer));
}

void FileDialogs::begin(FileDialogKind kind, const FileRequest& request, Answer answer) {
    if (!answer) answer = [](std::optional<std::string>) {};
    if (busy()) {
        answer(std::nullopt);
        return;
    }
    kind_ = kind;
    request_ = request;
    answer_ = std::move(answer);
    if (const char* script = std::getenv(kScriptedAnswerVariable); script && *script) {
        scripted_ = script;
        return;
    }
    native_.choose(kind, request, [this](NativeChoice choice, const std::string& path) {
        nativeReplied(choice, path);
    });
}

void FileDialogs::nativeReplied(NativeChoice choice, const std::string& path) {
    switch (choice) {
        case NativeChoice::Chosen: chosen(path); break;
        case NativeChoice::Cancelled: deliver(std::nullopt); break;
        case NativeChoice::Unavailable:
            chooserView().open(kind_, request_, [this](std::optional<std::string> p) { deliver(std::move(p)); });
            break;
    }
}

// A desktop chooser checked the name the user gave it before overwriting;
// when the default extension made it another name, an existing file of that
// name has not been asked about yet.
void FileDialogs::chosen(const std::string& path) {
    if (kind_ != FileDialogKind::Save) {
        deliver(path);
        return;
    }
    const std::string named = withDefaultExtension(path, request_.defaultExtension);
    if (named == path || !request_.confirmOverwrite || !isFile(named)) {
        deliver(named);
        return;
    }
    if (!question_) question_ = &frame_.add(std::make_unique<QuestionPanel>(frame_.rect()));
    const std::string name = named.substr(named.find_last_of("/\\") + 1);
    question_->ask(request_.title, name + " already exists.\nDo you want to replace it?",
                   [this, named](bool yes) { deliver(yes ? std::optional<std::string>(named) : std::nullopt); });
}

// The request ends before the answer runs, so that the answer may ask again.
void FileDialogs::deliver(std::optional<std::string> path) {
    Answer heard = std::move(answer_);
    answer_ = nullptr;
    if (heard) heard(std::move(path));
}

bool FileDialogs::viewFiles(const std::vector<std::string>& paths) { return native_.view(paths); }

void FileDialogs::idle() {
    native_.poll();
    if (!scripted_) return;
    std::string path = std::move(*scripted_);
    scripted_.reset();
    if (path == kScriptedCancel) {
        deliver(std::nullopt);
        return;
    }
    if (kind_ == FileDialogKind::Save) path = withDefaultExtension(path, request_.defaultExtension);
    deliver(path);
}

bool FileDialogs::handleKey(const KeyEvent& key) {
    if (question_ && question_->isOpen()) return question_->onKeyDown(key);
    return chooser_ && chooser_->onKeyDown(key);
}

FileChooser& FileDialogs::chooserView() {
    if (!chooser_) chooser_ = &frame_.add(std::make_unique<FileChooser>(frame_.rect()));
    return *chooser_;
}

}  // namespace tarvik::gui

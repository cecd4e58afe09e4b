#include "gui/toolkit/controls/file_chooser.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "gui/toolkit/container.h"
#include "gui/toolkit/text_layout.h"

namespace tarvik::gui {

namespace {

// Characters no file name may hold on either platform.
constexpr std::string_view kForbidden = "/\\:*?\"<>|";

}  // namespace

FileChooser::FileChooser(const Rect& frameArea) : View(frameArea) { setVisible(false); }

void FileChooser::open(FileDialogKind kind, const FileRequest& request, Answer answer) {
    dismiss();
    kind_ = kind;
    request_ = request;
    answer_ = std::move(answer);
    open_ = true;
    name_.clear();
    pressed_ = Pressed::None;
    showFolder(startingFolder(request.folder));
    raise();
    setVisible(true);
    invalid();
}

void FileChooser::dismiss() {
    ++generation_;
    if (question_ && question_->isOpen()) {
        // Its answer would reach a request that has gone; the question goes too.
        if (Container* owner = question_->parent()) owner->remove(*question_);
        question_ = nullptr;
    }
    answer_ = nullptr;
    open_ = false;
    pressed_ = Pressed::None;
    setVisible(false);
}

// The answer runs after the chooser closed, so that it may open it again.
void FileChooser::finish(std::optional<std::string> path) {
    if (!open_) return;
    Answer heard = std::move(answer_);
    dismiss();
    if (heard) heard(std::move(path));
}

// Views added after this one would lie on top of the backdrop.
void FileChooser::raise() {
    Container* owner = parent();
    if (!owner || owner->children().back().get() == this) return;
    if (std::unique_ptr<View> self = owner->remove(*this)) owner->add(std::move(self));
}

void FileChooser::showFolder(const std::string& folder) {
    folder_ = cleanFolder(folder);
    entries_ = listFolder(folder_, request_.filterPattern);
    selected_ = -1;
    first_ = 0;
    invalid();
}

int FileChooser::rowsShown() const { return std::max(1, listArea().height() / kRowHeight); }

void FileChooser::scrollTo(int first) {
    const int last = std::max(0, static_cast<int>(entries_.size()) - rowsShown());
    first = std::clamp(first, 0, last);
    if (first == first_) return;
    first_ = first;
    invalidRect(listArea());
}

void FileChooser::select(int index) {
    if (entries_.empty()) return;
    index = std::clamp(index, 0, static_cast<int>(entries_.size()) - 1);
    selected_ = index;
    if (index < first_) scrollTo(index);
    if (index >= first_ + rowsShown()) scrollTo(index - rowsShown() + 1);
    const FolderEntry& entry = entries_[static_cast<std::size_t>(index)];
    if (kind_ == FileDialogKind::Save && !entry.folder) name_ = entry.name;
    invalidRect(box());
}

void FileChooser::activate(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return;
    const FolderEntry& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.folder) {
        showFolder(entry.name == ".." ? parentFolder(folder_) : joinPath(folder_, entry.name));
        return;
    }
    if (kind_ == FileDialogKind::Save) {
        name_ = entry.name;
        save();
        return;
    }
    const std::string path = joinPath(folder_, entry.name);
    if (isFile(path))
        finish(path);
    else
        showFolder(folder_);  // gone meanwhile: show what is there now
}

// OK: a selected folder opens; otherwise the selected file (opening) or the
// typed name (saving) is the answer.
void FileChooser::accept() {
    if (selected_ >= 0 && entries_[static_cast<std::size_t>(selected_)].folder) {
        activate(selected_);
        return;
    }
    if (kind_ == FileDialogKind::Save)
        save();
    else if (selected_ >= 0)
        activate(selected_);
}

void FileChooser::save() {
    std::string typed = name_;
    while (!typed.empty() && typed.back() == ' ') typed.pop_back();
    while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
    if (typed.empty()) return;
    // A typed folder name opens that folder, as desktop choosers do.
    if (const std::string named = joinPath(folder_, typed); isFolder(named)) {
        name_.clear();
        showFolder(named);
        return;
    }
    const std::string path = withDefaultExtension(joinPath(folder_, typed), request_.defaultExtension);
    if (request_.confirmOverwrite && isFile(path) && parent()) {
        askOverwrite(path);
        return;
    }
    finish(path);
}

void FileChooser::askOverwrite(const std::string& path) {
    if (!question_) question_ = &parent()->add(std::make_unique<QuestionPanel>(rect()));
    std::string shown = path.substr(folder_.size());
    while (!shown.empty() && (shown.front() == '/' || shown.front() == '\\')) shown.erase(shown.begin());
    const unsigned asked = generation_;
    question_->ask(request_.title, shown + " already exists.\nDo you want to replace it?",
                   [this, asked, path](bool yes) {
                       if (yes && open_ && asked == generation_) finish(path);
                   });
}

Rect FileChooser::box() const {
    const Rect& r = rect();
    const int width = std::min(kBoxWidth, r.width() - 2 * kFrameMargin);
    const int height = std::min(kBoxHeight, r.height() - 2 * kFrameMargin);
    const Point c = r.centre();
    return Rect::sized(c.x - width / 2, c.y - height / 2, width, height);
}

Rect FileChooser::okButton() const {
    const Rect b = box();
    return {b.right - kMargin - kButtonWidth, b.bottom - kMargin - kButtonHeight, b.right - kMargin,
            b.bottom - kMargin};
}

Rect FileChooser::cancelButton() const { return okButton().offset(-(kButtonWidth + kGap), 0); }

Rect FileChooser::nameField() const {
    if (kind_ != FileDialogKind::Save) return {};
    const Rect b = box();
    const int bottom = okButton().top - kGap;
    return {b.left + kMargin + kLabelWidth, bottom - kFieldHeight, b.right - kMargin, bottom};
}

Rect FileChooser::titleLine() const {
    const Rect b = box();
    return {b.left + kMargin, b.top + kMargin - 4, b.right - kMargin, b.top + kMargin - 4 + kTitleHeight};
}

Rect FileChooser::folderLine() const {
    const Rect title = titleLine();
    return {title.left, title.bottom + 2, title.right, title.bottom + 2 + kFolderHeight};
}

Rect FileChooser::listArea() const {
    const Rect b = box();
    const int top = folderLine().bottom + 6;
    const int bottom = (kind_ == FileDialogKind::Save ? nameField().top : okButton().top) - kGap;
    return {b.left + kMargin, top, b.right - kMargin, std::max(top + kRowHeight, bottom)};
}

Rect FileChooser::scrollbar() const {
    const Rect list = listArea();
    return {list.right - kScrollbarWidth, list.top, list.right, list.bottom};
}

Rect FileChooser::rowRect(int index) const {
    if (index < first_ || index >= first_ + rowsShown() || index >= static_cast<int>(entries_.size())) return {};
    const Rect list = listArea();
    const int top = list.top + (index - first_) * kRowHeight;
    return {list.left, top, list.right - kScrollbarWidth - 2, top + kRowHeight};
}

FileChooser::Pressed FileChooser::buttonAt(Point p) const {
    if (okButton().contains(p)) return Pressed::Ok;
    if (cancelButton().contains(p)) return Pressed::Cancel;
    return Pressed::None;
}

MouseResult FileChooser::onMouseDown(const MouseEvent& event) {
    if (!isOpen()) return MouseResult::Ignored;
    if ((event.buttons & button::kLeft) == 0) return MouseResult::Handled;
    pressed_ = buttonAt(event.where);
    if (pressed_ != Pressed::None) {
        pressInside_ = true;
        invalidRect(box());
        return MouseResult::Captured;
    }
    if (scrollbar().contains(event.where)) {
        // A click in the track turns a page towards it.
        const int rows = rowsShown();
        const Rect list = listArea();
        const int total = std::max(1, static_cast<int>(entries_.size()));
        const int thumbTop = list.top + list.height() * first_ / total;
        scrollTo(first_ + (event.where.y < thumbTop ? -rows : rows));
        return MouseResult::Handled;
    }
    for (int i = first_; i < first_ + rowsShown(); ++i) {
        if (!rowRect(i).contains(event.where)) continue;
        if (i == selected_)
            activate(i);
        else
            select(i);
        break;
    }
    return MouseResult::Handled;  // the backdrop swallows the rest
}

void FileChooser::onMouseMoved(const MouseEvent& event) {
    if (pressed_ == Pressed::None) return;
    const bool inside = buttonAt(event.where) == pressed_;
    if (inside == pressInside_) return;
    pressInside_ = inside;
    invalidRect(box());
}

// A press counts when it is released over the button it began on.
void FileChooser::onMouseUp(const MouseEvent& event) {
    const Pressed which = pressed_;
    pressed_ = Pressed::None;
    if (which == Pressed::None) return;
    invalidRect(box());
    if (buttonAt(event.where) != which) return;
    if (which == Pressed::Ok)
        accept();
    else
        finish(std::nullopt);
}

bool FileChooser::onWheel(const MouseEvent& /*event*/, double distance) {
    if (!isOpen()) return false;
    const int notches = distance > 0.0 ? -1 : distance < 0.0 ? 1 : 0;
    scrollTo(first_ + notches * kWheelRows);
    return true;
}

bool FileChooser::onKeyDown(const KeyEvent& event) {
    if (!isOpen()) return false;
    if (questionOpen()) return question_->onKeyDown(event);
    const int last = static_cast<int>(entries_.size()) - 1;
    switch (event.virtualKey) {
        case vkey::kReturn: accept(); break;
        case vkey::kEscape: finish(std::nullopt); break;
        case vkey::kUp: select(selected_ < 0 ? 0 : selected_ - 1); break;
        case vkey::kDown: select(selected_ + 1); break;
        case vkey::kPageUp: select(std::max(0, selected_ - rowsShown())); break;
        case vkey::kPageDown: select(std::min(last, std::max(0, selected_) + rowsShown())); break;
        case vkey::kHome: select(0); break;
        case vkey::kEnd: select(last); break;
        case vkey::kBack:
            if (kind_ == FileDialogKind::Save && !name_.empty()) {
                while (!name_.empty() && isUtf8Continuation(name_.back())) name_.pop_back();
                if (!name_.empty()) name_.pop_back();
                selected_ = -1;
                invalidRect(box());
            }
            break;
        default: typeCharacter(event); break;
    }
    return true;  // modal: no shortcut of the panel beneath runs
}

// Keys arrive as the unshifted key, letters in lower case; Shift gives the
// capital. Shortcut chords type nothing.
void FileChooser::typeCharacter(const KeyEvent& event) {
    if (kind_ != FileDialogKind::Save) return;
    if ((event.modifiers & (modifier::kControl | modifier::kAlt)) != 0) return;
    int c = event.virtualKey == vkey::kSpace ? ' ' : event.character;
    if (c < 0x20 || c > 0x7e || (event.virtualKey != 0 && event.virtualKey != vkey::kSpace)) return;
    if (kForbidden.find(static_cast<char>(c)) != std::string_view::npos || name_.size() >= kNameLimit) return;
    if ((event.modifiers & modifier::kShift) != 0 && c >= 'a' && c <= 'z') c = c - 'a' + 'A';
    name_ += static_cast<char>(c);
    selected_ = -1;
    invalidRect(box());
}

}  // namespace tarvik::gui

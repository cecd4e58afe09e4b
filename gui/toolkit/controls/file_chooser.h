// A file chooser drawn inside the frame, for systems without a chooser of
// their own that leaves the host's GUI thread free: nothing waits in a loop,
// the answer arrives through a callback when the user is done.
//
// It shows the title, the current folder, a scrollable list of the folder's
// sub-folders and matching files (".." to go up) and, when saving, a field
// for the name; OK and Cancel below. A click selects a row, a click on the
// selected row opens a folder or takes a file; Return does what OK does
// (opening a selected folder first), Escape cancels. While open a backdrop
// covers the whole frame and takes every click and wheel turn; the owner
// offers it the keys first, and it takes them all.
//
// Saving gives a typed name without an extension the request's default one,
// and asks before replacing an existing file when the request says so (a
// question panel it adds beside itself); opening takes only existing files.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/toolkit/controls/question_panel.h"
#include "gui/toolkit/file_listing.h"
#include "gui/toolkit/file_request.h"
#include "gui/toolkit/view.h"

namespace tarvik::gui {

class FileChooser : public View {
public:
    // The chosen path, or nullopt when cancelled.
    using Answer = std::function<void(std::optional<std::string> path)>;

    static constexpr int kBoxWidth = 460;
    static constexpr int kBoxHeight = 360;
    static constexpr int kRowHeight = 18;
    static constexpr int kButtonWidth = 84;
    static constexpr int kButtonHeight = 26;
    static constexpr int kFieldHeight = 22;
    static constexpr int kScrollbarWidth = 8;
    static constexpr std::size_t kNameLimit = 255;  // bytes, as most file systems allow
    static constexpr int kWheelRows = 3;

    // Covers `frameArea` (the whole frame); hidden until opened.
    explicit FileChooser(const Rect& frameArea);

    // Shows the chooser (in front of every other view of its parent);
    // `answer` is heard exactly once unless dismiss() comes first. Opening
    // while open replaces the request, whose answer is then never heard.
    void open(FileDialogKind kind, const FileRequest& request, Answer answer);
    // Closes without an answer (the owner is going away).
    void dismiss();

    bool isOpen() const { return open_; }
    FileDialogKind kind() const { return kind_; }
    const FileRequest& request() const { return request_; }
    const std::string& folder() const { return folder_; }
    const std::vector<FolderEntry>& entries() const { return entries_; }
    int selected() const { return selected_; }  // -1 for none
    const std::string& name() const { return name_; }
    int firstShown() const { return first_; }
    int rowsShown() const;
    // The overwrite question is showing.
    bool questionOpen() const { return question_ && question_->isOpen(); }
    const QuestionPanel* question() const { return question_; }

    // Where things are, in frame coordinates. rowRect is empty for a row
    // scrolled out of sight; nameField is empty when opening.
    Rect box() const;
    Rect listArea() const;
    Rect rowRect(int index) const;
    Rect nameField() const;
    Rect okButton() const;
    Rect cancelButton() const;

    bool hitTest(Point p) const override { return isOpen() && rect().contains(p); }
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;
    bool onKeyDown(const KeyEvent& event) override;
    void draw(DrawContext& context) override;

private:
    enum class Pressed { None, Ok, Cancel };

    static constexpr int kMargin = 14;       // inside the box
    static constexpr int kFrameMargin = 16;  // around the box
    static constexpr int kTitleHeight = 20;
    static constexpr int kFolderHeight = 16;
    static constexpr int kGap = 8;
    static constexpr int kLabelWidth = 48;  // "Name:" before the field
    static constexpr int kTextInset = 6;

    void showFolder(const std::string& folder);
    void select(int index);
    void activate(int index);
    void accept();
    void save();
    void askOverwrite(const std::string& path);
    void finish(std::optional<std::string> path);
    void scrollTo(int first);
    void raise();
    void typeCharacter(const KeyEvent& event);
    Pressed buttonAt(Point p) const;
    Rect scrollbar() const;
    Rect titleLine() const;
    Rect folderLine() const;
    void drawList(DrawContext& context);
    void drawNameField(DrawContext& context);
    void drawButton(DrawContext& context, const Rect& r, std::string_view label, bool isDefault, bool down);

    FileDialogKind kind_ = FileDialogKind::Open;
    FileRequest request_;
    Answer answer_;
    bool open_ = false;
    std::string folder_;
    std::vector<FolderEntry> entries_;
    int selected_ = -1;
    int first_ = 0;
    std::string name_;
    Pressed pressed_ = Pressed::None;
    bool pressInside_ = false;
    QuestionPanel* question_ = nullptr;  // owned by the parent, made on first use
    unsigned generation_ = 0;            // which request a late answer of the question belongs to
};

}  // namespace tarvik::gui

// How the in-frame file chooser looks: the box and buttons of the editor's
// other in-frame boxes (dialog_style.h), folders told apart by colour and a
// trailing slash.
#include <algorithm>
#include <string>

#include "gui/toolkit/controls/dialog_style.h"
#include "gui/toolkit/controls/file_chooser.h"
#include "gui/toolkit/text_layout.h"

namespace tarvik::gui {

using namespace dialog_style;

namespace {

constexpr Color kDimText{150, 156, 166};
constexpr Color kListFill{28, 30, 35};
constexpr Color kFolderColour{150, 196, 255};
constexpr Color kSelectionFill{70, 96, 140};
constexpr Color kScrollThumb{100, 108, 120};

}  // namespace

void FileChooser::drawButton(DrawContext& context, const Rect& r, std::string_view label, bool isDefault,
                             bool down) {
    dialog_style::drawButton(context, r, label, isDefault, down);
}

void FileChooser::drawList(DrawContext& context) {
    const Rect list = listArea();
    context.fillRect(list, kListFill);
    for (int i = first_; i < first_ + rowsShown() && i < static_cast<int>(entries_.size()); ++i) {
        const Rect row = rowRect(i);
        const FolderEntry& entry = entries_[static_cast<std::size_t>(i)];
        if (i == selected_) context.fillRect(row, kSelectionFill);
        const Rect text{row.left + kTextInset, row.top, row.right - kTextInset, row.bottom};
        const std::string label = entry.folder && entry.name != ".." ? entry.name + "/" : entry.name;
        context.scoped([&] {
            context.clip(row);
            context.drawText(label, text, kTextFont, entry.folder ? kFolderColour : kTextColour, TextAlign::Left);
        });
    }
    const int total = static_cast<int>(entries_.size());
    if (total > rowsShown()) {
        const Rect track = scrollbar();
        const int top = track.top + track.height() * first_ / total;
        const int height = std::max(kRowHeight / 2, track.height() * rowsShown() / total);
        context.fillRoundedRect({track.left, top, track.right, std::min(track.bottom, top + height)}, 3.0,
                                kScrollThumb);
    }
}

void FileChooser::drawNameField(DrawContext& context) {
    const Rect field = nameField();
    const Rect label{box().left + kMargin, field.top, field.left - 4, field.bottom};
    context.drawText("Name:", label, kTextFont, kTextColour, TextAlign::Left);
    context.fillRect(field, kButtonBorder);
    context.fillRect(field.inset(1), kListFill);
    const Rect inside{field.left + kTextInset, field.top, field.right - kTextInset, field.bottom};
    const std::string shown = tailThatFits(context, name_ + "|", kTextFont, inside.width());
    context.drawText(shown, inside, kTextFont, kTitleColour, TextAlign::Left);
}

void FileChooser::draw(DrawContext& context) {
    if (!isOpen()) return;
    dialog_style::drawBox(context, rect(), box());

    context.drawText(request_.title, titleLine(), kTitleFont, kTitleColour, TextAlign::Left);
    const Rect folder = folderLine();
    context.drawText(tailThatFits(context, folder_, kTextFont, folder.width()), folder, kTextFont, kDimText,
                     TextAlign::Left);

    drawList(context);
    if (kind_ == FileDialogKind::Save) drawNameField(context);

    const bool okDown = pressed_ == Pressed::Ok && pressInside_;
    const bool cancelDown = pressed_ == Pressed::Cancel && pressInside_;
    drawButton(context, cancelButton(), "Cancel", false, cancelDown);
    drawButton(context, okButton(), kind_ == FileDialogKind::Save ? "Save" : "Open", true, okDown);
}

}  // namespace tarvik::gui

// How the in-frame file chooser looks: the colours of the editor's other
// in-frame boxes (see question_panel.cpp), folders told apart by colour and
// a trailing slash.
#include <algorithm>
#include <string>

#include "gui/toolkit/controls/file_chooser.h"

namespace tarvik::gui {

namespace {

constexpr double kCorner = 7.0;

const Font kTitleFont{13.0, true};
const Font kTextFont{11.0, false};
const Font kButtonFont{11.0, true};

constexpr Color kBackdrop{0, 0, 0, 110};
constexpr Color kShadow{0, 0, 0, 80};
constexpr Color kBorder{92, 98, 108};
constexpr Color kBoxFill{40, 43, 49};
constexpr Color kTitleColour{242, 244, 246};
constexpr Color kTextColour{210, 215, 222};
constexpr Color kDimText{150, 156, 166};
constexpr Color kListFill{28, 30, 35};
constexpr Color kFolderColour{150, 196, 255};
constexpr Color kSelectionFill{70, 96, 140};
constexpr Color kScrollThumb{100, 108, 120};
constexpr Color kButtonFill{60, 65, 73};
constexpr Color kDefaultButtonFill{82, 90, 102};
constexpr Color kButtonDown{32, 35, 40};
constexpr Color kButtonBorder{120, 128, 140};
constexpr Color kLabelColour{238, 240, 243};

constexpr const char* kEllipsis = "\xE2\x80\xA6";

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The end of `text` that fits `width`, its start shown as an ellipsis: the
// end of a path or a name is the part that tells most.
std::string tailThatFits(DrawContext& context, const std::string& text, const Font& font, double width) {
    if (context.textWidth(text, font) <= width) return text;
    for (std::size_t start = 1; start < text.size(); ++start) {
        if (isContinuation(text[start])) continue;
        std::string shown = kEllipsis + text.substr(start);
        if (context.textWidth(shown, font) <= width) return shown;
    }
    return kEllipsis;
}

}  // namespace

void FileChooser::drawButton(DrawContext& context, const Rect& r, std::string_view label, bool isDefault,
                             bool down) {
    const int shift = down ? 1 : 0;
    context.fillRoundedRect(r, 4.0, kButtonBorder);
    context.fillRoundedRect(r.inset(1), 3.0, down ? kButtonDown : isDefault ? kDefaultButtonFill : kButtonFill);
    context.drawText(label, r.offset(shift, shift), kButtonFont, kLabelColour, TextAlign::Centre);
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
    context.fillRect(rect(), kBackdrop);
    const Rect b = box();
    context.fillRoundedRect(b.offset(0, 3), kCorner, kShadow);
    context.fillRoundedRect(b, kCorner, kBorder);
    context.fillRoundedRect(b.inset(1), kCorner - 1.0, kBoxFill);

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

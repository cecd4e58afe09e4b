#include "gui/toolkit/controls/popup_menu.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gui/toolkit/container.h"

namespace tarvik::gui {

namespace {

constexpr Color kBorder{96, 100, 108};
constexpr Color kPanel{36, 38, 43};
constexpr Color kHighlight{66, 104, 150};
constexpr Color kText{226, 229, 234};
constexpr Color kHighlightText{255, 255, 255};
constexpr Color kDisabledText{120, 124, 132};
constexpr Color kRule{80, 84, 92};
constexpr double kCornerRadius = 4.0;

// No draw context is at hand when the menu opens, so its width comes from
// a generous average advance of the panel's font.
constexpr double kAverageAdvance = 0.66;

int estimatedWidth(std::string_view utf8) {
    const auto characters =
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    return static_cast<int>(std::ceil(static_cast<double>(characters) * PopupMenu::kFont.size * kAverageAdvance));
}

}  // namespace

MenuEntry MenuEntry::item(std::string_view text, bool enabled) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) return {std::string(text), {}, enabled, false};
    return {std::string(text.substr(0, tab)), std::string(text.substr(tab + 1)), enabled, false};
}

void PopupMenu::open(std::vector<MenuEntry> entries, Point where, Choice onChoice) {
    entries_ = std::move(entries);
    onChoice_ = std::move(onChoice);
    highlighted_ = -1;
    layOut(where);
    setVisible(true);
    invalid();
}

void PopupMenu::close() {
    onChoice_ = nullptr;
    highlighted_ = -1;
    setVisible(false);
}

// Entries run down a column and on into the next when the frame's height
// is used up; every column is as wide as the widest entry.
void PopupMenu::layOut(Point where) {
    int columnWidth = 0;
    for (const MenuEntry& e : entries_) {
        const int right = e.right.empty() ? 0 : kColumnGap + estimatedWidth(e.right);
        columnWidth = std::max(columnWidth, estimatedWidth(e.text) + right + 2 * kTextInset);
    }
    const Rect bounds = parent() ? parent()->rect() : Rect{0, 0, 1 << 20, 1 << 20};
    const int room = std::max(kEntryHeight, bounds.height() - 2 * kPadding);

    places_.clear();
    int x = 0;
    int y = 0;
    int height = 0;
    for (const MenuEntry& e : entries_) {
        const int h = e.separator ? kSeparatorHeight : kEntryHeight;
        if (y > 0 && y + h > room) {
            x += columnWidth;
            y = 0;
        }
        places_.push_back(Rect::sized(x, y, columnWidth, h));
        y += h;
        height = std::max(height, y);
    }
    const int width = (places_.empty() ? 0 : x + columnWidth) + 2 * kPadding;
    height += 2 * kPadding;

    const int left = std::max(bounds.left, std::min(where.x, bounds.right - width));
    const int top = std::max(bounds.top, std::min(where.y, bounds.bottom - height));
    for (Rect& place : places_) place = place.offset(left + kPadding, top + kPadding);
    setRect(Rect::sized(left, top, width, height));
}

Rect PopupMenu::entryRect(int i) const {
    if (!isOpen() || i < 0 || i >= static_cast<int>(places_.size())) return {};
    return places_[static_cast<std::size_t>(i)];
}

int PopupMenu::entryAt(Point p) const {
    if (!isOpen()) return -1;
    for (std::size_t i = 0; i < places_.size(); ++i)
        if (places_[i].contains(p)) return static_cast<int>(i);
    return -1;
}

void PopupMenu::setHighlighted(int index) {
    if (index == highlighted_) return;
    if (highlighted_ >= 0) invalidRect(entryRect(highlighted_));
    highlighted_ = index;
    if (highlighted_ >= 0) invalidRect(entryRect(highlighted_));
}

void PopupMenu::hover(Point p) {
    if (!isOpen()) return;
    const int i = entryAt(p);
    const bool choosable = i >= 0 && entries_[static_cast<std::size_t>(i)].enabled;
    setHighlighted(choosable ? i : -1);
}

// The menu closes before the choice is told, so that the choice may open
// it again.
void PopupMenu::choose(int index) {
    Choice told = std::move(onChoice_);
    close();
    if (told) told(index);
}

MouseResult PopupMenu::onMouseDown(const MouseEvent& event) {
    if (!isOpen()) return MouseResult::Ignored;
    if (!rect().contains(event.where)) {
        close();
        return MouseResult::Handled;
    }
    hover(event.where);
    return MouseResult::Captured;
}

void PopupMenu::onMouseMoved(const MouseEvent& event) { hover(event.where); }

void PopupMenu::onMouseUp(const MouseEvent& event) {
    const int i = entryAt(event.where);
    if (i >= 0 && entries_[static_cast<std::size_t>(i)].enabled) choose(i);
}

void PopupMenu::step(int direction) {
    const int count = static_cast<int>(entries_.size());
    int i = highlighted_;
    for (int tries = 0; tries < count; ++tries) {
        i = i < 0 ? (direction > 0 ? 0 : count - 1) : (i + direction + count) % count;
        if (entries_[static_cast<std::size_t>(i)].enabled) {
            setHighlighted(i);
            return;
        }
    }
}

bool PopupMenu::onKeyDown(const KeyEvent& event) {
    if (!isOpen()) return false;
    switch (event.virtualKey) {
        case vkey::kEscape: close(); return true;
        case vkey::kDown: step(1); return true;
        case vkey::kUp: step(-1); return true;
        case vkey::kReturn:
            if (highlighted_ >= 0) choose(highlighted_);
            return true;
        default: return false;
    }
}

void PopupMenu::draw(DrawContext& context) {
    if (!isOpen()) return;
    context.fillRoundedRect(rect(), kCornerRadius, kBorder);
    context.fillRoundedRect(rect().inset(1), kCornerRadius - 1.0, kPanel);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const MenuEntry& e = entries_[i];
        const Rect& place = places_[i];
        if (e.separator) {
            const int y = place.top + place.height() / 2;
            context.fillRect({place.left + kTextInset / 2, y, place.right - kTextInset / 2, y + 1}, kRule);
            continue;
        }
        const bool lit = static_cast<int>(i) == highlighted_;
        if (lit) context.fillRoundedRect(place, kCornerRadius - 1.0, kHighlight);
        const Color ink = !e.enabled ? kDisabledText : lit ? kHighlightText : kText;
        const Rect text{place.left + kTextInset, place.top, place.right - kTextInset, place.bottom};
        context.drawText(e.text, text, kFont, ink, TextAlign::Left);
        if (!e.right.empty()) context.drawText(e.right, text, kFont, ink, TextAlign::Right);
    }
}

}  // namespace tarvik::gui

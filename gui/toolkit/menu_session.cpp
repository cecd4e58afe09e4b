#include "gui/toolkit/menu_session.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

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
constexpr double kMarkLine = 1.6;

// The layout comes before anything is drawn, so widths come from a
// generous average advance of the font.
constexpr double kAverageAdvance = 0.66;

int estimatedWidth(std::string_view utf8) {
    const auto characters =
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
    return static_cast<int>(std::ceil(static_cast<double>(characters) * MenuSession::kFont.size * kAverageAdvance));
}

int clampInto(int start, int size, int low, int high) { return std::max(low, std::min(start, high - size)); }

void chevron(DrawContext& context, PointF a, PointF b, PointF c, Color ink) {
    const PointF points[] = {a, b, c};
    context.drawPolyline(points, 3, kMarkLine, ink, true);
}

}  // namespace

MenuSession::MenuSession(MenuModel menu, Point where, const Rect& bounds)
    : menu_(std::make_unique<MenuModel>(std::move(menu))), bounds_(bounds) {
    Level top = laidOut(*menu_);
    top.rect = Rect::sized(clampInto(where.x, top.rect.width(), bounds_.left, bounds_.right),
                           clampInto(where.y, top.rect.height(), bounds_.top, bounds_.bottom), top.rect.width(),
                           top.rect.height());
    levels_.push_back(std::move(top));
}

// A level's size; it lies at the space's origin until placed.
MenuSession::Level MenuSession::laidOut(const MenuModel& menu) {
    Level level;
    level.menu = &menu;
    level.serial = ++serials_;
    int width = kMinimumWidth;
    int y = 0;
    for (const MenuItem& item : menu.lines()) {
        level.tops.push_back(y);
        y += item.separator ? kSeparatorHeight : kEntryHeight;
        if (item.separator) continue;
        int w = kCheckColumn + estimatedWidth(item.text) + kTextInset;
        if (item.submenu)
            w += kColumnGap / 2 + kArrowColumn;
        else if (!item.right.empty())
            w += kColumnGap + estimatedWidth(item.right);
        width = std::max(width, w + 2 * kPadding);
    }
    level.tops.push_back(y);
    int height = std::max(y, kEntryHeight) + 2 * kPadding;
    if (height > bounds_.height()) {
        level.scrolls = true;
        height = std::max(bounds_.height(), 2 * (kPadding + kScrollRowHeight) + kEntryHeight);
    }
    level.rect = Rect::sized(0, 0, width, height);
    return level;
}

const MenuItem& MenuSession::line(const Level& level, int i) const {
    return level.menu->lines()[static_cast<std::size_t>(i)];
}

bool MenuSession::choosable(const Level& level, int i) const {
    if (i < 0 || i >= static_cast<int>(level.menu->lines().size())) return false;
    const MenuItem& item = line(level, i);
    return !item.separator && item.enabled;
}

Rect MenuSession::viewport(const Level& level) const {
    const int rows = level.scrolls ? kScrollRowHeight : 0;
    return {level.rect.left + kPadding, level.rect.top + kPadding + rows, level.rect.right - kPadding,
            level.rect.bottom - kPadding - rows};
}

Rect MenuSession::lineRect(const Level& level, int i) const {
    if (i < level.firstShown || i >= static_cast<int>(level.menu->lines().size())) return {};
    const Rect view = viewport(level);
    const std::size_t at = static_cast<std::size_t>(i);
    const int top = view.top + level.tops[at] - level.tops[static_cast<std::size_t>(level.firstShown)];
    const int bottom = top + level.tops[at + 1] - level.tops[at];
    if (bottom > view.bottom) return {};
    return {view.left, top, view.right, bottom};
}

int MenuSession::lineAt(const Level& level, Point p) const {
    if (!viewport(level).contains(p)) return -1;
    for (int i = level.firstShown; i < static_cast<int>(level.menu->lines().size()); ++i) {
        const Rect r = lineRect(level, i);
        if (r.empty()) break;
        if (r.contains(p)) return i;
    }
    return -1;
}

int MenuSession::arrowAt(const Level& level, Point p) const {
    if (!level.scrolls || !level.rect.contains(p)) return 0;
    const Rect view = viewport(level);
    return p.y < view.top ? -1 : p.y >= view.bottom ? 1 : 0;
}

int MenuSession::levelAt(Point p) const {
    for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i)
        if (levels_[static_cast<std::size_t>(i)].rect.contains(p)) return i;
    return -1;
}

// The furthest a level scrolls: its last line at the bottom of the view.
int MenuSession::lastFirstShown(const Level& level) const {
    const int lines = static_cast<int>(level.menu->lines().size());
    const int room = viewport(level).height();
    int first = lines;
    while (first > 0 && level.tops.back() - level.tops[static_cast<std::size_t>(first - 1)] <= room) --first;
    return std::min(first, std::max(0, lines - 1));
}

Rect MenuSession::entryRect(int level, int index) const {
    if (level < 0 || level >= static_cast<int>(levels_.size())) return {};
    const Level& l = levels_[static_cast<std::size_t>(level)];
    const int at = l.menu->lineOf(index);
    return at < 0 ? Rect{} : lineRect(l, at);
}

// --- Opening and closing levels.

void MenuSession::closeBelow(int level) { levels_.resize(static_cast<std::size_t>(level) + 1); }

// Beside the entry that opens it: to the right where there is room, else
// to the left; its first entry level with the opening one.
void MenuSession::openSubmenu(int level) {
    closeBelow(level);
    const Level& parent = levels_[static_cast<std::size_t>(level)];
    const Rect opener = lineRect(parent, parent.highlighted);
    if (opener.empty() || !line(parent, parent.highlighted).submenu) return;
    Level sub = laidOut(*line(parent, parent.highlighted).submenu);
    const int width = sub.rect.width();
    const int height = sub.rect.height();
    int left = parent.rect.right;
    if (left + width > bounds_.right) left = parent.rect.left - width;
    left = std::max(bounds_.left, std::min(left, bounds_.right - width));
    const int top = clampInto(opener.top - kPadding, height, bounds_.top, bounds_.bottom);
    sub.rect = Rect::sized(left, top, width, height);
    sub.openedFrom = parent.highlighted;
    levels_.push_back(std::move(sub));
}

void MenuSession::highlight(int level, int i) {
    Level& l = levels_[static_cast<std::size_t>(level)];
    l.highlighted = choosable(l, i) ? i : -1;
}

void MenuSession::choose(int level, int i) {
    choice_.path.clear();
    for (int k = 1; k <= level; ++k) {
        const Level& l = levels_[static_cast<std::size_t>(k)];
        choice_.path.push_back(levels_[static_cast<std::size_t>(k - 1)].menu->indexOfLine(l.openedFrom));
    }
    const Level& l = levels_[static_cast<std::size_t>(level)];
    choice_.path.push_back(l.menu->indexOfLine(i));
    choice_.identifier = line(l, i).identifier;
    state_ = State::Chosen;
}

// --- The pointer.

void MenuSession::pointerMoved(Point p) {
    if (state_ != State::Open) return;
    const int level = levelAt(p);
    if (level < 0) return;  // away from the menu, what was open stays open
    Level& l = levels_[static_cast<std::size_t>(level)];
    const int i = lineAt(l, p);
    const bool deepest = level + 1 == static_cast<int>(levels_.size());
    if (!deepest && i == levels_[static_cast<std::size_t>(level) + 1].openedFrom && i >= 0) return;
    if (!deepest) closeBelow(level);
    if (arrowAt(l, p) != 0) return;
    highlight(level, i);
    if (l.highlighted >= 0 && line(l, l.highlighted).submenu) openSubmenu(level);
}

void MenuSession::pointerPressed(Point p) {
    if (state_ != State::Open) return;
    const int level = levelAt(p);
    if (level < 0) {
        dismiss();
        return;
    }
    if (const int arrow = arrowAt(levels_[static_cast<std::size_t>(level)], p); arrow != 0) {
        const Level& l = levels_[static_cast<std::size_t>(level)];
        scrollBy(level, arrow * std::max(1, viewport(l).height() / kEntryHeight - 1));
        return;
    }
    pointerMoved(p);
}

void MenuSession::pointerReleased(Point p) {
    if (state_ != State::Open) return;
    const int level = levelAt(p);
    if (level < 0) return;
    const Level& l = levels_[static_cast<std::size_t>(level)];
    const int i = lineAt(l, p);
    if (choosable(l, i) && !line(l, i).submenu) choose(level, i);
}

void MenuSession::wheel(Point p, double notches) {
    if (state_ != State::Open) return;
    const int level = levelAt(p);
    const int target = level >= 0 ? level : static_cast<int>(levels_.size()) - 1;
    scrollBy(target, -static_cast<int>(std::lround(notches * kWheelLines)));
}

// Sub-menus of a level that scrolls close: their entries move away.
void MenuSession::scrollBy(int level, int lines) {
    Level& l = levels_[static_cast<std::size_t>(level)];
    if (!l.scrolls || lines == 0) return;
    const int first = std::clamp(l.firstShown + lines, 0, lastFirstShown(l));
    if (first == l.firstShown) return;
    l.firstShown = first;
    closeBelow(level);
}

void MenuSession::scrollIntoView(Level& level, int i) {
    if (!level.scrolls || i < 0) return;
    if (i < level.firstShown) level.firstShown = i;
    while (lineRect(level, i).empty() && level.firstShown < i) ++level.firstShown;
}

// --- Keys.

// To the next entry that can be chosen, round the ends; from the first or
// the last when none is highlighted or `fromEnd` asks for it.
void MenuSession::step(int direction, bool fromEnd) {
    Level& l = levels_.back();
    const int count = static_cast<int>(l.menu->lines().size());
    int i = fromEnd ? -1 : l.highlighted;
    for (int tries = 0; tries < count; ++tries) {
        i = i < 0 ? (direction > 0 ? 0 : count - 1) : (i + direction + count) % count;
        if (choosable(l, i)) {
            l.highlighted = i;
            scrollIntoView(l, i);
            return;
        }
    }
}

bool MenuSession::keyDown(const KeyEvent& event) {
    if (state_ != State::Open) return false;
    const int deepest = static_cast<int>(levels_.size()) - 1;
    Level& l = levels_.back();
    const bool opensSubmenu = l.highlighted >= 0 && line(l, l.highlighted).submenu;
    switch (event.virtualKey) {
        case vkey::kDown: step(1, false); break;
        case vkey::kUp: step(-1, false); break;
        case vkey::kHome: step(1, true); break;
        case vkey::kEnd: step(-1, true); break;
        case vkey::kRight:
        case vkey::kReturn:
            if (opensSubmenu) {
                openSubmenu(deepest);
                step(1, true);
            } else if (event.virtualKey == vkey::kReturn && l.highlighted >= 0) {
                choose(deepest, l.highlighted);
            }
            break;
        case vkey::kLeft:
            if (deepest > 0) closeBelow(deepest - 1);
            break;
        case vkey::kEscape:
            if (deepest > 0)
                closeBelow(deepest - 1);
            else
                dismiss();
            break;
        default: break;
    }
    return true;
}

// --- Drawing.

void MenuSession::drawLevel(DrawContext& context, int level, Point origin) const {
    if (level < 0 || level >= static_cast<int>(levels_.size())) return;
    const Level& l = levels_[static_cast<std::size_t>(level)];
    const int dx = origin.x - l.rect.left;
    const int dy = origin.y - l.rect.top;
    const Rect box = l.rect.offset(dx, dy);
    context.fillRoundedRect(box, kCornerRadius, kBorder);
    context.fillRoundedRect(box.inset(1), kCornerRadius - 1.0, kPanel);
    const Rect view = viewport(l).offset(dx, dy);

    if (l.scrolls) {
        const double cx = box.centre().x;
        const double up = view.top - kScrollRowHeight / 2.0;
        const double down = view.bottom + kScrollRowHeight / 2.0;
        chevron(context, {cx - 5, up + 2.5}, {cx, up - 2.5}, {cx + 5, up + 2.5},
                l.firstShown > 0 ? kText : kDisabledText);
        chevron(context, {cx - 5, down - 2.5}, {cx, down + 2.5}, {cx + 5, down - 2.5},
                l.firstShown < lastFirstShown(l) ? kText : kDisabledText);
    }

    context.scoped([&] {
        context.clip(view);
        const int lines = static_cast<int>(l.menu->lines().size());
        for (int i = l.firstShown; i < lines; ++i) {
            const Rect where = lineRect(l, i);
            if (where.empty()) break;
            const Rect place = where.offset(dx, dy);
            const MenuItem& item = line(l, i);
            if (item.separator) {
                const int y = place.top + place.height() / 2;
                context.fillRect({place.left + kTextInset / 2, y, place.right - kTextInset / 2, y + 1}, kRule);
                continue;
            }
            const bool lit = i == l.highlighted;
            if (lit) context.fillRoundedRect(place, kCornerRadius - 1.0, kHighlight);
            const Color ink = !item.enabled ? kDisabledText : lit ? kHighlightText : kText;
            const double cy = place.top + place.height() / 2.0;
            if (l.menu->showsCheck(l.menu->indexOfLine(i))) {
                const double x = place.left + 6.0;
                chevron(context, {x, cy}, {x + 3.0, cy + 3.5}, {x + 9.0, cy - 4.0}, ink);
            }
            const Rect text{place.left + kCheckColumn, place.top, place.right - kTextInset, place.bottom};
            context.drawText(item.text, text, kFont, ink, TextAlign::Left);
            if (item.submenu) {
                const double x = place.right - kTextInset + 1.0;
                chevron(context, {x - 3.5, cy - 4.0}, {x + 0.5, cy}, {x - 3.5, cy + 4.0}, ink);
            } else if (!item.right.empty()) {
                context.drawText(item.right, text, kFont, ink, TextAlign::Right);
            }
        }
    });
}

}  // namespace tarvik::gui

#include "gui/toolkit/frame.h"

#include <algorithm>

namespace tarvik::gui {

Frame::Frame(const Rect& size) : Container(size) {}

// The views and whatever they report to are going: nothing is told.
Frame::~Frame() {
    captured_ = nullptr;
    window_.reset();
}

bool Frame::open(void* parent) {
    close();
    window_ = openPlatformWindow(parent, rect().width(), rect().height(), *this);
    if (!window_) return false;
    window_->invalidate(rect());
    return true;
}

void Frame::close() {
    cancelCapture();
    window_.reset();
}

void Frame::cancelCapture() {
    View* view = captured_;
    if (!view) return;
    captured_ = nullptr;
    if (window_) window_->captureMouse(false);
    MouseEvent last;
    last.where = mouse_;
    last.screen = screenMouse_;
    last.modifiers = modifiers_;
    view->onMouseCancelled(last);
}

void Frame::addDirty(const Rect& area) {
    const Rect inside = area.intersection(rect());
    if (inside.empty()) return;
    if (window_)
        window_->invalidate(inside);
    else
        dirty_.add(inside);
}

std::vector<Rect> Frame::paintDirty(DrawContext& context) {
    std::vector<Rect> areas = dirty_.take();
    for (const Rect& area : areas) paintArea(context, area);
    return areas;
}

void Frame::idle() {
    keysBefore_ = std::move(keysNow_);
    keysNow_.clear();
    if (!window_) return;
    window_->pumpEvents();
    if (keyInterest_) window_->setKeyInterest(keyInterest_());
    window_->update();
}

void Frame::paintArea(DrawContext& context, const Rect& area) {
    ++paintedAreas_;
    context.scoped([&] {
        context.clip(area);
        drawArea(context, area);
    });
}

void Frame::forget(const View& view) {
    bool inside = false;
    for (const View* v = captured_; v && !inside; v = v->parent()) inside = v == &view;
    if (inside) cancelCapture();
}

void Frame::mouseDown(const MouseEvent& event) {
    mouse_ = event.where;
    screenMouse_ = event.screen;
    mouseInside_ = true;
    modifiers_ = event.modifiers;
    if (captured_) return;  // a second button during a drag belongs to the drag
    MouseResult result = MouseResult::Ignored;
    View* taker = findAt(event.where, [&](View& v) {
        if (&v == this) return false;
        result = v.onMouseDown(event);
        return result != MouseResult::Ignored;
    });
    if (taker && result == MouseResult::Captured) {
        captured_ = taker;
        if (window_) window_->captureMouse(true);
    }
}

void Frame::mouseMoved(const MouseEvent& event) {
    mouse_ = event.where;
    screenMouse_ = event.screen;
    mouseInside_ = rect().contains(event.where);
    modifiers_ = event.modifiers;
    if (captured_) captured_->onMouseMoved(event);
}

void Frame::mouseUp(const MouseEvent& event) {
    mouse_ = event.where;
    modifiers_ = event.modifiers;
    View* view = captured_;
    if (!view) return;
    captured_ = nullptr;
    if (window_) window_->captureMouse(false);
    view->onMouseUp(event);
}

void Frame::mouseLeft() {
    if (!captured_) mouseInside_ = false;
}

double Frame::textWidth(std::string_view utf8, const Font& font) const {
    if (window_) return window_->textWidth(utf8, font);
    constexpr double kTypicalGlyph = 0.6;  // of the font's size
    const auto characters = std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return static_cast<double>(characters) * font.size * kTypicalGlyph;
}

void Frame::wheel(const MouseEvent& event, double distance) {
    mouse_ = event.where;
    modifiers_ = event.modifiers;
    findAt(event.where, [&](View& v) { return &v != this && v.onWheel(event, distance); });
}

// Some hosts hand one key press over twice, as the window's key event and
// through their own key call, in either order. A key acted on by one route
// is remembered through the next idle pass, until the one after it begins
// (the window's events are read in the idle passes, the host's calls come
// between them); the same key from the other route within that time is the
// echo of the same press: it counts as used, so that neither route passes
// it on, and does nothing. The same key again from the same route is
// another press.
bool Frame::takeKey(const KeyEvent& event, KeyRoute route) {
    modifiers_ = event.modifiers;
    for (std::vector<TakenKey>* taken : {&keysBefore_, &keysNow_}) {
        const auto echo = std::find_if(taken->begin(), taken->end(),
                                       [&](const TakenKey& k) { return k.route != route && k.key == event; });
        if (echo != taken->end()) {
            taken->erase(echo);
            return true;
        }
    }
    if (!keyHandler_ || !keyHandler_(event)) return false;
    keysNow_.push_back({event, route});
    return true;
}

}  // namespace tarvik::gui

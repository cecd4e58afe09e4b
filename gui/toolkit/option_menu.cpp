#include "gui/toolkit/option_menu.h"

#include <optional>
#include <utility>

#include "gui/toolkit/menu_session.h"

namespace tarvik::gui {

namespace {

class InFrameMenu;

// The menu's levels drawn on top of the frame. While open it takes every
// press (a press outside the menu dismisses it) and the wheel.
class MenuLayerView final : public View {
public:
    explicit MenuLayerView(InFrameMenu& owner) : View(Rect{}), owner_(owner) {}

    void draw(DrawContext& context) override;
    bool hitTest(Point) const override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    bool onWheel(const MouseEvent& event, double distance) override;

private:
    InFrameMenu& owner_;
};

// Where no window shows menus: the levels are a view on top of the frame,
// kept inside it.
class InFrameMenu final : public OpenMenu {
public:
    InFrameMenu(Frame& frame, const MenuModel& menu, Point where, MenuAnswer answer)
        : frame_(frame), session_(std::in_place, menu, where, frame.rect()), answer_(std::move(answer)) {
        view_ = &frame_.add(std::make_unique<MenuLayerView>(*this));
        refresh();
    }
    ~InFrameMenu() override { frame_.remove(*view_); }
    InFrameMenu(const InFrameMenu&) = delete;
    InFrameMenu& operator=(const InFrameMenu&) = delete;

    bool isOpen() const override { return session_.has_value(); }
    void close() override {
        session_.reset();
        answer_ = nullptr;
        refresh();
    }
    bool keyDown(const KeyEvent& event) override { return act([&](MenuSession& s) { return s.keyDown(event); }); }
    int openLevels() const override { return session_ ? static_cast<int>(session_->levels().size()) : 0; }
    Rect entryRect(int level, int index) const override {
        return session_ ? session_->entryRect(level, index) : Rect{};
    }

    const MenuSession* session() const { return session_ ? &*session_ : nullptr; }

    // Passes an event to the session, then repaints or ends; answers what
    // the event did. The answer comes last: it may pop a menu up again.
    template <typename Event>
    bool act(Event&& event) {
        if (!session_) return false;
        const bool taken = event(*session_);
        if (session_->state() == MenuSession::State::Open) {
            refresh();
            return taken;
        }
        const std::optional<MenuChoice> choice =
            session_->state() == MenuSession::State::Chosen ? std::optional(session_->choice()) : std::nullopt;
        const MenuAnswer told = std::move(answer_);
        close();
        if (choice && told) told(*choice);
        return taken;
    }

private:
    // The view covers every level; a closed menu covers nothing.
    void refresh() {
        Rect area;
        if (session_)
            for (const MenuSession::Level& level : session_->levels()) area = area.united(level.rect);
        view_->invalid();
        view_->setRect(area);
        view_->invalid();
    }

    Frame& frame_;
    std::optional<MenuSession> session_;
    MenuAnswer answer_;
    MenuLayerView* view_ = nullptr;
};

void MenuLayerView::draw(DrawContext& context) {
    const MenuSession* session = owner_.session();
    if (!session) return;
    for (std::size_t i = 0; i < session->levels().size(); ++i) {
        const Rect& r = session->levels()[i].rect;
        session->drawLevel(context, static_cast<int>(i), {r.left, r.top});
    }
}

bool MenuLayerView::hitTest(Point) const { return owner_.isOpen(); }

MouseResult MenuLayerView::onMouseDown(const MouseEvent& event) {
    if (!owner_.isOpen()) return MouseResult::Ignored;
    owner_.act([&](MenuSession& s) {
        s.pointerPressed(event.where);
        return true;
    });
    return owner_.isOpen() ? MouseResult::Captured : MouseResult::Handled;
}

void MenuLayerView::onMouseMoved(const MouseEvent& event) {
    owner_.act([&](MenuSession& s) {
        s.pointerMoved(event.where);
        return true;
    });
}

void MenuLayerView::onMouseUp(const MouseEvent& event) {
    owner_.act([&](MenuSession& s) {
        s.pointerReleased(event.where);
        return true;
    });
}

bool MenuLayerView::onWheel(const MouseEvent& event, double distance) {
    return owner_.act([&](MenuSession& s) {
        s.wheel(event.where, distance);
        return true;
    });
}

}  // namespace

OptionMenu::~OptionMenu() {
    close();
    closed_.clear();
}

void OptionMenu::popUp(const MenuModel& menu, Point where, MenuAnswer answer) {
    close();
    MenuAnswer told = [this, answer = std::move(answer)](const MenuChoice& choice) { answerWith(answer, choice); };
    if (PlatformWindow* window = frame_.window(); window && window->alive()) {
        std::unique_ptr<OpenMenu> shown;
        if (showNativeMenu(*window, menu, where, told, shown)) {
            shown_ = std::move(shown);
            return;
        }
    }
    shown_ = std::make_unique<InFrameMenu>(frame_, menu, where, std::move(told));
}

void OptionMenu::close() {
    if (shown_) {
        shown_->close();
        closed_.push_back(std::move(shown_));
    }
    if (answering_ == 0) closed_.clear();
}

bool OptionMenu::keyDown(const KeyEvent& event) { return isOpen() && shown_->keyDown(event); }

void OptionMenu::answerWith(const MenuAnswer& answer, const MenuChoice& choice) {
    ++answering_;
    if (answer) answer(choice);
    --answering_;
}

}  // namespace tarvik::gui

// Menus on Linux: the toolkit draws each level of the menu in a pop-up
// window of its own beside the editor, so that a long menu can reach beyond
// the editor's window. The editor's window reads their events with its own
// from the host's idle calls; nothing here waits.
#include <optional>
#include <utility>
#include <vector>

#include "gui/toolkit/menu_session.h"
#include "gui/toolkit/native_menu.h"

namespace tarvik::gui {

namespace {

class PopupMenuWindows final : public OpenMenu, public PopupEvents {
public:
    explicit PopupMenuWindows(MenuAnswer answer) : answer_(std::move(answer)) {}
    ~PopupMenuWindows() override { close(); }
    PopupMenuWindows(const PopupMenuWindows&) = delete;
    PopupMenuWindows& operator=(const PopupMenuWindows&) = delete;

    // False when the window system gives no layer or no window for the top
    // menu.
    bool show(PlatformWindow& window, const MenuModel& menu, Point where) {
        layer_ = window.openPopupLayer(*this);
        if (!layer_) return false;
        origin_ = layer_->frameOrigin();
        session_.emplace(menu, Point{where.x + origin_.x, where.y + origin_.y}, layer_->screen());
        matchWindows();
        if (windows_.empty()) {
            close();
            return false;
        }
        return true;
    }

    bool isOpen() const override { return session_ && layer_ && layer_->alive(); }
    void close() override {
        answer_ = nullptr;
        windows_.clear();
        layer_.reset();  // closes the windows and gives the pointer and the keyboard back
        session_.reset();
    }
    bool keyDown(const KeyEvent& event) override {
        if (!isOpen()) return false;
        act([&](MenuSession& s) { s.keyDown(event); });
        return true;
    }
    int openLevels() const override { return isOpen() ? static_cast<int>(session_->levels().size()) : 0; }
    Rect entryRect(int level, int index) const override {
        if (!isOpen()) return {};
        const Rect r = session_->entryRect(level, index);
        return r.empty() ? r : r.offset(-origin_.x, -origin_.y);
    }

    // PopupEvents.
    void paintPopup(int window, DrawContext& context, const Rect& /*area*/) override {
        for (std::size_t i = 0; i < windows_.size(); ++i)
            if (windows_[i].id == window && session_) session_->drawLevel(context, static_cast<int>(i), {0, 0});
    }
    void popupMouseDown(const MouseEvent& event) override {
        act([&](MenuSession& s) { s.pointerPressed(event.screen); });
    }
    void popupMouseMoved(const MouseEvent& event) override {
        act([&](MenuSession& s) { s.pointerMoved(event.screen); });
    }
    void popupMouseUp(const MouseEvent& event) override {
        act([&](MenuSession& s) { s.pointerReleased(event.screen); });
    }
    void popupWheel(const MouseEvent& event, double distance) override {
        act([&](MenuSession& s) { s.wheel(event.screen, distance); });
    }
    void popupKeyDown(const KeyEvent& event) override {
        act([&](MenuSession& s) { s.keyDown(event); });
    }

private:
    struct Shown {
        int serial;  // the level's
        int id;      // the window's
    };

    // Passes an event to the session, then repaints or ends. The answer
    // comes last: it may pop a menu up again.
    template <typename Event>
    void act(Event&& event) {
        if (!isOpen()) return;
        event(*session_);
        if (session_->state() == MenuSession::State::Open) {
            matchWindows();
            return;
        }
        const std::optional<MenuChoice> choice =
            session_->state() == MenuSession::State::Chosen ? std::optional(session_->choice()) : std::nullopt;
        const MenuAnswer told = std::move(answer_);
        close();
        if (choice && told) told(*choice);
    }

    // One window per open level: levels that closed lose theirs, new ones
    // get one, and every window is repainted (a menu is small).
    void matchWindows() {
        const auto& levels = session_->levels();
        std::size_t same = 0;
        while (same < windows_.size() && same < levels.size() && windows_[same].serial == levels[same].serial) ++same;
        while (windows_.size() > same) {
            layer_->closeWindow(windows_.back().id);
            windows_.pop_back();
        }
        for (std::size_t i = same; i < levels.size(); ++i) {
            const int id = layer_->openWindow(levels[i].rect);
            if (id < 0) break;
            windows_.push_back({levels[i].serial, id});
        }
        for (std::size_t i = 0; i < windows_.size(); ++i)
            layer_->invalidate(windows_[i].id, Rect::sized(0, 0, levels[i].rect.width(), levels[i].rect.height()));
    }

    MenuAnswer answer_;
    std::unique_ptr<PopupLayer> layer_;
    std::optional<MenuSession> session_;
    std::vector<Shown> windows_;
    Point origin_;  // the frame's top-left corner on the screen
};

}  // namespace

bool showNativeMenu(PlatformWindow& window, const MenuModel& menu, Point where, const MenuAnswer& answer,
                    std::unique_ptr<OpenMenu>& shown) {
    auto windows = std::make_unique<PopupMenuWindows>(answer);
    if (!windows->show(window, menu, where)) return false;
    shown = std::move(windows);
    return true;
}

}  // namespace tarvik::gui

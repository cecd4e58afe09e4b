// The root view: it fills the host's window, owns the platform window, keeps
// the areas waiting to be repainted, routes the pointer (capturing it for
// the view that takes a press until the release) and hands keys to its key
// handler. Without a window (tests, screenshots) it paints on demand into
// any draw context.
#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "gui/toolkit/container.h"
#include "gui/toolkit/dirty_region.h"
#include "gui/toolkit/platform_window.h"

namespace tarvik::gui {

class Frame : public Container, public WindowEvents {
public:
    explicit Frame(const Rect& size);
    ~Frame() override;

    // Opens a child window of `parent`; false when the window system refuses.
    bool open(void* parent);
    // Closes the window (the views stay); a drag under way is cancelled.
    void close();
    // Ends a drag under way without a release: the view that holds the
    // pointer hears onMouseCancelled.
    void cancelCapture();
    bool isOpen() const { return window_ != nullptr; }
    // The open window; null when there is none.
    PlatformWindow* window() const { return window_.get(); }

    void addDirty(const Rect& area);
    bool hasDirty() const { return !dirty_.empty(); }
    // Without a window: paints every waiting area into `context` and answers
    // them. With one the window's update does this.
    std::vector<Rect> paintDirty(DrawContext& context);
    // Reads window events, then repaints what changed; a quiet pass paints
    // nothing.
    void idle();
    // Areas painted so far (for measurements).
    long paintedAreas() const { return paintedAreas_; }

    // How wide a text is drawn in a font: as the window measures it; a frame
    // without a window guesses from a typical glyph.
    double textWidth(std::string_view utf8, const Font& font) const;

    // Keys the host or the window delivers; answers whether they were used.
    void setKeyHandler(std::function<bool(const KeyEvent&)> handler) { keyHandler_ = std::move(handler); }
    // Which keys the handler has a use for now; the window hears it after
    // every pass of its events.
    void setKeyInterest(std::function<KeyInterest()> interest) { keyInterest_ = std::move(interest); }
    // A key the host hands over itself (keyDown is the window's own).
    bool hostKeyDown(const KeyEvent& event) { return takeKey(event, KeyRoute::Host); }

    Point mousePosition() const { return mouse_; }
    bool mouseInside() const { return mouseInside_; }
    int modifiers() const { return modifiers_; }
    View* capturedView() const { return captured_; }
    // A view leaving the tree, with everything inside it, stops receiving
    // the pointer; a drag it held is cancelled.
    void forget(const View& view);

    // WindowEvents; public so that tests can drive the frame without a window.
    void paintArea(DrawContext& context, const Rect& area) override;
    void mouseDown(const MouseEvent& event) override;
    void mouseMoved(const MouseEvent& event) override;
    void mouseUp(const MouseEvent& event) override;
    void captureLost() override { cancelCapture(); }
    void mouseLeft() override;
    void wheel(const MouseEvent& event, double distance) override;
    bool keyDown(const KeyEvent& event) override { return takeKey(event, KeyRoute::Window); }

private:
    enum class KeyRoute { Window, Host };
    struct TakenKey {
        KeyEvent key;
        KeyRoute route;
    };
    bool takeKey(const KeyEvent& event, KeyRoute route);

    std::unique_ptr<PlatformWindow> window_;
    DirtyRegion dirty_;
    View* captured_ = nullptr;
    Point mouse_;
    Point screenMouse_;
    bool mouseInside_ = false;
    int modifiers_ = 0;
    long paintedAreas_ = 0;
    std::function<bool(const KeyEvent&)> keyHandler_;
    std::function<KeyInterest()> keyInterest_;
    // Keys acted on in this idle pass (or since the last one) and in the
    // pass before.
    std::vector<TakenKey> keysNow_;
    std::vector<TakenKey> keysBefore_;
};

}  // namespace tarvik::gui

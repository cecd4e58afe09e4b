// A patch socket on the panel. It shows whether it is the drop target of a
// cable in the user's hand (lit: the second image of its picture) and
// whether it could take that cable (highlighted: a blue frame), and reports
// the pointer to its socket listener, which does the patching: a press, every
// move while a button is held, the release.
#pragma once

#include <string>
#include <string_view>

#include "gui/toolkit/control.h"

namespace tarvik::gui {

class PatchSocket;

class SocketListener {
public:
    virtual ~SocketListener() = default;
    // event.buttons holds the button pressed (left or right) and
    // event.modifiers the keys held.
    virtual void socketPressed(PatchSocket& socket, const MouseEvent& event) = 0;
    virtual void socketDragged(PatchSocket& socket, const MouseEvent& event) = 0;
    virtual void socketReleased(PatchSocket& socket, const MouseEvent& event) = 0;
    // The drag ended without a release (the editor closed mid-drag).
    virtual void socketCancelled(PatchSocket& socket) = 0;
};

class PatchSocket : public Control {
public:
    static constexpr Color kHighlight{0, 0, 250, 255};
    static constexpr std::size_t kMaxNameLength = 255;
    static constexpr std::string_view kNoName = "N/A";

    // `index` is the socket's place in the socket table; `tag` its element's.
    PatchSocket(const Rect& rect, SocketListener* listener, int tag, int index, const Bitmap* bitmap);

    int index() const { return index_; }
    const std::string& name() const { return name_; }
    void setName(std::string_view name);

    bool lit() const { return lit_; }
    void setLit(bool lit);
    bool highlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    // Moves reported with a button held, since the socket was made.
    int moveCount() const { return moves_; }

    void draw(DrawContext& context) override;
    MouseResult onMouseDown(const MouseEvent& event) override;
    void onMouseMoved(const MouseEvent& event) override;
    void onMouseUp(const MouseEvent& event) override;
    void onMouseCancelled(const MouseEvent& last) override;

private:
    SocketListener* socketListener_;
    int index_;
    std::string name_{kNoName};
    bool lit_ = false;
    bool highlighted_ = false;
    int moves_ = 0;
};

}  // namespace tarvik::gui

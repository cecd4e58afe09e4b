#include "gui/editor/patch_socket.h"

namespace tarvik::gui {

PatchSocket::PatchSocket(const Rect& rect, SocketListener* listener, int tag, int index, const Bitmap* bitmap)
    : Control(rect, nullptr, tag, bitmap), socketListener_(listener), index_(index) {}

void PatchSocket::setName(std::string_view name) { name_ = name.substr(0, kMaxNameLength); }

void PatchSocket::setLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    invalid();
}

void PatchSocket::setHighlighted(bool highlighted) {
    if (highlighted == highlighted_) return;
    highlighted_ = highlighted;
    invalid();
}

void PatchSocket::draw(DrawContext& context) {
    drawImage(context, lit_ ? 1 : 0);
    if (highlighted_) context.frameRect(rect().inset(1), kHighlight, 1.0);
}

MouseResult PatchSocket::onMouseDown(const MouseEvent& event) {
    if ((event.buttons & (button::kLeft | button::kRight)) == 0) return MouseResult::Ignored;
    if (socketListener_) socketListener_->socketPressed(*this, event);
    return MouseResult::Captured;
}

void PatchSocket::onMouseMoved(const MouseEvent& event) {
    ++moves_;
    if (socketListener_) socketListener_->socketDragged(*this, event);
}

void PatchSocket::onMouseUp(const MouseEvent& event) {
    if (socketListener_) socketListener_->socketReleased(*this, event);
}

void PatchSocket::onMouseCancelled(const MouseEvent& /*last*/) {
    if (socketListener_) socketListener_->socketCancelled(*this);
}

}  // namespace tarvik::gui

#include "gui/editor/patch_field.h"

#include <chrono>
#include <memory>

#include "gui/skin_tags.h"

namespace tarvik::gui {

namespace {

std::uint32_t clockSeed() {
    return static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

bool joined(const CableList& list, int a, int b) {
    for (int i = 0, n = list.size(); i < n; ++i) {
        const Connection c = list.at(i);
        if ((c.output == a && c.input == b) || (c.output == b && c.input == a)) return true;
    }
    return false;
}

}  // namespace

PatchField::PatchField(CableEditing& cables, const GuiPreferences& preferences, std::optional<std::uint32_t> seed)
    : cables_(cables), preferences_(preferences), seed_(seed ? *seed : clockSeed()) {}

void PatchField::addSockets(Frame& frame, const Panel& panel) {
    SocketListener* const listener = this;
    const Bitmap* shared = panel.bitmap(tag::socket(1));
    const SocketTable& sockets = table();
    for (int index = 0; index < kNumSockets; ++index) {
        const int tagValue = tag::socket(index + 1);
        const Bitmap* own = panel.bitmap(tagValue);
        if (!own) continue;
        PatchSocket& made = frame.add(
            std::make_unique<PatchSocket>(panel.rect(tagValue), listener, tagValue, index, shared ? shared : own));
        if (index < sockets.size()) made.setName(sockets.socket(index).name);
        sockets_[static_cast<std::size_t>(index)] = &made;
    }
}

void PatchField::addCables(Frame& frame, const Panel& panel, const SkinDefinition& skin, const Bitmap* plug) {
    CableSkin look;
    look.plug = panel.bitmap(tag::CablePlug);
    if (!look.plug) look.plug = plug;
    look.shadow = panel.bitmap(tag::ShadowBitmap);
    look.type = skin.cableType();
    look.tint = skin.cableTint();
    cableLayer_ = &frame.add(std::make_unique<CableLayer>(frame.rect(), preferences_, look, seed_));
    rebuild();
}

PatchSocket* PatchField::socket(int index) const {
    return index >= 0 && index < kNumSockets ? sockets_[static_cast<std::size_t>(index)] : nullptr;
}

std::optional<PointF> PatchField::centreOf(int socketIndex) const {
    const PatchSocket* s = socket(socketIndex);
    if (!s) return std::nullopt;
    const Rect& r = s->rect();
    return PointF{(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
}

int PatchField::socketAt(Point p) const {
    for (const PatchSocket* s : sockets_)
        if (s && s->isVisible() && s->rect().contains(p)) return s->index();
    return -1;
}

void PatchField::rebuild() {
    if (dragged_) cancelDrag();
    if (cableLayer_) cableLayer_->rebuild(cables_.current(), [this](int s) { return centreOf(s); });
}

void PatchField::idle(double elapsedMilliseconds, Point mouse) {
    const Point moved = lastMouse_ ? Point{mouse.x - lastMouse_->x, mouse.y - lastMouse_->y} : Point{};
    lastMouse_ = mouse;
    if (cableLayer_) cableLayer_->step(elapsedMilliseconds, moved);
}

std::optional<PatchField::SocketHover> PatchField::hover(Point mouse) const {
    if (preferences_.displayCables == 0) return std::nullopt;
    const int s = socketAt(mouse);
    if (s < 0) return std::nullopt;
    return SocketHover{"Socket", table().isInput(s) ? "INPUT" : "OUTPUT", socket(s)->name(), s, socket(s)->rect()};
}

// --- The pointer on a socket.

void PatchField::socketPressed(PatchSocket& pressed, const MouseEvent& event) {
    if (event.buttons & button::kRight) {
        openMenu(pressed.index(), event.where);
    } else if (event.modifiers & modifier::kShift) {
        clearSocket(pressed.index());
    } else {
        beginDrag(pressed.index());
    }
}

void PatchField::socketDragged(PatchSocket& /*socket*/, const MouseEvent& event) {
    if (dragged_) dragTo(event.where);
}

void PatchField::socketReleased(PatchSocket& /*socket*/, const MouseEvent& /*event*/) {
    if (dragged_) endDrag();
}

// A cable in hand when the drag is cut short goes back to the pool, as if
// dropped where no socket lies.
void PatchField::socketCancelled(PatchSocket& /*socket*/) {
    if (dragged_) cancelDrag();
}

// Both orders are asked for, though the table stores a pair one way only,
// so that nothing is left whichever way a cable was made.
void PatchField::clearSocket(int socketIndex) {
    if (cableLayer_) {
        for (int k = 0; k < CableLayer::kPoolSize; ++k) {
            PatchCord& c = cableLayer_->cable(k);
            if (c.output() != socketIndex && c.input() != socketIndex) continue;
            c.setInUse(false);
            c.setSockets(-1, -1);
        }
    }
    cables_.clearSocket(socketIndex);
}

// A press on an input with a cable takes that cable off, its output end
// staying where it is; any other press takes a new cable out of the pool.
void PatchField::beginDrag(int socketIndex) {
    if (!cableLayer_) return;
    const SocketTable& sockets = table();
    const std::optional<PointF> here = centreOf(socketIndex);
    if (!here) return;

    PatchCord* cable = nullptr;
    int start = socketIndex;
    const int source = sockets.isInput(socketIndex) ? sockets.findSource(cables_.current(), socketIndex) : -1;
    if (source >= 0) {
        cable = cableLayer_->findCable(source, socketIndex);
        if (!cable) cable = cableLayer_->freeCable();
        if (!cable) return;
        cables_.pickUp(source, socketIndex);
        start = source;
    } else {
        cable = cableLayer_->freeCable();
        if (!cable) return;
    }

    if (!cable->inUse()) {
        cable->setEnds(centreOf(start).value_or(*here), *here);
        cable->pickUp();
    }
    cable->setSockets(start, -1);
    cable->setTension(preferences_.cableTension);
    cable->setShadow(preferences_.softShadows != 0);
    cable->setInUse(true);
    cable->setPlugVisible(true);
    dragged_ = cable;
    dragStart_ = start;
    dragLit_ = -1;
    cableLayer_->setDragging(true);
    cable->step(true);
}

// Every socket that could take the cable shows it; the one under the
// pointer lights up and catches the cable's end.
void PatchField::dragTo(Point where) {
    const SocketTable& sockets = table();
    const CableList list = cables_.current();
    int lit = -1;
    for (PatchSocket* s : sockets_) {
        if (!s) continue;
        const bool allowed = sockets.canConnect(list, dragStart_, s->index());
        s->setHighlighted(allowed);
        if (allowed && lit < 0 && s->isVisible() && s->rect().contains(where)) lit = s->index();
    }
    for (PatchSocket* s : sockets_)
        if (s) s->setLit(s->index() == lit);
    dragLit_ = lit;
    dragged_->setEnd(lit >= 0 ? *centreOf(lit) : PointF{static_cast<double>(where.x), static_cast<double>(where.y)});
    dragged_->setPlugVisible(lit < 0);
    dragged_->step(true);
}

void PatchField::clearMarks() {
    for (PatchSocket* s : sockets_) {
        if (!s) continue;
        s->setLit(false);
        s->setHighlighted(false);
    }
}

// Dropped on a socket that lit up, the cable is made (stored output first)
// and hangs still at once; dropped anywhere else it goes back to the pool.
// The cable is made before the drag ends, so that a cable taken off an input
// and dropped on another is one move for undo.
void PatchField::endDrag() {
    PatchCord& cable = *dragged_;
    const int start = dragStart_;
    const int target = dragLit_;
    const bool made = target >= 0 && cables_.connect(start, target);
    cancelDrag();
    if (!made) return;
    cable.setSockets(start, target);
    if (table().isInput(start)) cable.swapEnds();
    cable.step(false);
    cable.setInUse(preferences_.displayCables != 0);
}

void PatchField::cancelDrag() {
    cables_.putDown();
    clearMarks();
    dragged_->setPlugVisible(false);
    dragged_->setSockets(-1, -1);
    dragged_->setInUse(false);
    dragged_ = nullptr;
    dragStart_ = dragLit_ = -1;
    cableLayer_->setDragging(false);
}

// --- The socket menu.

MenuModel PatchField::socketMenu(int socketIndex) const {
    const SocketTable& sockets = table();
    const CableList list = cables_.current();
    const std::string name = socket(socketIndex) ? socket(socketIndex)->name() : std::string(PatchSocket::kNoName);
    MenuModel menu;
    menu.add("Disconnect");
    menu.addSeparator();
    menu.add(name + (sockets.isInput(socketIndex) ? "\t<---" : "\t--->"), false);
    menu.addSeparator();
    for (int other = 0; other < sockets.size(); ++other) {
        const int entry = menu.add(sockets.socket(other).name, sockets.canConnect(list, socketIndex, other));
        if (joined(list, socketIndex, other)) menu.entry(entry)->right = "*";
    }
    return menu;
}

void PatchField::openMenu(int socketIndex, Point where) {
    if (!popUp_) return;
    popUp_(socketMenu(socketIndex), where, [this, socketIndex](const MenuChoice& choice) {
        if (!choice.path.empty()) menuChosen(socketIndex, choice.path.front());
    });
}

void PatchField::menuChosen(int socketIndex, int entry) {
    if (entry == kMenuDisconnect) {
        clearSocket(socketIndex);
    } else if (entry >= kMenuFirstSocket) {
        cables_.connect(socketIndex, entry - kMenuFirstSocket);
        rebuild();
    }
}

}  // namespace tarvik::gui

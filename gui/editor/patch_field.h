// The patch field of the panel: the sockets, the cables between them and
// the user's patching. A cable is made by dragging from one socket to
// another, taken off an input by dragging it away, and every cable of a
// socket is cleared by a shift-click; a right-click opens the socket's menu.
//
// The cable list of the patch is the truth: the cables only show it,
// and every change to it goes through the instrument's one writer of cables
// (CableEditing), which the audio thread may read alongside. After anything
// else changed the list (a patch loaded), rebuild() hangs the cables anew.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "dsp/socket_table.h"
#include "gui/editor/cable_layer.h"
#include "gui/editor/panel.h"
#include "gui/editor/patch_socket.h"
#include "gui/gui_preferences.h"
#include "gui/skin_definition.h"
#include "gui/toolkit/frame.h"
#include "gui/toolkit/menu_model.h"
#include "gui/toolkit/native_menu.h"
#include "instrument/cable_editing.h"

namespace tarvik::gui {

class PatchField final : private SocketListener {
public:
    // What the floating display shows for the socket under the pointer,
    // and where that socket is.
    struct SocketHover {
        std::string title;      // "Socket"
        std::string direction;  // "INPUT" or "OUTPUT"
        std::string name;
        int socket = -1;
        Rect rect;
    };

    // The socket menu's entries by index (separators not counted): these,
    // then one for each socket of the table in its order.
    static constexpr int kMenuDisconnect = 0;
    static constexpr int kMenuHeading = 1;  // the socket's own name: never chosen
    static constexpr int kMenuFirstSocket = 2;

    // Without a seed, the cables take their colours from the clock.
    PatchField(CableEditing& cables, const GuiPreferences& preferences, std::optional<std::uint32_t> seed = std::nullopt);
    PatchField(const PatchField&) = delete;
    PatchField& operator=(const PatchField&) = delete;

    // Makes a socket for each SOCKETn element the skin gives a picture, in
    // its own rectangle and drawn with SOCKET1's picture.
    void addSockets(Frame& frame, const Panel& panel);
    // Makes the cable layer over everything in the frame so far and hangs
    // the patch's cables. The plug is CORDPLUG's picture, else `plug`.
    void addCables(Frame& frame, const Panel& panel, const SkinDefinition& skin, const Bitmap* plug = nullptr);

    // Hangs the cables anew from the patch's cable list and the cable
    // preferences; a cable in the user's hand is dropped.
    void rebuild();
    // The editor's idle: `elapsedMilliseconds` since the previous call, the
    // pointer where the frame last saw it.
    void idle(double elapsedMilliseconds, Point mouse);
    // The socket under the pointer while cables are displayed.
    std::optional<SocketHover> hover(Point mouse) const;
    // Pops a menu up through the editor's one OptionMenu. Passed as a call
    // rather than the menu itself, which the editor makes only once its
    // window is open and destroys first: the call finds whatever menu there
    // is when the user right-clicks.
    using PopUp = std::function<void(const MenuModel& menu, Point where, MenuAnswer answer)>;
    // Without one a right-click on a socket does nothing.
    void setPopUp(PopUp popUp) { popUp_ = std::move(popUp); }
    // What the socket menu of `socketIndex` lists, as the cables stand.
    MenuModel socketMenu(int socketIndex) const;

    bool dragging() const { return dragged_ != nullptr; }
    // A cable still swinging towards where it hangs (in the user's hand too).
    bool moving() const { return cableLayer_ && cableLayer_->moving(); }
    PatchSocket* socket(int index) const;
    CableLayer* cableLayer() const { return cableLayer_; }

private:
    // SocketListener.
    void socketPressed(PatchSocket& socket, const MouseEvent& event) override;
    void socketDragged(PatchSocket& socket, const MouseEvent& event) override;
    void socketReleased(PatchSocket& socket, const MouseEvent& event) override;
    void socketCancelled(PatchSocket& socket) override;

    const SocketTable& table() const { return cables_.rules(); }
    std::optional<PointF> centreOf(int socketIndex) const;
    int socketAt(Point p) const;

    void clearSocket(int socketIndex);
    void beginDrag(int socketIndex);
    void dragTo(Point where);
    void endDrag();
    void cancelDrag();
    void clearMarks();

    void openMenu(int socketIndex, Point where);
    void menuChosen(int socketIndex, int entry);

    CableEditing& cables_;
    const GuiPreferences& preferences_;
    std::uint32_t seed_;
    std::array<PatchSocket*, kNumSockets> sockets_{};
    CableLayer* cableLayer_ = nullptr;
    PopUp popUp_;

    PatchCord* dragged_ = nullptr;
    int dragStart_ = -1;
    int dragLit_ = -1;

    std::optional<Point> lastMouse_;
};

}  // namespace tarvik::gui

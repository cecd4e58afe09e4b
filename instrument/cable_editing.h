// The one writer of the live cables. Each change (a cable made, moved off an
// input, removed, a socket cleared) is made on a copy of the patch's list,
// under the socket table's rules, and published whole
// (TarvikPatch::publishCables): a block routes the old list or the new
// one, never a mixture. Each change that changed the list is recorded in the
// edit history with the list it replaced.
//
// Control threads only.
#pragma once

#include "dsp/cable.h"
#include "dsp/socket_table.h"
#include "instrument/edit_history.h"

namespace tarvik {

class EngineControl;

class CableEditing {
public:
    CableEditing(EngineControl& engine, EditHistory& history) : engine_(engine), history_(history) {}

    // A consistent copy of the current patch's cables.
    CableList current() const;
    // What may be joined to what: the 42 sockets' rules.
    const SocketTable& rules() const { return socketRules(); }

    // Joins two sockets (either order) when the rules allow it; answers
    // whether the cable was made.
    bool connect(int a, int b);
    // Removes the cable between two sockets (either order), if there is one.
    void disconnect(int a, int b);
    // Removes every cable ending at the socket.
    void clearSocket(int socket);

    // The user takes a cable off its input: it is removed at once (the sound
    // follows the hand), and the change that comes next (the cable dropped
    // on a socket: connect) is the same step of the history, so that undo
    // puts it back where it was taken from. putDown() ends a move in which
    // the cable was dropped where nothing takes it.
    void pickUp(int output, int input);
    void putDown();

    // Undo and redo: puts a list back, unrecorded, and answers the list it
    // replaced.
    CableList restore(const CableList& list);

private:
    // Publishes a changed list and records what it replaced (or, ending a
    // move, what the pick-up replaced) unless the two are the same.
    void publish(const CableList& before, const CableList& after);

    EngineControl& engine_;
    EditHistory& history_;
};

}  // namespace tarvik

// The one writer of the live cables. Each change (a cable made, moved off an
// input, removed, a socket cleared) is made on a copy of the patch's list,
// under the socket table's rules, and published whole
// (TarvikPatch::publishConnections): a block routes the old list or the new
// one, never a mixture.
//
// Control threads only.
#pragma once

#include "dsp/connection.h"
#include "dsp/socket_table.h"

namespace tarvik {

class EngineControl;

class CableEditing {
public:
    explicit CableEditing(EngineControl& engine) : engine_(engine) {}

    // A consistent copy of the current patch's cables.
    ConnectionList connections() const;
    // What may be joined to what: the 42 sockets' rules.
    const SocketTable& rules() const { return socketRules(); }

    // Joins two sockets (either order) when the rules allow it; answers
    // whether the cable was made.
    bool connect(int a, int b);
    // Removes the cable between two sockets (either order), if there is one.
    void disconnect(int a, int b);
    // Removes every cable ending at the socket.
    void clearSocket(int socket);

private:
    EngineControl& engine_;
};

}  // namespace tarvik

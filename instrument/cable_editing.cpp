#include "instrument/cable_editing.h"

#include <thread>

#include "engine/engine.h"

namespace tarvik {

// Only this writer replaces the list, so on its own thread the read always
// succeeds; another control thread waits out a replacement under way, which
// takes microseconds.
ConnectionList CableEditing::connections() const {
    ConnectionList list{};
    while (!engine_.patch().readConnections(list)) std::this_thread::yield();
    return list;
}

bool CableEditing::connect(int a, int b) {
    ConnectionList list = connections();
    if (!rules().connect(list, a, b)) return false;
    engine_.patch().publishConnections(list);
    return true;
}

void CableEditing::disconnect(int a, int b) {
    ConnectionList list = connections();
    const int before = list.size();
    rules().disconnect(list, a, b);
    if (list.size() != before) engine_.patch().publishConnections(list);
}

void CableEditing::clearSocket(int socket) {
    ConnectionList list = connections();
    const int before = list.size();
    for (int other = 0; other < rules().size(); ++other) {
        rules().disconnect(list, socket, other);
        rules().disconnect(list, other, socket);
    }
    if (list.size() != before) engine_.patch().publishConnections(list);
}

}  // namespace tarvik

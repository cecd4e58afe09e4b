#include "instrument/cable_editing.h"

#include <thread>
#include <utility>

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
    const ConnectionList before = connections();
    ConnectionList list = before;
    if (!rules().connect(list, a, b)) return false;
    publish(before, list);
    return true;
}

void CableEditing::disconnect(int a, int b) {
    const ConnectionList before = connections();
    ConnectionList list = before;
    rules().disconnect(list, a, b);
    if (list.size() != before.size()) publish(before, list);
}

void CableEditing::clearSocket(int socket) {
    const ConnectionList before = connections();
    ConnectionList list = before;
    for (int other = 0; other < rules().size(); ++other) {
        rules().disconnect(list, socket, other);
        rules().disconnect(list, other, socket);
    }
    if (list.size() != before.size()) publish(before, list);
}

void CableEditing::pickUp(int output, int input) {
    const ConnectionList before = connections();
    ConnectionList list = before;
    rules().disconnect(list, output, input);
    if (list.size() == before.size()) return;
    engine_.patch().publishConnections(list);
    history_.hold({{}, before});
}

void CableEditing::putDown() { history_.recordHeld(); }

ConnectionList CableEditing::restore(const ConnectionList& list) {
    const ConnectionList replaced = connections();
    engine_.patch().publishConnections(list);
    return replaced;
}

// A cable dropped back on the input it was taken from leaves nothing to undo.
void CableEditing::publish(const ConnectionList& before, const ConnectionList& after) {
    EditRecord replaced = history_.takeHeld().value_or(EditRecord{{}, before});
    engine_.patch().publishConnections(after);
    if (!replaced.cables || *replaced.cables != after) history_.record(std::move(replaced));
}

}  // namespace tarvik

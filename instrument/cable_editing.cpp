#include "instrument/cable_editing.h"

#include <thread>
#include <utility>

#include "engine/engine.h"

namespace tarvik {

// Only this writer replaces the list, so on its own thread the read always
// succeeds; another control thread waits out a replacement under way, which
// takes microseconds.
CableList CableEditing::current() const {
    CableList list{};
    while (!engine_.patch().readCables(list)) std::this_thread::yield();
    return list;
}

bool CableEditing::connect(int a, int b) {
    const CableList before = current();
    CableList list = before;
    if (!rules().connect(list, a, b)) return false;
    publish(before, list);
    return true;
}

void CableEditing::disconnect(int a, int b) {
    const CableList before = current();
    CableList list = before;
    rules().disconnect(list, a, b);
    if (list.size() != before.size()) publish(before, list);
}

void CableEditing::clearSocket(int socket) {
    const CableList before = current();
    CableList list = before;
    for (int other = 0; other < rules().size(); ++other) {
        rules().disconnect(list, socket, other);
        rules().disconnect(list, other, socket);
    }
    if (list.size() != before.size()) publish(before, list);
}

void CableEditing::pickUp(int output, int input) {
    const CableList before = current();
    CableList list = before;
    rules().disconnect(list, output, input);
    if (list.size() == before.size()) return;
    engine_.patch().publishCables(list);
    history_.hold({{}, before});
}

void CableEditing::putDown() { history_.recordHeld(); }

CableList CableEditing::restore(const CableList& list) {
    const CableList replaced = current();
    engine_.patch().publishCables(list);
    return replaced;
}

// A cable dropped back on the input it was taken from leaves nothing to undo.
void CableEditing::publish(const CableList& before, const CableList& after) {
    EditRecord replaced = history_.takeHeld().value_or(EditRecord{{}, before});
    engine_.patch().publishCables(after);
    if (!replaced.cables || *replaced.cables != after) history_.record(std::move(replaced));
}

}  // namespace tarvik

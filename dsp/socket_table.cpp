#include "dsp/socket_table.h"

#include <cstring>
#include <utility>

namespace tarvik {

const std::array<SocketDefinition, kNumSockets> kSocketDefinitions = {{
    {"VCO-1 CV Input", kSocketInput},
    {"VCO-2 CV Input", kSocketInput},
    {"VCO-1/2 Balance CV", kSocketInput},
    {"Noise/Aux Balance CV", kSocketInput},
    {"MG CV Output", kSocketOutput},
    {"Shaper CV Input", kSocketInput},
    {"Accent trigger", kSocketInput},
    {"VCA Env amount", kSocketInput},
    {"VCF Env amount", kSocketInput},
    {"Delay time left", kSocketInput},
    {"Delay time right", kSocketInput},
    {"Seq Gate CV Out", kSocketOutput},
    {"Seq Note CV Out", kSocketOutput},
    {"Seq Accent CV Out", kSocketOutput},
    {"Midi Note CV", kSocketOutput},
    {"Midi Velocity CV", kSocketOutput},
    {"MG Freq CV", kSocketInput},
    {"MG Amount CV", kSocketInput},
    {"VCA Env CV Out", kSocketOutput},
    {"VCF Env CV Out", kSocketOutput},
    {"Envelope Follower", kSocketOutput},
    {"Attenuator 1 Input", kSocketInput},
    {"Attenuator 1 1/8 Out", kSocketOutput},
    {"Attenuator 1 1/2 Out", kSocketOutput},
    {"Attenuator 1 3/4 Out", kSocketOutput},
    {"Inverter 1 Input", kSocketInput},
    {"Inverter 1 Output", kSocketOutput},
    {"Inverter 2 Input", kSocketInput},
    {"Inverter 2 Output", kSocketOutput},
    {"Attenuator 2 Input", kSocketInput},
    {"Attenuator 2 1/8 Out", kSocketOutput},
    {"Attenuator 2 1/2 Out", kSocketOutput},
    {"Attenuator 2 3/4 Out", kSocketOutput},
    {"Attenuator 2 Lag Out", kSocketOutput},
    {"VCF CV Input", kSocketInput},
    {"VCA CV Input", kSocketInput},
    {"VCO-1 PW CV", kSocketInput},
    {"VCO-2 PW CV", kSocketInput},
    {"Noise CV", kSocketInput},
    {"Mod Wheel", kSocketOutput},
    {"Attn. 1 Unipolar out", kSocketOutput},
    {"Channel Pressure", kSocketOutput},
}};

void SocketTable::registerSocket(float** slot, const char* name, std::int32_t direction) {
    if (count_ == kMaxSockets) return;
    Socket& s = sockets_[static_cast<std::size_t>(count_++)];
    s.slot = slot;
    std::strncpy(s.name, name, sizeof s.name - 1);
    s.name[sizeof s.name - 1] = 0;
    s.direction = direction;
}

bool SocketTable::isInput(int index) const {
    return index >= 0 && index < count_ && (socket(index).direction & kSocketInput) != 0;
}

bool SocketTable::isOutput(int index) const {
    return index >= 0 && index < count_ && (socket(index).direction & kSocketOutput) != 0;
}

int SocketTable::findSource(const CableList& cables, int input) const {
    for (int i = 0, n = cables.size(); i < n; ++i) {
        const Connection c = cables.at(i);
        if (c.input == input) return c.output;
    }
    return -1;
}

bool SocketTable::isConnected(const CableList& cables, int socketIndex) const {
    for (int i = 0, n = cables.size(); i < n; ++i) {
        const Connection c = cables.at(i);
        if (c.input == socketIndex || c.output == socketIndex) return true;
    }
    return false;
}

bool SocketTable::canConnect(const CableList& cables, int a, int b) const {
    if (isInput(a)) std::swap(a, b);
    if (a == b) return false;
    for (int i = 0, n = cables.size(); i < n; ++i) {
        const Connection c = cables.at(i);
        if (c.output == a && c.input == b) return false;
        if (c.input == b) return false;
    }
    return isOutput(a) && isInput(b);
}

bool SocketTable::connect(CableList& cables, int a, int b) const {
    if (!canConnect(cables, a, b)) return false;
    if (isInput(a)) std::swap(a, b);
    const int n = cables.size();
    if (n == kMaxCables) return false;
    cables.set(n, {a, b});
    cables.setSize(n + 1);
    return true;
}

void SocketTable::disconnect(CableList& cables, int a, int b) const {
    if (isInput(a)) std::swap(a, b);
    const int n = cables.size();
    for (int i = 0; i < n; ++i) {
        const Connection c = cables.at(i);
        if (c.output != a || c.input != b) continue;
        for (int j = i; j + 1 < n; ++j) cables.set(j, cables.at(j + 1));
        cables.setSize(n - 1);
        return;
    }
}

void SocketTable::applyConnections(const CableList& cables) const {
    for (int i = 0; i < count_; ++i) {
        if (isInput(i)) *socket(i).slot = nullptr;
    }
    for (int i = 0, n = cables.size(); i < n; ++i) {
        const Connection c = cables.at(i);
        if (isOutput(c.output) && isInput(c.input)) *socket(c.input).slot = *socket(c.output).slot;
    }
}

const SocketTable& socketRules() {
    static float* slots[kNumSockets] = {};
    static const SocketTable table = [] {
        SocketTable t;
        for (int i = 0; i < kNumSockets; ++i)
            t.registerSocket(&slots[i], kSocketDefinitions[static_cast<std::size_t>(i)].name,
                             kSocketDefinitions[static_cast<std::size_t>(i)].direction);
        return t;
    }();
    return table;
}

}  // namespace tarvik

// The 42 patch points of the signal graph and the rules for cables between
// them. A socket stands for a signal slot: an output socket's slot points at
// the buffer its source writes, an input socket's slot is null until a cable
// points it at an output's buffer. Patch files store cables by socket index,
// so the order of the table never changes.
#pragma once

#include <array>
#include <cstdint>

#include "dsp/cable.h"

namespace tarvik {

namespace socket {
enum Index : int {
    Vco1Cv = 0,
    Vco2Cv,
    VcoBalanceCv,
    NoiseAuxBalanceCv,
    MgCvOutput,
    ShaperCv,
    AccentTrigger,
    VcaEnvAmount,
    VcfEnvAmount,
    DelayTimeLeft,
    DelayTimeRight,
    SeqGateOut,
    SeqNoteOut,
    SeqAccentOut,
    MidiNoteCv,
    MidiVelocityCv,
    MgFreqCv,
    MgAmountCv,
    VcaEnvOut,
    VcfEnvOut,
    EnvelopeFollower,
    Attenuator1Input,
    Attenuator1EighthOut,
    Attenuator1HalfOut,
    Attenuator1VariableOut,
    Inverter1Input,
    Inverter1Output,
    Inverter2Input,
    Inverter2Output,
    Attenuator2Input,
    Attenuator2EighthOut,
    Attenuator2HalfOut,
    Attenuator2VariableOut,
    Attenuator2LagOut,
    VcfCv,
    VcaCv,
    Vco1PwCv,
    Vco2PwCv,
    NoiseCv,
    ModWheel,
    Attenuator1UnipolarOut,
    ChannelPressure,
};
}  // namespace socket

constexpr int kNumSockets = 42;

enum SocketDirection : std::int32_t { kSocketInput = 1, kSocketOutput = 2 };

struct SocketDefinition {
    const char* name;
    SocketDirection direction;
};

extern const std::array<SocketDefinition, kNumSockets> kSocketDefinitions;

struct Socket {
    float** slot;
    char name[80];
    std::int32_t direction;
};

class SocketTable {
public:
    static constexpr int kMaxSockets = 128;

    // Appends a socket; ignored once the table is full.
    void registerSocket(float** slot, const char* name, std::int32_t direction);
    int size() const { return count_; }
    const Socket& socket(int index) const { return sockets_[static_cast<std::size_t>(index)]; }
    bool isInput(int index) const;
    bool isOutput(int index) const;

    // The output feeding an input socket, or -1.
    int findSource(const CableList& cables, int input) const;
    // Whether a cable ends at the socket, on either side.
    bool isConnected(const CableList& cables, int socket) const;
    // One cable joins an output and an input; an input takes one cable, an
    // output may feed any number of inputs.
    bool canConnect(const CableList& cables, int a, int b) const;
    // Adds the cable (stored output first) when allowed; answers whether it was added.
    bool connect(CableList& cables, int a, int b) const;
    // Removes the cable between the two sockets; the others keep their order.
    void disconnect(CableList& cables, int a, int b) const;
    // The routing step of each block: every input slot is cleared, then each
    // cable points its input's slot at its output's buffer. No samples are
    // copied. Cables that do not join a registered output to a registered
    // input are skipped.
    void applyConnections(const CableList& cables) const;

private:
    std::array<Socket, kMaxSockets> sockets_{};
    int count_ = 0;
};

// The 42 sockets without signal slots: the rules for cables that the control
// side consults (never routed). Built once, on first use.
const SocketTable& socketRules();

}  // namespace tarvik

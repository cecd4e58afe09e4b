// What the instrument asks of the front end that carries it into a host (the
// VST 2.4 shell, the LV2 plug-in): the few things only the host can do. Each call says
// the threads it comes from.
#pragma once

#include <cstdint>

namespace tarvik {

class InstrumentHost {
public:
    virtual ~InstrumentHost() = default;

    // A user's gesture on a parameter begins and ends; hosts record
    // automation, and group undo, between the two. Control threads.
    virtual void beginParameterEdit(int parameter) = 0;
    virtual void endParameterEdit(int parameter) = 0;
    // A parameter the user or a MIDI controller moved, for the host to
    // record. Control threads, and the audio thread for controllers: it must
    // not block.
    virtual void automateParameter(int parameter, float value) = 0;
    // One MIDI message for the host's MIDI output, at offset 0 of the
    // current block. The audio thread, and the destroying thread once no
    // block renders any more.
    virtual bool sendMidi(std::uint8_t status, std::uint8_t data1) = 0;
    // Another patch became current: the host should read its name and the
    // parameters again. The thread that installed it (a control thread).
    virtual void patchReplaced() = 0;
};

}  // namespace tarvik

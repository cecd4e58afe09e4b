// Places a time line on sample frames and hands it out block by block, the
// way a host delivers events: each block's events with their offsets inside
// the block, so the plug-in can act on them sample-accurately.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/host/hosted_plugin.h"
#include "tools/render/timeline.h"

namespace tarvik::render {

class BlockSchedule {
public:
    // Until the time line's first tempo change the tempo is initialBpm.
    BlockSchedule(const Timeline& timeline, double sampleRate, double initialBpm);

    // Moves on to the next block of the given length.
    void advance(int frames);
    // The current block's events in playing order.
    const std::vector<host::TimedMidi>& events() const { return blockEvents_; }
    // The tempo in force at the start of the current block.
    double tempo() const { return tempo_; }

private:
    struct FrameEvent {
        std::int64_t frame;
        host::MidiMessage message;
    };
    struct FrameTempo {
        std::int64_t frame;
        double bpm;
    };

    std::vector<FrameEvent> events_;
    std::vector<FrameTempo> tempoChanges_;
    std::vector<host::TimedMidi> blockEvents_;
    std::size_t nextEvent_ = 0;
    std::size_t nextTempo_ = 0;
    std::int64_t blockEnd_ = 0;
    double tempo_;
};

}  // namespace tarvik::render

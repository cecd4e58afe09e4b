#include "instrument/audio_face.h"

#include "instrument/instrument.h"

namespace tarvik {

namespace {
constexpr int kProgramChange = 0xC0;
constexpr int kControlChange = 0xB0;
constexpr int kBankSelect = 0;
}  // namespace

void AudioFace::clearEvents() { instrument_.engine_.audio().clearEvents(); }

// Program changes and bank selects load patch files, which only a control
// thread may do: they are noted here (a later one in the same block wins).
void AudioFace::addEvent(const MidiEvent& event) {
    const int kind = event.status & 0xF0;
    if (kind == kProgramChange) instrument_.pendingProgram_.store(event.data1 & 0x7F, std::memory_order_release);
    if (kind == kControlChange && (event.data1 & 0x7F) == kBankSelect)
        instrument_.pendingBank_.store(event.data2 & 0x7F, std::memory_order_release);
    instrument_.engine_.audio().pendingEvents().add(event);
}

bool AudioFace::followsHostTempo() const {
    return instrument_.engine_.audio().state(state::SyncMode) == 1;
}

void AudioFace::setHostTempo(double bpm) { instrument_.engine_.audio().followHostTempo(bpm); }

void AudioFace::process(const float* const* inputs, float* const* outputs, int frames) {
    instrument_.engine_.audio().processBlock(inputs, outputs, frames, true);
}

}  // namespace tarvik

#include "lv2/tarvik_lv2.h"

#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include <algorithm>
#include <cmath>

namespace tarvik::lv2 {

namespace {

Urids mapUrids(const LV2_URID_Map& map) {
    auto urid = [&](const char* uri) { return map.map(map.handle, uri); };
    return {urid(LV2_MIDI__MidiEvent), urid(LV2_TIME__Position), urid(LV2_TIME__beatsPerMinute),
            urid(LV2_ATOM__Float),     urid(LV2_ATOM__Double),   urid(LV2_ATOM__Int),
            urid(LV2_ATOM__Long),      urid(LV2_ATOM__Object)};
}

// A number atom of any of the four kinds hosts write, or NaN.
double numberOf(const LV2_Atom* atom, const Urids& urids) {
    if (!atom) return NAN;
    if (atom->type == urids.atomFloat && atom->size >= sizeof(float))
        return reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
    if (atom->type == urids.atomDouble && atom->size >= sizeof(double))
        return reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
    if (atom->type == urids.atomInt && atom->size >= sizeof(std::int32_t))
        return reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
    if (atom->type == urids.atomLong && atom->size >= sizeof(std::int64_t))
        return static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
    return NAN;
}

}  // namespace

TarvikLv2::TarvikLv2(const LV2_URID_Map& map, double sampleRate, int maxBlockFrames)
    : urids_(mapUrids(map)), instrument_(*this, sampleRate, maxBlockFrames) {
    for (int i = 0; i < kNumParameters; ++i)
        lastControls_[static_cast<std::size_t>(i)] = instrument_.control().parameter(i);
}

void TarvikLv2::connectPort(std::uint32_t port, void* data) {
    if (port < static_cast<std::uint32_t>(kNumParameters)) {
        controls_[port] = static_cast<const float*>(data);
        return;
    }
    switch (port) {
        case kEventsPort: events_ = static_cast<const LV2_Atom_Sequence*>(data); break;
        case kAuxPort: aux_ = static_cast<const float*>(data); break;
        case kLeftPort: left_ = static_cast<float*>(data); break;
        case kRightPort: right_ = static_cast<float*>(data); break;
        default: break;
    }
}

void TarvikLv2::run(std::uint32_t frames) {
    takeControls();
    takeEvents(frames);
    AudioFace& audio = instrument_.audio();
    // One tempo for the whole block, as a VST host gives it: a position
    // stamped later in the block acts from its start.
    if (audio.followsHostTempo() && hostTempo_ > 0.0) audio.setHostTempo(hostTempo_);
    const float* inputs[2] = {aux_, nullptr};
    float* outputs[2] = {left_, right_};
    audio.process(inputs, outputs, static_cast<int>(frames));
}

// The same call a VST host's setParameter makes: one atomic store each.
void TarvikLv2::takeControls() {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (!controls_[i]) continue;
        const float value = *controls_[i];
        if (value == lastControls_[i] || !std::isfinite(value)) continue;
        lastControls_[i] = value;
        instrument_.control().setParameter(static_cast<int>(i), value);
    }
}

// Only complete channel messages of up to three bytes play; system-exclusive
// and other longer messages would be read as garbage. An event stamped past
// the block acts at its last frame.
void TarvikLv2::takeEvents(std::uint32_t frames) {
    AudioFace& audio = instrument_.audio();
    audio.clearEvents();
    if (!events_ || frames == 0) return;
    LV2_ATOM_SEQUENCE_FOREACH(events_, event) {
        if (event->body.type == urids_.midiEvent) {
            const std::uint32_t size = event->body.size;
            const auto* bytes = static_cast<const std::uint8_t*>(LV2_ATOM_BODY_CONST(&event->body));
            if (size < 1 || size > 3 || (bytes[0] & 0x80) == 0) continue;
            const std::int64_t frame = event->time.frames < 0 ? 0 : event->time.frames;
            const auto offset = static_cast<int>(std::min<std::int64_t>(frame, frames - 1));
            audio.addEvent(
                {offset, bytes[0], size > 1 ? bytes[1] : std::uint8_t{0}, size > 2 ? bytes[2] : std::uint8_t{0}});
        } else if (event->body.type == urids_.atomObject) {
            const auto& object = *reinterpret_cast<const LV2_Atom_Object*>(&event->body);
            if (object.body.otype == urids_.timePosition) takePosition(object);
        }
    }
}

// The sequencer follows the host's tempo only, not its transport: it runs and
// stops by its own switch, so speed and bar position are not read.
void TarvikLv2::takePosition(const LV2_Atom_Object& position) {
    const LV2_Atom* tempo = nullptr;
    lv2_atom_object_get(&position, urids_.beatsPerMinute, &tempo, 0);
    const double bpm = numberOf(tempo, urids_);
    if (std::isfinite(bpm) && bpm > 0.0) hostTempo_ = bpm;
}

}  // namespace tarvik::lv2

#include "engine/step_sequencer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "patch/pattern_ops.h"

namespace tarvik {

namespace {

constexpr int kSemitoneRange = StepSequencer::kHighestSemitone - StepSequencer::kLowestSemitone + 1;
constexpr int kOctave = 12;
constexpr double kGateScale = 0.999;  // even Gate time 1 closes the gate just before the next step
constexpr double kTripletRate = 0.75;

// Built once per process, on first use: the construction of a sequencer, so
// never on the audio thread. Each entry is exactly the single-precision power
// a note start would compute, without the cost of powf at every note.
const float* pitchRatioTable() {
    static const std::array<float, kSemitoneRange> table = [] {
        std::array<float, kSemitoneRange> ratios{};
        for (int i = 0; i < kSemitoneRange; ++i) {
            const int semitones = i + StepSequencer::kLowestSemitone;
            ratios[static_cast<std::size_t>(i)] = std::pow(2.0f, static_cast<float>(semitones) / 12.0f);
        }
        return ratios;
    }();
    return table.data();
}

// Gate time outside its knob range (the host may set any value) is limited
// to it; NaN closes the gate at once rather than never.
double gateFraction(float gateTime) { return (gateTime >= 0.0f ? std::min(gateTime, 1.0f) : 0.0f) * kGateScale; }

}  // namespace

StepSequencer::StepSequencer() : pitchRatios_(pitchRatioTable()) {}

void StepSequencer::renderSegment(int frames, const TarvikPatch& patch, double tempoBpm, double hostSampleRate,
                                  float gateTime, const SequencerBuffers& buffers) {
    // Reading RunStop (an acquiring load) first: a RunStop of 1 written after
    // a reset request is never seen without the request.
    const bool runStop = patch.state(state::RunStop) != 0;
    if (resetRequested_.exchange(false, std::memory_order_relaxed)) resetPosition();

    outputs = buffers;
    if (!runStop) {
        std::fill_n(outputs.pitchRatio, frames, 1.0f);
        for (float* out : {outputs.gate, outputs.trigger, outputs.slide, outputs.accent, outputs.noteCV})
            std::fill_n(out, frames, 0.0f);
        running = 0;
        return;
    }

    sampleRate = hostSampleRate;
    bpm = tempoBpm;
    // A rate or tempo that gives no usable step length (zero, negative, NaN,
    // infinite) keeps the last good one instead of stalling or racing.
    const double sixteenth = hostSampleRate / (tempoBpm / 60.0 * 4.0);
    if (std::isfinite(sixteenth) && sixteenth > 0.0)
        samplesPerSixteenth = std::max(sixteenth, kMinSamplesPerSixteenth);
    running = 1;
    bank = patch.patterns;
    gateLength = gateFraction(gateTime);
    currentPattern = currentPatternIndex(patch);
    runSequencer(frames);
}

void StepSequencer::runSequencer(int frames) {
    for (int n = 0; n < frames; ++n) {
        trigger = 0;
        if (inStep == 0 && running == 1) startNote();
        if (running == 1) advance();
        outputs.pitchRatio[n] = static_cast<float>(pitchRatio);
        outputs.gate[n] = static_cast<float>(gate);
        outputs.trigger[n] = static_cast<float>(trigger);
        outputs.slide[n] = static_cast<float>(slidePrev);
        outputs.accent[n] = static_cast<float>(accentOut);
        outputs.noteCV[n] = noteCV;
    }
}

void StepSequencer::startNote() {
    const Pattern& p = bank[currentPattern];
    // Each byte and step is read once, whole: a length checked against the
    // bounds is the length then used, and a step's note and flags belong
    // together even while the control side publishes an edit.
    switch (loadPatternByte(p.timeMode)) {
        case 0: speed = 1.0; break;
        case 1: speed = 2.0; break;
        case 2: speed = 0.75; break;
        case 3: speed = 1.5; break;
        default: break;  // an unknown mode keeps the previous speed
    }
    const int length = playedLength(loadPatternByte(p.length));
    if (stepIndex < 0 || stepIndex >= kMaxSteps) stepIndex = 0;
    noteStart = stepIndex;

    const Step current = loadStep(p.steps[stepIndex]);
    const std::uint8_t note = current.note;
    const std::uint8_t flags = current.flags;
    const bool gated = (flags & step::kGate) != 0;
    const std::int32_t oldSlide = slide;
    slidePrev = oldSlide;
    accentNow = gated && (flags & step::kAccent) ? 1 : 0;
    slide = (flags & step::kSlide) ? 1 : 0;

    // Ties do not wrap past the pattern's end; a step read beyond a shorter
    // pattern's length therefore has none.
    int ties = 0;
    while (stepIndex + 1 + ties < length && (loadStep(p.steps[stepIndex + 1 + ties]).flags & step::kTie)) ++ties;
    noteSteps = 1 + ties;

    // An accent lasts through a slide into the next step.
    accentOut = (oldSlide && accentOut) || accentNow ? 1 : 0;
    // A step reached by a slide keeps the gate open.
    if (oldSlide == 0) gate = gated ? 1 : 0;
    if (gated) {
        const int up = (flags & step::kUp) ? 1 : 0;
        const int down = (flags & step::kDown) ? 1 : 0;
        const int semitones = static_cast<std::int8_t>(note) + kOctave * (up - down);
        noteCV = static_cast<float>(semitones) / 12.0f;
        pitchRatio = pitchRatios_[semitones - kLowestSemitone];
    }
    // A rest lasts one step, but the steps tied to it are still skipped.
    if (!gated && (flags & step::kTie) == 0) noteSteps = 1;

    stepIndex += 1 + ties;
    if (stepIndex >= length) stepIndex = 0;
    if (gate == 1 && oldSlide == 0) trigger = 1;
    inStep = 1;
}

void StepSequencer::advance() {
    double inc = speed;
    if (loadPatternByte(bank[currentPattern].flags) & kTripletFlag) inc *= kTripletRate;
    phase += inc;
    if (slide == 0 && phase > (noteSteps + gateLength - 1.0) * samplesPerSixteenth) gate = 0;

    const double noteLength = noteSteps * samplesPerSixteenth;
    if (phase > noteLength) {
        inStep = 0;
        // The remainder carries into the next note so that step boundaries
        // do not drift. It is at most one increment unless the tempo rose
        // sharply mid-note; that excess is dropped, or the following notes
        // would each last a single sample until it was used up.
        phase = std::min(phase - noteLength, inc);
    }
}

// The phase counts sixteenths at the pattern's rate from the note's start.
int StepSequencer::playingStep() const {
    const int stepsIn = std::clamp(static_cast<int>(phase / samplesPerSixteenth), 0, noteSteps - 1);
    return std::min(noteStart + stepsIn, kMaxSteps - 1);
}

void StepSequencer::resetPosition() {
    phase = 0.0;
    gate = 0;
    accentOut = 0;
    slide = 0;
    inStep = 0;
    stepIndex = 0;
}

void StepSequencer::requestPositionReset() {
    // Published by the caller's next store, the releasing RunStop of 1.
    resetRequested_.store(true, std::memory_order_relaxed);
}

}  // namespace tarvik

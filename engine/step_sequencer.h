// The TB-303 style step sequencer: plays the current pattern one step per
// sixteenth note (faster or slower by the pattern's time mode and triplet
// flag) and writes gate, trigger, pitch, slide, accent and note CV per sample.
//
// It runs on the audio thread only. The editor writes the pattern bytes and
// the RunStop and CurrentPattern states without a lock; a pattern is read
// only when a note starts and the states once per segment.
#pragma once

#include <atomic>
#include <cstdint>

#include "patch/patch.h"

namespace tarvik {

// The six signals, one value per sample; the render loop owns the memory.
struct SequencerBuffers {
    float* pitchRatio;
    float* gate;
    float* trigger;  // 1 on the first sample of a note that is not slid into
    float* slide;    // the previous step's slide flag: glide is on
    float* accent;
    float* noteCV;  // semitones / 12
};

class StepSequencer {
public:
    // Notes are stored as a signed byte plus or minus one octave.
    static constexpr int kLowestSemitone = -128 - 12;
    static constexpr int kHighestSemitone = 127 + 12;
    // Shorter steps are taken as this long, so that the phase remainder a
    // note carries into the next always stays below one step.
    static constexpr double kMinSamplesPerSixteenth = 4.0;

    StepSequencer();

    // The per-segment stage. With RunStop 0 the buffers get pitch 1.0 and 0
    // elsewhere and the position and note are kept for a later resume;
    // otherwise the sequencer takes the tempo, rate, Gate time (0..1) and
    // current pattern afresh and runs. A pending position reset is applied
    // first in either case.
    void renderSegment(int frames, const TarvikPatch& patch, double tempoBpm, double hostSampleRate, float gateTime,
                       const SequencerBuffers& buffers);

    // Advances over frames samples and fills the buffers; needs bank and
    // outputs set and currentPattern within the bank, as renderSegment does.
    void runSequencer(int frames);

    // The start of a run: the next sample starts step 0 of the pattern. The
    // last note's pitch and note CV stay, so a run that starts on a rest
    // holds the pitch it had instead of jumping to the base note.
    void resetPosition();
    // The same from any thread, taking effect at the start of the next
    // renderSegment. Call it before setting RunStop to 1, so that the audio
    // thread never starts a segment at the old position.
    void requestPositionReset();

    // The step sounding now: the note's first step, or one of the steps
    // tied to it as the note goes on.
    int playingStep() const;

    std::int32_t noteSteps = 1;  // the current note's steps: 1 + the tied steps after it
    std::int32_t accentNow = 0;  // this step's accent AND gate
    std::int32_t gate = 0;
    std::int32_t trigger = 0;
    std::int32_t accentOut = 0;
    std::int32_t slide = 0;      // the current step's slide flag
    std::int32_t slidePrev = 0;  // the previous step's slide flag
    std::int32_t inStep = 0;     // 0: the next sample starts a note
    float noteCV = 0.0f;
    std::int32_t running = 0;
    std::int32_t currentPattern = 0;
    const Pattern* bank = nullptr;
    double bpm = 120.0;
    double samplesPerSixteenth = 5512.5;
    double sampleRate = 44100.0;
    std::int32_t stepIndex = 0;  // the step read when the next note starts
    std::int32_t noteStart = 0;  // the step the current note started on
    double pitchRatio = 1.0;
    double speed = 1.0;
    double gateLength = 0.0;  // fraction of a step the gate stays open
    double phase = 0.0;       // samples, scaled by speed, since the note started
    SequencerBuffers outputs{};

private:
    void startNote();
    void advance();

    const float* pitchRatios_;  // indexed by semitone − kLowestSemitone
    std::atomic<bool> resetRequested_{false};
};

}  // namespace tarvik

#include "patch/pattern_ops.h"

#include <atomic>
#include <iterator>

namespace tarvik {

namespace {

struct PatternClipboard {
    std::uint8_t flags;
    std::uint8_t length;
    Step steps[kMaxSteps];
};

// All are constant-initialised: they hold their start values before any code
// of the process runs, so no other static's constructor can see them unset.
constinit PatternClipboard clipboard{};
// Set once the clipboard holds a copy; released after the copy is written.
constinit std::atomic<bool> clipboardFilled{false};
constinit std::atomic<std::uint32_t> randomState{1};

constexpr int kOctave = 12;
constexpr std::uint8_t kOctaveFlags = step::kUp | step::kDown;
constexpr std::uint8_t kTripletCleared = static_cast<std::uint8_t>(~kTripletFlag);

// The randomiser's octave numbers: octave 2 holds notes 0..11 without a flag.
constexpr int kBaseOctave = 2;
constexpr int kLowestOctave = 0;
constexpr int kHighestOctave = 5;
// Up to 16 pitch-class draws per step; only a hit within the first 15 counts.
constexpr int kPitchClassDraws = 16;
constexpr int kPitchClassHitsCounted = 15;

constexpr int kMaxPercent = 100;

int played(const Pattern& pattern) { return playedLength(pattern.length); }

void clearFlag(Step& s, std::uint8_t flag) { s.flags = static_cast<std::uint8_t>(s.flags & ~flag); }

// Brings a pitch in semitones into the step's own range: note 0..12 with no
// flag, up for one octave more; below 0 it takes the down flag and anything
// still lower folds to 0. The other flags are kept.
void setPitch(Step& s, int semitones) {
    std::uint8_t octave = 0;
    if (semitones > kOctave) {
        semitones -= kOctave;
        octave = step::kUp;
    } else if (semitones < 0) {
        semitones = std::max(semitones + kOctave, 0);
        octave = step::kDown;
    }
    s.note = static_cast<std::uint8_t>(semitones & 0x7F);
    s.flags = static_cast<std::uint8_t>((s.flags & ~kOctaveFlags) | octave);
}

int pitchOf(const Step& s) {
    const int up = (s.flags & step::kUp) ? 1 : 0;
    const int down = (s.flags & step::kDown) ? 1 : 0;
    return s.note + kOctave * (up - down);
}

// Chooses played steps not chosen before. The callers never ask for more
// steps than the length, so an unused one always exists; and as the generator
// runs through all 2^32 states, every remainder modulo the length comes up,
// so the search ends.
class UnusedStepPicker {
public:
    explicit UnusedStepPicker(int length) : length_(length) {}

    int pick() {
        int i = patternRandom() % length_;
        while (used_[i]) i = patternRandom() % length_;
        used_[i] = true;
        return i;
    }

private:
    int length_;
    bool used_[kMaxSteps] = {};
};

int percentOf(int length, int percent) { return std::clamp(percent, 0, kMaxPercent) * length / kMaxPercent; }

void scatterFlag(Pattern& pattern, int length, std::uint8_t flag, int percent) {
    for (int i = 0; i < length; ++i) clearFlag(pattern.steps[i], flag);
    UnusedStepPicker picker(length);
    for (int n = percentOf(length, percent); n > 0; --n) pattern.steps[picker.pick()].flags |= flag;
}

void scatterPitches(Pattern& pattern, int length, const AdvancedRandomSettings& settings) {
    const int a = std::clamp(settings.octaveLow, kLowestOctave, kHighestOctave);
    const int b = std::clamp(settings.octaveHigh, kLowestOctave, kHighestOctave);
    const int low = std::min(a, b);
    const int span = std::max(a, b) - low + 1;
    for (int i = 0; i < length; ++i) {
        const int octave = patternRandom() % span + low - kBaseOctave;
        setPitch(pattern.steps[i], kOctave * octave);
    }

    UnusedStepPicker picker(length);
    for (int n = percentOf(length, settings.pitchPercent); n > 0; --n) {
        Step& s = pattern.steps[picker.pick()];
        for (int draw = 1; draw <= kPitchClassDraws; ++draw) {
            const int pitchClass = patternRandom() % kPitchClasses;
            if (settings.pitchClassEnabled[pitchClass] == 0) continue;
            if (draw <= kPitchClassHitsCounted) s.note = static_cast<std::uint8_t>(s.note + pitchClass);
            break;
        }
    }
}

}  // namespace

int currentPatternIndex(const TarvikPatch& patch) {
    return std::clamp(patch.state(state::CurrentPattern), 0, kNumPatterns - 1);
}

void seedPatternRandom(std::uint32_t seed) { randomState.store(seed, std::memory_order_relaxed); }

int patternRandom() {
    std::uint32_t state = randomState.load(std::memory_order_relaxed);
    std::uint32_t next = 0;
    do {
        next = state * 214013u + 2531011u;
    } while (!randomState.compare_exchange_weak(state, next, std::memory_order_relaxed));
    return static_cast<int>((next >> 16) & 0x7FFF);
}

void copyPattern(const Pattern& pattern) {
    clipboard.flags = pattern.flags;
    clipboard.length = pattern.length;
    std::copy(std::begin(pattern.steps), std::end(pattern.steps), clipboard.steps);
    clipboardFilled.store(true, std::memory_order_release);
}

bool patternCopied() { return clipboardFilled.load(std::memory_order_acquire); }

bool pastePattern(Pattern& pattern) {
    if (!patternCopied()) return false;
    pattern.flags = clipboard.flags;
    pattern.length = clipboard.length;
    std::copy(std::begin(clipboard.steps), std::end(clipboard.steps), pattern.steps);
    return true;
}

void transposePattern(Pattern& pattern, int semitones) {
    for (int i = 0; i < played(pattern); ++i) {
        Step& s = pattern.steps[i];
        setPitch(s, pitchOf(s) + semitones);
    }
}

void expandPattern(Pattern& pattern) {
    // Downwards, so that each step is read before its slot is overwritten.
    for (int i = kMaxSteps / 2 - 1; i >= 0; --i) {
        pattern.steps[2 * i] = pattern.steps[i];
        pattern.steps[2 * i + 1] = Step{};
    }
    pattern.length = static_cast<std::uint8_t>(std::clamp(2 * pattern.length, 1, kMaxSteps));
}

void shrinkPattern(Pattern& pattern) {
    for (int i = 0; i < kMaxSteps / 2; ++i) pattern.steps[i] = pattern.steps[2 * i];
    const int length = std::max(played(pattern) / 2, 1);
    pattern.length = static_cast<std::uint8_t>(length);
    std::fill(pattern.steps + length, std::end(pattern.steps), Step{});
}

void duplicateSteps(Pattern& pattern) {
    const int length = played(pattern);
    for (int i = length; i < kMaxSteps; ++i) pattern.steps[i] = pattern.steps[i % length];
}

void shiftPattern(Pattern& pattern, int distance) {
    const int length = played(pattern);
    const int shift = (distance % length + length) % length;
    Step old[kMaxSteps];
    std::copy(pattern.steps, pattern.steps + length, old);
    for (int i = 0; i < length; ++i) pattern.steps[i] = old[(i - shift + length) % length];
}

void allNotesOff(Pattern& pattern) {
    for (int i = 0; i < played(pattern); ++i) clearFlag(pattern.steps[i], step::kGate | step::kTie);
}

void allAccentsOff(Pattern& pattern) {
    for (int i = 0; i < played(pattern); ++i) clearFlag(pattern.steps[i], step::kAccent);
}

void allSlidesOff(Pattern& pattern) {
    for (int i = 0; i < played(pattern); ++i) clearFlag(pattern.steps[i], step::kSlide);
}

void randomizePitches(Pattern& pattern) {
    for (int i = 0; i < played(pattern); ++i) {
        patternRandom();
        patternRandom();
        pattern.steps[i].note = static_cast<std::uint8_t>(patternRandom() % 29);
    }
}

void randomizePattern(Pattern& pattern) {
    for (int i = 0; i < played(pattern); ++i) {
        int r[6];
        for (int& value : r) value = patternRandom();
        std::uint8_t flags = 0;
        if (r[0] & 1) flags |= step::kAccent;
        if (r[1] % 4 != 0) flags |= step::kGate;
        if (r[2] % 3 == 0) flags |= step::kSlide;
        if (r[3] & 1) flags |= step::kUp;
        if (r[4] & 1) flags |= step::kDown;
        pattern.steps[i] = Step{static_cast<std::uint8_t>(r[5] % 14), flags};
    }
}

void alterPattern(Pattern& pattern) {
    const int length = played(pattern);
    Step old[kMaxSteps];
    std::copy(pattern.steps, pattern.steps + length, old);
    UnusedStepPicker picker(length);
    for (int i = 0; i < length; ++i) pattern.steps[i] = old[picker.pick()];
}

void advancedRandomize(Pattern& pattern, const AdvancedRandomSettings& settings) {
    const int length = playedLength(settings.stepCount);
    pattern.length = static_cast<std::uint8_t>(length);
    if (settings.randomizePitches != 0) scatterPitches(pattern, length, settings);
    if (settings.randomizeGates != 0) scatterFlag(pattern, length, step::kGate, settings.gatePercent);
    if (settings.randomizeSlides != 0) scatterFlag(pattern, length, step::kSlide, settings.slidePercent);
    if (settings.randomizeAccents != 0) scatterFlag(pattern, length, step::kAccent, settings.accentPercent);
}

void clearPattern(Pattern& pattern, bool clearNotes) {
    pattern.flags &= kTripletCleared;
    const Step cleared{0, clearNotes ? step::kGate : std::uint8_t{0}};
    std::fill(pattern.steps, pattern.steps + played(pattern), cleared);
}

void clearPatternBank(TarvikPatch& patch, bool clearNotes) {
    for (Pattern& p : patch.patterns) clearPattern(p, clearNotes);
}

RunStopRequest PatternEditor::sequencerCommand(Pattern& pattern, int code, const StepProgramming& context) {
    const int length = played(pattern);
    const bool writable = !context.writeProtected;
    editPosition_ = editPosition(pattern);
    Step& current = pattern.steps[editPosition_];
    auto toggle = [&](std::uint8_t flag) {
        if (writable) current.flags ^= flag;
    };
    auto next = [&] { editPosition_ = editPosition_ + 1 < length ? editPosition_ + 1 : 0; };

    switch (code) {
        case command::kClearPattern:
            if (writable) clearPattern(pattern, context.clearNotes);
            editPosition_ = 0;
            break;
        case command::kRunStop:
            return context.running ? RunStopRequest::Stop : RunStopRequest::Start;
        case command::kAutoAdvance:
            autoAdvance_ = !autoAdvance_;
            if (!autoAdvance_) editPosition_ = 0;
            break;
        case command::kFirstStep: editPosition_ = 0; break;
        case command::kToggleGate: toggle(step::kGate); break;
        case command::kToggleDown: toggle(step::kDown); break;
        case command::kToggleUp: toggle(step::kUp); break;
        case command::kToggleAccent: toggle(step::kAccent); break;
        case command::kToggleSlide: toggle(step::kSlide); break;
        case command::kBack: editPosition_ = editPosition_ > 0 ? editPosition_ - 1 : length - 1; break;
        case command::kNext: next(); break;
        // From the stored length, so that an empty pasted pattern grows to 1.
        case command::kLonger:
            pattern.length = static_cast<std::uint8_t>(std::clamp(pattern.length + 1, 1, kMaxSteps));
            break;
        case command::kShorter:
            pattern.length = static_cast<std::uint8_t>(std::clamp(pattern.length - 1, 1, kMaxSteps));
            break;
        default:
            if (code >= command::kFirstNote && code <= command::kLastNote) {
                if (writable) current.note = static_cast<std::uint8_t>(code - command::kFirstNote);
                if (autoAdvance_) next();
            }
            break;
    }
    return RunStopRequest::None;
}

int PatternEditor::editPosition(const Pattern& pattern) const {
    return std::clamp(editPosition_, 0, played(pattern) - 1);
}

void PatternEditor::setEditPosition(const Pattern& pattern, int position) {
    editPosition_ = std::clamp(position, 0, played(pattern) - 1);
}

}  // namespace tarvik

#include "dsp/oscillator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "dsp/wavetable_set.h"

namespace tarvik {
namespace {

constexpr double kRate = 44100.0;
constexpr double kOversampledRate = 2.0 * kRate;
constexpr int kFrames = 256;
constexpr int kSamples = 2 * kFrames;

const WavetableSet& tables() {
    static const WavetableSet set = loadWavetables("");
    return set;
}

const char* waveName(int waveform) {
    static const char* const names[] = {"saw", "square", "pulse", "triangle", "sine"};
    return names[waveform];
}

// One oscillator wired as the render loop wires it, fed block by block.
struct Rig {
    Rig(int waveform, bool wavetables) {
        osc.sawTable = &tables().saw;
        osc.squareTable = &tables().square;
        osc.triangleTable = &tables().triangle;
        osc.setSampleRate(kRate);
        osc.useWavetables = wavetables;
        osc.waveform = waveform;
        osc.resetWaveform();
        osc.inputs[Oscillator::kFrequencyInput] = frequency.data();
        osc.setPulseWidthInput(width.data());
        osc.outputs[Oscillator::kAudioOutput] = audio.data();
        osc.outputs[Oscillator::kPhaseScratch] = phases.data();
        osc.outputs[Oscillator::kPeriodScratch] = periods.data();
        width.fill(0.3f);
    }

    // Runs blocks at a constant frequency; answers the audio, and the phase
    // scratch when asked.
    std::vector<float> run(float hz, int blocks, std::vector<float>* phaseTrace = nullptr) {
        frequency.fill(hz);
        std::vector<float> out;
        for (int b = 0; b < blocks; ++b) {
            osc.process(kSamples);
            out.insert(out.end(), audio.begin(), audio.end());
            if (phaseTrace) phaseTrace->insert(phaseTrace->end(), phases.begin(), phases.end());
        }
        return out;
    }

    Oscillator osc;
    std::array<float, kFrames> frequency{};
    std::array<float, kFrames> width{};
    std::array<float, kSamples> audio{};
    std::array<float, kSamples> phases{};
    std::array<float, kSamples> periods{};
};

// Times (in samples, interpolated) where the signal rises through zero.
std::vector<double> risingZeroCrossings(const std::vector<float>& x, std::size_t from = 0) {
    std::vector<double> times;
    for (std::size_t n = std::max<std::size_t>(from, 1); n < x.size(); ++n)
        if (x[n - 1] < 0.0f && x[n] >= 0.0f) times.push_back(static_cast<double>(n - 1) + x[n - 1] / (x[n - 1] - x[n]));
    return times;
}

double pitchHz(const std::vector<float>& x, std::size_t from) {
    const std::vector<double> t = risingZeroCrossings(x, from);
    if (t.size() < 3) return 0.0;
    return static_cast<double>(t.size() - 1) * kOversampledRate / (t.back() - t.front());
}

// RMS over the whole cycles between the first and last rising zero crossing.
double cycleRms(const std::vector<float>& x, std::size_t from) {
    const std::vector<double> t = risingZeroCrossings(x, from);
    if (t.size() < 2) return 0.0;
    double sum = 0.0;
    const auto first = static_cast<std::size_t>(t.front()) + 1;
    const auto last = static_cast<std::size_t>(t.back()) + 1;
    for (std::size_t n = first; n < last; ++n) sum += static_cast<double>(x[n]) * x[n];
    return std::sqrt(sum / static_cast<double>(last - first));
}

double peak(const std::vector<float>& x, std::size_t from = 0) {
    double p = 0.0;
    for (std::size_t n = from; n < x.size(); ++n) p = std::max(p, static_cast<double>(std::fabs(x[n])));
    return p;
}

TEST(Oscillator, PhaseStepsByHalfTheFrequencyAndCyclesAlternateInLength) {
    Rig rig(Oscillator::kSaw, true);
    std::vector<float> phase;
    rig.run(441.0f, 8, &phase);
    // 441 Hz at 44.1 kHz is 0.01 cycles per frame, 0.005 per oversampled
    // sample, the first cycle 0.15 % fast.
    EXPECT_NEAR(phase[1] - phase[0], 0.005 * 1.0015, 1e-7);
    // Where the phase wraps, interpolated from the step that crossed 1.
    std::vector<double> wraps;
    for (std::size_t n = 1; n < phase.size(); ++n)
        if (phase[n] < phase[n - 1]) {
            const double step = phase[n] + 1.0 - phase[n - 1];
            wraps.push_back(static_cast<double>(n - 1) + (1.0 - phase[n - 1]) / step);
        }
    ASSERT_GE(wraps.size(), 10u);
    double start = 0.0;
    for (std::size_t c = 0; c < wraps.size(); ++c) {
        const double expected = c % 2 == 0 ? 200.0 / 1.0015 : 200.0 * 1.0015;
        EXPECT_NEAR(wraps[c] - start, expected, 1e-3) << "cycle " << c;
        start = wraps[c];
    }
}

TEST(Oscillator, UnpatchedFrequencyKeepsTheLastOne) {
    Rig rig(Oscillator::kSaw, true);
    std::vector<float> phase;
    rig.run(441.0f, 1, &phase);
    rig.osc.inputs[Oscillator::kFrequencyInput] = nullptr;
    phase.clear();
    rig.run(0.0f, 1, &phase);  // the buffer's zeros no longer reach the oscillator
    const double step = phase[1] - phase[0];
    EXPECT_TRUE(std::fabs(step - 0.005 * 1.0015) < 1e-7 || std::fabs(step - 0.005 / 1.0015) < 1e-7) << step;
}

TEST(Oscillator, ComputedModelFadesInAfterAWaveformChange) {
    for (const int waveform : {Oscillator::kSaw, Oscillator::kSquare, Oscillator::kPulse}) {
        SCOPED_TRACE(waveName(waveform));
        // A held phase (0 Hz) keeps the cycle at its start while the
        // reference's fade-in completes, so both then play the same samples.
        // A fixed pulse width, so that only the fade differs between them.
        Rig reference(waveform, false);
        Rig changed(Oscillator::kTriangle, false);
        for (Rig* rig : {&reference, &changed}) {
            rig->osc.setPulseWidthInput(nullptr);
            rig->osc.pulseOffset = 0.3f;
        }
        reference.osc.resetWaveform();
        reference.run(0.0f, 12);
        changed.run(0.0f, 1);
        changed.osc.waveform = waveform;
        changed.osc.resetWaveform();
        const std::vector<float> steady = reference.run(441.0f, 4);
        const std::vector<float> fading = changed.run(441.0f, 4);
        for (std::size_t n = 0; n < steady.size(); ++n) {
            if (std::fabs(steady[n]) < 0.1f) continue;
            // The gain covers 0.5 % of the remaining distance each sample.
            const double gain = 1.0 - std::pow(0.995, static_cast<double>(n + 1));
            ASSERT_NEAR(fading[n] / steady[n], gain, 1e-3) << "sample " << n;
        }
    }
}

TEST(Oscillator, SyncedSlowSawIsThePlainRamp) {
    const struct {
        float hz;
        bool plain;
    } cases[] = {{441.0f, true}, {4000.0f, true}, {5000.0f, false}};  // 0.01, 0.091, 0.113 cycles per frame
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hz);
        Rig rig(Oscillator::kSaw, false);
        std::array<float, kSamples> noSync{};
        rig.osc.inputs[Oscillator::kSyncInput] = noSync.data();
        const std::vector<float> out = rig.run(c.hz, 4);
        if (!c.plain) {
            // The differentiated saw is 1.3 times the ramp.
            EXPECT_GT(peak(out, kSamples), 0.55);
            continue;
        }
        const double step = 0.5 * c.hz / kRate;
        EXPECT_LE(peak(out), 0.5);
        EXPECT_GT(*std::max_element(out.begin(), out.end()), 0.5 - 1.01 * step);
        EXPECT_LT(*std::min_element(out.begin(), out.end()), -0.5 + 1.01 * step);
        for (std::size_t n = 1; n < out.size(); ++n) {
            const double rise = out[n] - out[n - 1];
            if (rise < 0.0) continue;  // the wrap
            ASSERT_TRUE(std::fabs(rise - step * 1.0015) < 1e-5 || std::fabs(rise - step / 1.0015) < 1e-5)
                << "sample " << n << " rises by " << rise;
        }
    }
}

// A synced oscillator sweeping across the plain-form limit switches form at
// the frame where it crosses, not where a block happens to end.
TEST(Oscillator, SyncedSweepSwitchesFormWhereverBlocksEnd) {
    auto render = [](std::initializer_list<int> blocks) {
        Oscillator osc;
        osc.setSampleRate(kRate);
        osc.useWavetables = false;
        std::vector<float> frequency(kFrames), audio(kSamples), phases(kSamples), periods(kSamples);
        std::vector<float> noSync(kSamples, 0.0f);
        for (int f = 0; f < kFrames; ++f) frequency[static_cast<std::size_t>(f)] = 3000.0f + 15.0f * f;  // 3 to 6.8 kHz
        int frame = 0;
        for (int frames : blocks) {
            osc.inputs[Oscillator::kFrequencyInput] = frequency.data() + frame;
            osc.inputs[Oscillator::kSyncInput] = noSync.data() + 2 * frame;
            osc.outputs[Oscillator::kAudioOutput] = audio.data() + 2 * frame;
            osc.outputs[Oscillator::kPhaseScratch] = phases.data() + 2 * frame;
            osc.outputs[Oscillator::kPeriodScratch] = periods.data() + 2 * frame;
            osc.process(2 * frames);
            frame += frames;
        }
        return audio;
    };
    const std::vector<float> whole = render({kFrames});
    EXPECT_EQ(render({100, 156}), whole);
    EXPECT_EQ(render({1, 2, 250, 3}), whole);
}

TEST(Oscillator, HardSyncRestartsTheSecondOscillatorAtTheFirstsWraps) {
    Rig master(Oscillator::kSaw, false);
    Rig slave(Oscillator::kSaw, false);
    std::array<float, kSamples> sync{};
    master.osc.outputs[Oscillator::kSyncOutput] = sync.data();
    slave.osc.inputs[Oscillator::kSyncInput] = sync.data();
    master.frequency.fill(110.0f);
    slave.frequency.fill(271.0f);
    const double slaveStep = 0.5 * 271.0 / kRate;
    int restarts = 0;
    float previousSlave = 0.0f;
    float previousMaster = 0.0f;
    for (int block = 0; block < 16; ++block) {
        master.osc.process(kSamples);
        slave.osc.process(kSamples);
        for (int i = 0; i < kSamples; ++i) {
            const float m = master.phases[static_cast<std::size_t>(i)];
            const float s = slave.phases[static_cast<std::size_t>(i)];
            // The sync output marks the sample whose step wrapped the first
            // oscillator; it restarts the second at that very sample.
            if (sync[static_cast<std::size_t>(i)] != 0.0f) {
                ++restarts;
                ASSERT_EQ(sync[static_cast<std::size_t>(i)], 1.0f);
                ASSERT_EQ(s, 0.0f) << "block " << block << " sample " << i;
            } else if (block + i > 0 && s > previousSlave) {
                const double rise = s - previousSlave;
                ASSERT_TRUE(std::fabs(rise - slaveStep * 1.0015) < 1e-6 || std::fabs(rise - slaveStep / 1.0015) < 1e-6);
            }
            // The first oscillator's own cycle is never cut short.
            if (m < previousMaster) {
                ASSERT_EQ(m, 0.0f);
            }
            previousSlave = s;
            previousMaster = m;
        }
    }
    // 16 blocks are 93 ms: ten cycles of 110 Hz.
    EXPECT_GE(restarts, 9);
}

struct ModelCase {
    int waveform;
    bool wavetables;
};

std::vector<ModelCase> everyWaveformAndModel() {
    std::vector<ModelCase> cases;
    for (int waveform = Oscillator::kSaw; waveform <= Oscillator::kSine; ++waveform)
        for (const bool wavetables : {false, true}) cases.push_back({waveform, wavetables});
    return cases;
}

std::string describe(const ModelCase& c) {
    return std::string(waveName(c.waveform)) + (c.wavetables ? ", wavetable model" : ", computed model");
}

TEST(Oscillator, PitchFromZeroCrossingsMatchesTheFrequency) {
    for (const ModelCase& c : everyWaveformAndModel()) {
        for (const float hz : {110.0f, 440.0f, 2000.0f}) {
            SCOPED_TRACE(describe(c) + " at " + std::to_string(hz) + " Hz");
            Rig rig(c.waveform, c.wavetables);
            const std::vector<float> out = rig.run(hz, 52);  // 0.3 s
            EXPECT_NEAR(pitchHz(out, 2 * kSamples), hz, 0.002 * hz);
        }
    }
}

TEST(Oscillator, PulseWidthIsTheShareOfTheCycleAboveZero) {
    for (const bool wavetables : {false, true}) {
        for (const float width : {0.2f, 0.5f, 0.8f}) {
            SCOPED_TRACE(std::to_string(width) + (wavetables ? " wavetable model" : " computed model"));
            Rig rig(Oscillator::kPulse, wavetables);
            rig.width.fill(width);
            const std::vector<float> out = rig.run(110.0f, 40);
            const std::vector<double> t = risingZeroCrossings(out, 4 * kSamples);
            ASSERT_GE(t.size(), 2u);
            double high = 0.0;
            for (auto n = static_cast<std::size_t>(t.front()) + 1; n <= static_cast<std::size_t>(t.back()); ++n)
                high += out[n] > 0.0f ? 1.0 : 0.0;
            EXPECT_NEAR(high / (t.back() - t.front()), width, 0.01);
        }
    }
}

TEST(Oscillator, BothModelsPlayAtTheSameLevel) {
    for (const int waveform : {Oscillator::kSaw, Oscillator::kSquare, Oscillator::kPulse}) {
        for (const float hz : {110.0f, 440.0f}) {
            SCOPED_TRACE(std::string(waveName(waveform)) + " at " + std::to_string(hz) + " Hz");
            Rig computed(waveform, false);
            Rig wavetable(waveform, true);
            const double a = cycleRms(computed.run(hz, 40), 4 * kSamples);
            const double b = cycleRms(wavetable.run(hz, 40), 4 * kSamples);
            ASSERT_GT(a, 0.1);
            EXPECT_NEAR(20.0 * std::log10(b / a), 0.0, 0.1);  // dB
        }
    }
}

TEST(Oscillator, BoostRaisesLowFrequenciesInTheWavetableModel) {
    const auto level = [](bool wavetables, float boost, float hz) {
        Rig rig(Oscillator::kSine, wavetables);
        rig.osc.boost = boost;
        return cycleRms(rig.run(hz, 40), 4 * kSamples);
    };
    // The boost adds a copy low-passed around 2.8 kHz: twice the level far
    // below that, little above.
    EXPECT_NEAR(level(true, 1.0f, 110.0f) / level(true, 0.0f, 110.0f), 2.0, 0.01);
    const double treble = level(true, 1.0f, 10000.0f) / level(true, 0.0f, 10000.0f);
    EXPECT_GT(treble, 1.0);
    EXPECT_LT(treble, 1.3);
    EXPECT_EQ(level(false, 1.0f, 110.0f), level(false, 0.0f, 110.0f));
}

TEST(Oscillator, StaysFiniteForAnyFrequency) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float frequencies[] = {0.0f, 1e-30f, 1.0f, 22050.0f, 44100.0f, 1e9f, -440.0f, kNan, kInf, -kInf};
    for (const ModelCase& c : everyWaveformAndModel()) {
        for (const float hz : frequencies) {
            for (const bool synced : {false, true}) {
                SCOPED_TRACE(describe(c) + " at " + std::to_string(hz) + (synced ? " Hz, synced" : " Hz"));
                Rig rig(c.waveform, c.wavetables);
                rig.osc.boost = 1.0f;
                std::array<float, kSamples> sync{};
                sync[100] = 1.0f;
                if (synced) rig.osc.inputs[Oscillator::kSyncInput] = sync.data();
                std::vector<float> phase;
                const std::vector<float> out = rig.run(hz, 4, &phase);
                for (std::size_t n = 0; n < out.size(); ++n) {
                    ASSERT_TRUE(std::isfinite(out[n])) << "sample " << n;
                    ASSERT_LE(std::fabs(out[n]), 4.0f) << "sample " << n;
                    ASSERT_TRUE(phase[n] >= 0.0f && phase[n] <= 1.0f) << "sample " << n;
                }
            }
        }
    }
}

TEST(Oscillator, BadPulseWidthsAndWaveformNumbersStaySafe) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    for (const bool wavetables : {false, true}) {
        for (const float width : {kNan, -3.0f, 7.0f}) {
            Rig rig(Oscillator::kPulse, wavetables);
            rig.width.fill(width);
            for (const float x : rig.run(220.0f, 4)) ASSERT_TRUE(std::isfinite(x) && std::fabs(x) <= 1.5f) << width;
        }
        // Out-of-range waveform numbers play the nearest waveform.
        for (const auto& [number, nearest] : {std::pair{-2, Oscillator::kSaw}, std::pair{9, Oscillator::kSine}}) {
            Rig odd(number, wavetables);
            Rig valid(nearest, wavetables);
            EXPECT_EQ(odd.run(220.0f, 2), valid.run(220.0f, 2)) << number;
        }
    }
}

// The computed forms scale each step by the period of the frequency that
// made it, so a jump in frequency (a new note, a hard FM edge) cannot turn
// one sample into a spike the size of the period ratio.
TEST(Oscillator, FrequencyJumpsDoNotSpike) {
    for (const int waveform : {Oscillator::kSaw, Oscillator::kSquare, Oscillator::kPulse}) {
        SCOPED_TRACE(waveName(waveform));
        Rig rig(waveform, false);
        rig.run(100.0f, 2);
        for (int f = 0; f < kFrames; ++f) rig.frequency[static_cast<std::size_t>(f)] = (f / 7) % 2 ? 30.0f : 5000.0f;
        std::vector<float> out;
        for (int block = 0; block < 8; ++block) {
            rig.osc.process(kSamples);
            out.insert(out.end(), rig.audio.begin(), rig.audio.end());
        }
        // The saw's ramp peaks at 0.65, the square and pulse levels span 1.
        EXPECT_LE(peak(out), waveform == Oscillator::kSaw ? 0.66 : 1.01);
    }
}

// Only the phase step is differentiated, not the width's motion, which
// would otherwise thump in proportion to the period.
TEST(Oscillator, PulseWidthChangesDoNotThump) {
    for (const float hz : {0.0f, 1.0f, 30.0f}) {
        SCOPED_TRACE(hz);
        Rig rig(Oscillator::kPulse, false);
        rig.run(hz, 8);
        std::vector<float> out;
        for (int block = 0; block < 8; ++block) {
            rig.width.fill(block % 2 ? 0.05f : 0.95f);
            const std::vector<float> part = rig.run(hz, 1);
            out.insert(out.end(), part.begin(), part.end());
        }
        EXPECT_LE(peak(out), 1.01);
    }
}

// The differentiator keeps following the phase while another form plays,
// so switching the model or the sync mid-note resumes without a spike.
TEST(Oscillator, SwitchingModelOrSyncMidNoteDoesNotSpike) {
    std::array<float, kSamples> noSync{};
    const struct {
        const char* name;
        std::function<void(Oscillator&)> before;
        std::function<void(Oscillator&)> after;
    } cases[] = {
        {"wavetable to computed", [](Oscillator& o) { o.useWavetables = true; },
         [](Oscillator& o) { o.useWavetables = false; }},
        {"sync off", [&](Oscillator& o) { o.inputs[Oscillator::kSyncInput] = noSync.data(); },
         [](Oscillator& o) { o.inputs[Oscillator::kSyncInput] = nullptr; }},
    };
    for (const auto& c : cases) {
        for (const int waveform : {Oscillator::kSaw, Oscillator::kSquare, Oscillator::kPulse}) {
            SCOPED_TRACE(std::string(c.name) + ", " + waveName(waveform));
            Rig rig(waveform, false);
            rig.run(55.0f, 8);  // the fade-in is over and cannot hide a spike
            c.before(rig.osc);
            rig.run(55.0f, 7);
            rig.width.fill(0.7f);  // the width moved while the other form played
            rig.run(55.0f, 3);
            c.after(rig.osc);
            const std::vector<float> out = rig.run(55.0f, 4);
            EXPECT_LE(peak(out), waveform == Oscillator::kSaw ? 0.66 : 1.01);
        }
    }
}

TEST(Oscillator, OwnScratchGivesTheSameSoundAsTheRenderLoops) {
    for (const ModelCase& c : everyWaveformAndModel()) {
        SCOPED_TRACE(describe(c));
        Rig wired(c.waveform, c.wavetables);
        Rig bare(c.waveform, c.wavetables);
        bare.osc.outputs[Oscillator::kPhaseScratch] = nullptr;
        bare.osc.outputs[Oscillator::kPeriodScratch] = nullptr;
        for (auto* rig : {&wired, &bare}) {
            rig->osc.boost = 0.5f;
            for (int f = 0; f < kFrames; ++f) rig->frequency[static_cast<std::size_t>(f)] = 100.0f + 20.0f * f;
        }
        for (int block = 0; block < 3; ++block) {
            wired.osc.process(kSamples);
            bare.osc.process(kSamples);
            ASSERT_EQ(wired.audio, bare.audio) << "block " << block;
        }
    }
}

// The table forms read one cycle for each run of equal periods; a sweep
// crosses many levels, some mid-block, and every sample must still be the
// table read at its own period and phase.
TEST(Oscillator, TableFormsReadEachSampleAtItsOwnLevel) {
    for (int waveform : {Oscillator::kSaw, Oscillator::kSquare, Oscillator::kTriangle}) {
        Rig rig(waveform, true);
        const Wavetable& table = waveform == Oscillator::kSaw      ? tables().saw
                                 : waveform == Oscillator::kSquare ? tables().square
                                                                   : tables().triangle;
        for (int block = 0; block < 40; ++block) {
            for (int i = 0; i < kFrames; ++i)
                rig.frequency[static_cast<std::size_t>(i)] = static_cast<float>(30.0 * std::pow(2.0, (block * kFrames + i) / 1500.0));
            rig.osc.process(kSamples);
            for (int i = 0; i < kSamples; ++i) {
                const auto n = static_cast<std::size_t>(i);
                ASSERT_EQ(rig.audio[n], wavetableRead(table, static_cast<int>(rig.periods[n]), rig.phases[n]))
                    << waveName(waveform) << " block " << block << " sample " << i;
            }
        }
    }
}

TEST(Oscillator, MissingTablesPlaySilence) {
    const Wavetable empty;
    for (const ModelCase& c : everyWaveformAndModel()) {
        const bool needsTable = c.wavetables || c.waveform >= Oscillator::kTriangle;
        if (!needsTable) continue;
        for (const Wavetable* table : {static_cast<const Wavetable*>(nullptr), &empty}) {
            SCOPED_TRACE(describe(c) + (table ? ", empty table" : ", no table"));
            Rig rig(c.waveform, c.wavetables);
            rig.osc.sawTable = rig.osc.squareTable = rig.osc.triangleTable = table;
            rig.osc.boost = 1.0f;
            // Only the boost low-pass's denormal dither is left.
            EXPECT_LT(peak(rig.run(440.0f, 2)), 1e-5);
        }
    }
}

TEST(Oscillator, WithoutAudioOutputNothingIsWritten) {
    Rig rig(Oscillator::kSaw, false);
    std::array<float, kSamples> sync;
    sync.fill(7.0f);
    rig.osc.outputs[Oscillator::kAudioOutput] = nullptr;
    rig.osc.outputs[Oscillator::kSyncOutput] = sync.data();
    rig.osc.process(kSamples);
    EXPECT_EQ(rig.osc.phase, 0.0);
    EXPECT_EQ(sync[0], 7.0f);
}

}  // namespace
}  // namespace tarvik

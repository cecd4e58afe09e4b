#include "dsp/filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include "dsp/filter_tables.h"

namespace tarvik {
namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Independent models of the control laws, taken from the circuit model's
// own numbers rather than from the code under test.

struct Corner {
    int index;
    double value;
};

constexpr Corner kResonanceCorners[] = {
    {0, 0.719616},  {11, 0.803475},  {12, 0.824978},  {17, 0.936531},  {18, 0.948061},  {22, 0.959216},
    {23, 0.973337}, {26, 1.01935},   {27, 1.02675},   {30, 0.978947},  {31, 0.96804},   {34, 1.00151},
    {35, 1.01207},  {41, 1.04857},   {42, 1.05186},   {44, 1.05633},   {45, 1.06739},   {47, 1.09342},
    {48, 1.10423},  {59, 1.17435},   {60, 1.18093},   {63, 1.20483},   {64, 1.21254},   {67, 1.2237},
    {68, 1.23008},  {72, 1.26355},   {73, 1.27052},   {79, 1.31171},   {80, 1.31843},   {90, 1.38301},
    {91, 1.39044},  {98, 1.45651},   {99, 1.46424},   {108, 1.5292},   {109, 1.53496},  {111, 1.54612},
    {112, 1.55291}, {119, 1.61298},  {120, 1.62137},  {128, 1.68831},  {129, 1.69684},  {133, 1.73155},
    {134, 1.74102}, {135, 1.75217},  {136, 1.76118},  {142, 1.8058},   {143, 1.81549},  {149, 1.88242},
    {150, 1.89279}, {154, 1.93245},  {155, 1.94159},  {158, 1.9655},   {159, 1.97452},  {169, 2.08607},
    {170, 2.09601}, {173, 2.1253},   {174, 2.13537},  {187, 2.28039},  {188, 2.29181},  {201, 2.44944},
    {202, 2.4622},  {212, 2.59048},  {213, 2.60378},  {230, 2.85032},  {231, 2.86581},  {254, 3.22623},
    {255, 3.24226}, {267, 3.44015},  {268, 3.45667},  {283, 3.71077},  {284, 3.71552},  {298, 3.50528},
    {299, 3.48993}, {319, 3.16482},  {320, 3.14524},  {324, 3.06591},  {325, 3.04546},  {332, 2.90043},
    {333, 2.88371}, {337, 2.82918},  {338, 2.81494},  {345, 2.70681},  {346, 2.69413},  {362, 2.50375},
    {363, 2.49409}, {402, 2.28295},  {511, 2.28295}};

constexpr Corner kLevelCorners[] = {
    {0, 0.821718},  {11, 1.41841},  {12, 1.40223},  {17, 1.30081},  {18, 1.29366},  {22, 1.3076},
    {23, 1.28276},  {26, 1.19909},  {27, 1.17727},  {30, 1.16532},  {31, 1.16355},  {34, 1.18746},
    {35, 1.19538},  {41, 1.24102},  {42, 1.24311},  {72, 1.24311},  {73, 1.25698},  {79, 1.34708},
    {80, 1.35656},  {98, 1.35656},  {99, 1.37175},  {108, 1.54892}, {109, 1.55105}, {138, 1.55105},
    {139, 1.55734}, {142, 1.7665},  {143, 1.79417}, {163, 1.79417}, {164, 1.81317}, {169, 1.95261},
    {170, 1.95624}, {180, 1.95624}, {181, 1.98821}, {187, 2.21989}, {188, 2.24797}, {201, 2.24797},
    {202, 2.25682}, {212, 2.35443}, {213, 2.36748}, {230, 2.73095}, {231, 2.75335}, {254, 3.2726},
    {255, 3.28898}, {267, 3.39084}, {268, 3.39923}, {283, 3.50768}, {284, 3.51216}, {298, 3.51216},
    {299, 3.50264}, {319, 2.80145}, {320, 2.83076}, {324, 2.96711}, {325, 2.98987}, {332, 3.11537},
    {333, 3.13717}, {337, 3.23633}, {338, 3.23778}, {345, 2.92242}, {346, 2.90161}, {362, 2.67851},
    {363, 2.67078}, {402, 2.83073}, {511, 2.83073}};

// The curve through the corners at a fractional index.
double cornerCurve(std::span<const Corner> corners, double index) {
    for (std::size_t n = 0; n + 1 < corners.size(); ++n) {
        const Corner& a = corners[n];
        const Corner& b = corners[n + 1];
        if (index <= b.index) return a.value + (b.value - a.value) * (index - a.index) / (b.index - a.index);
    }
    return corners.back().value;
}

double cutoffLaw(double index) { return std::clamp(std::exp(5.0 + 5.0 * index / 1024.0) / 22050.0 - 0.0027, 0.0, 1.0); }

// The ladder coefficient for a cutoff control, and the frequency at which
// each stage of the ladder turns down (its one-pole corner) at 44.1 kHz.
double ladderG(double control) { return 1.4 * cutoffLaw(control * 1024.0); }
double stageCutoffHz(double control) { return ladderG(control) * kRate / (2.0 * kPi); }

// ---------------------------------------------------------------------------
// A filter wired the way the render loop wires it.

class FilterRig {
public:
    static constexpr int kMaxBlock = 1024;

    explicit FilterRig(std::int32_t mode, float resonance = 0.0f) : resonance_(resonance) {
        filter.mode = mode;
        filter.resonance = resonance;
        for (std::size_t s = 0; s < slots_.size(); ++s) {
            slots_[s].assign(kMaxBlock, 0.0f);
            filter.inputs[s] = slots_[s].data();
        }
        out_.assign(kMaxBlock, 0.0f);
        filter.outputs[0] = out_.data();
    }

    std::vector<float> render(std::span<const float> input, std::span<const float> cutoff, int block = 256) {
        std::vector<float> result(input.size());
        for (std::size_t start = 0; start < input.size(); start += static_cast<std::size_t>(block)) {
            const std::size_t n = std::min(input.size() - start, static_cast<std::size_t>(block));
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(start), n, slots_[0].begin());
            std::copy_n(cutoff.begin() + static_cast<std::ptrdiff_t>(start), n, slots_[1].begin());
            std::fill_n(slots_[6].begin(), n, resonance_);
            filter.process(static_cast<int>(n));
            std::copy_n(out_.begin(), n, result.begin() + static_cast<std::ptrdiff_t>(start));
        }
        return result;
    }

    std::vector<float> render(std::span<const float> input, float cutoff, int block = 256) {
        const std::vector<float> c(input.size(), cutoff);
        return render(input, c, block);
    }

    const std::vector<float>& slot(int s) const { return slots_[static_cast<std::size_t>(s)]; }

    Filter filter;

private:
    float resonance_;
    std::array<std::vector<float>, 7> slots_;
    std::vector<float> out_;
};

std::vector<float> sine(double hz, std::size_t n, float amplitude) {
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i) x[i] = amplitude * static_cast<float>(std::sin(2.0 * kPi * hz * i / kRate));
    return x;
}

std::vector<float> noise(std::size_t n, float amplitude, unsigned seed = 7) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    std::vector<float> x(n);
    for (float& v : x) v = uniform(rng);
    return x;
}

std::vector<float> impulse(std::size_t n, float height) {
    std::vector<float> x(n, 0.0f);
    x[0] = height;
    return x;
}

double rms(std::span<const float> x) {
    double sum = 0.0;
    for (float v : x) sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(x.size()));
}

// Output level over input level of a steady sine, in dB: the sine runs until
// the filter has settled, then both are measured over whole periods.
double gainDb(std::int32_t mode, double control, float resonance, double hz, float amplitude = 0.1f) {
    constexpr std::size_t kSettle = 16384;
    const double cycles = std::ceil(8192.0 * hz / kRate);
    const auto window = static_cast<std::size_t>(std::lround(cycles * kRate / hz));
    const std::vector<float> x = sine(hz, kSettle + window, amplitude);
    FilterRig rig(mode, resonance);
    const std::vector<float> y = rig.render(x, static_cast<float>(control));
    const std::span<const float> in(x.begin() + kSettle, x.end());
    const std::span<const float> out(y.begin() + kSettle, y.end());
    return 20.0 * std::log10(rms(out) / rms(in));
}

// Frequency of a steady tone from its zero crossings.
double toneHz(std::span<const float> y) {
    int crossings = 0;
    for (std::size_t i = 1; i < y.size(); ++i) crossings += (y[i] > 0.0f) != (y[i - 1] > 0.0f);
    return crossings / 2.0 / (static_cast<double>(y.size()) / kRate);
}

bool sameSamples(std::span<const float> a, std::span<const float> b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

constexpr std::int32_t kAllModes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
constexpr std::int32_t kStrayModes[] = {-1, 15, 1000, std::numeric_limits<std::int32_t>::min()};

// ---------------------------------------------------------------------------
// Tables and the clipper

TEST(FilterTables, CompensationTablesFollowTheirCornersAndRunStraightBetween) {
    struct Case {
        const char* name;
        const float* table;
        std::span<const Corner> corners;
    };
    const Case cases[] = {{"resonance", ResonanceTable::instance().data(), kResonanceCorners},
                          {"level", LevelTable::instance().data(), kLevelCorners}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const Corner& corner : c.corners) EXPECT_NEAR(c.table[corner.index], corner.value, 1.3e-6) << corner.index;
        for (int i = 0; i < 512; ++i) EXPECT_NEAR(c.table[i], cornerCurve(c.corners, i), 1.3e-6) << i;
    }
}

TEST(FilterTables, CutoffTableFollowsTheExponentialLawAndReachesOneJustAboveControlOne) {
    const float* table = CutoffTable::instance().data();
    for (int i : {0, 1, 100, 512, 1000, 1024}) {
        const double expected = std::exp(5.0 + 5.0 * i / 1024.0) / 22050.0 - 0.0027;
        EXPECT_NEAR(table[i], expected, 1e-6 * expected) << i;
    }
    EXPECT_LT(table[1024], 1.0f);
    for (int i : {1025, 1500, 2047}) EXPECT_EQ(table[i], 1.0f) << i;
    for (int i = 1; i < CutoffTable::kSize; ++i) ASSERT_GE(table[i], table[i - 1]) << i;
}

TEST(SoftClip, IsOddSmoothAndLimitedToPlusMinusOne) {
    for (float x : {3.0001f, 3.5f, 10.0f, 1e30f, std::numeric_limits<float>::infinity()}) {
        EXPECT_EQ(softClip(x), 1.0f) << x;
        EXPECT_EQ(softClip(-x), -1.0f) << x;
    }
    // Continuous with zero slope where the clipper meets its limits.
    EXPECT_NEAR(softClip(3.0f), 1.0f, 1e-7f);
    EXPECT_NEAR(softClip(2.999f), 1.0f, 1e-6f);
    EXPECT_NEAR(softClip(-2.999f), -1.0f, 1e-6f);
    // Transparent for small signals.
    EXPECT_EQ(softClip(0.0f), 0.0f);
    EXPECT_NEAR(softClip(1e-3f) / 1e-3f, 1.0f, 1e-5f);
    // Rising throughout, to within float rounding near the flat ends.
    constexpr float kRounding = 1e-6f;
    float previous = -1.0f;
    for (float x = -3.0f; x <= 3.0f; x += 0.01f) {
        EXPECT_EQ(softClip(-x), -softClip(x)) << x;
        ASSERT_GE(softClip(x), previous - kRounding) << x;
        ASSERT_LE(std::fabs(softClip(x)), 1.0f + kRounding) << x;
        previous = softClip(x);
    }
}

// ---------------------------------------------------------------------------
// First pass and the neutral settings

TEST(FilterFirstPass, WritesTheCoefficientsOfEverySampleIntoTheScratchSlots) {
    const std::vector<float> x = noise(300, 0.5f);
    std::vector<float> cutoff(x.size());
    for (std::size_t i = 0; i < cutoff.size(); ++i) cutoff[i] = static_cast<float>(i) / 300.0f;
    for (float r : {0.0f, 0.5f, 1.0f}) {
        SCOPED_TRACE(r);
        FilterRig rig(Filter::kLowPass24Saturated, r);
        rig.render(x, cutoff, 300);
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double g = ladderG(cutoff[i]);
            const double k = 4.0 * cornerCurve(kResonanceCorners, g * 256.0) * r + (1.0 - r);
            const double level = cornerCurve(kLevelCorners, g * 256.0) * r + 1.2 * (1.0 - r);
            EXPECT_NEAR(rig.slot(Filter::kGScratch)[i], g, 1e-5 * g) << i;
            EXPECT_NEAR(rig.slot(Filter::kKScratch)[i], k, 1e-4) << i;
            EXPECT_NEAR(rig.slot(Filter::kLevelScratch)[i], level, 1e-4) << i;
            EXPECT_EQ(rig.slot(Filter::kResonanceScratch)[i], r) << i;
        }
    }
}

// Without resonance the clipped feedback is out of the loop, so the
// saturating modes are linear even where the clipper would bend hard: twice
// the input gives exactly twice the output (the dither residue, the response
// to silence, taken out). With the resonance input up the same check fails
// by far.
TEST(FilterFirstPass, ResonanceInputZeroTakesTheSaturatingFeedbackOutOfTheLoop) {
    const std::vector<float> silence(2048, 0.0f);
    const std::vector<float> x = noise(2048, 1.0f);
    std::vector<float> x2(x);
    for (float& v : x2) v *= 2.0f;
    auto nonlinearity = [&](std::int32_t mode, float r) {
        FilterRig rest(mode, r), once(mode, r), twice(mode, r);
        const std::vector<float> y0 = rest.render(silence, 0.5f);
        const std::vector<float> y1 = once.render(x, 0.5f);
        const std::vector<float> y2 = twice.render(x2, 0.5f);
        double worst = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            worst = std::max(worst, std::fabs((y2[i] - y0[i]) - 2.0 * (y1[i] - y0[i])));
        }
        return worst;
    };
    for (std::int32_t mode : {3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14}) {
        SCOPED_TRACE(mode);
        EXPECT_LT(nonlinearity(mode, 0.0f), 1e-4);
        EXPECT_GT(nonlinearity(mode, 1.0f), 0.1);
    }
}

// With no resonance nothing is fed back, and a ladder of one-pole low-passes
// passes DC whole: the settled output is drive (2) x the output level. That
// level is 0.8 in modes 0, 1 and 5, which take their resonance from the
// knob and ignore the per-sample input, and 1.2 elsewhere; modes 0 and 2 add
// their (1 + 0.52 g) lift. Any feedback would pull the DC level down.
TEST(FilterFirstPass, WithoutResonanceDcPassesAtTheBaseLevel) {
    constexpr float kControl = 0.5f;
    constexpr float kDc = 0.25f;
    const double lift = 1.0 + 0.52 * ladderG(kControl);
    struct Case {
        std::int32_t mode;
        float knob;
        float input;
        double dcGain;
    };
    const Case cases[] = {{0, 0.0f, 1.0f, 2.0 * 0.8 * lift}, {1, 0.0f, 1.0f, 2.0 * 0.8}, {5, 0.0f, 1.0f, 2.0 * 0.8},
                          {2, 1.0f, 0.0f, 2.0 * 1.2 * lift}, {3, 1.0f, 0.0f, 2.0 * 1.2}, {10, 1.0f, 0.0f, 2.0 * 1.2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        FilterRig rig(c.mode, c.input);
        rig.filter.resonance = c.knob;
        const std::vector<float> y = rig.render(std::vector<float>(20000, kDc), kControl);
        EXPECT_NEAR(y.back() / kDc, c.dcGain, 1e-4 * c.dcGain);
    }
}

// ---------------------------------------------------------------------------
// Cutoff-slew damping

// Settled at 0.2, the cutoff control jumps to 0.8 just as an impulse
// arrives. The smoother moves one tenth of the way, to 0.26, so the first
// sample uses 1 - 0.54 = 46 % of the set resonance; with no feedback signal
// yet, that shows in the output level factor. A filter whose cutoff was at
// 0.8 all along and whose resonance is set to 46 % gives the same first
// sample; one with the full resonance does not.
TEST(FilterSlewDamping, ACutoffJumpFirstUsesFortySixPercentOfTheResonance) {
    constexpr float kSet = 0.6f;
    constexpr std::size_t kJump = 4096;
    std::vector<float> x(kJump + 256, 0.0f);
    x[kJump] = 0.5f;
    std::vector<float> jump(x.size(), 0.8f);
    std::fill_n(jump.begin(), kJump, 0.2f);

    for (std::int32_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        FilterRig damped(mode, kSet), partial(mode, 0.46f * kSet), full(mode, kSet);
        const float first = damped.render(x, jump)[kJump];
        EXPECT_NEAR(first, partial.render(x, 0.8f)[kJump], 1e-3 * std::fabs(first));
        EXPECT_GT(std::fabs(full.render(x, 0.8f)[kJump] - first), 0.2 * std::fabs(first));
    }
}

// The same damping with g held still: above control 1 the cutoff law sits
// at its top, so a jump from 1.2 to 1.8 moves only the smoother (to 1.26,
// again 46 %). A filter that stays at 1.2 has the same history up to the
// jump; turning its resonance knob down to 46 % exactly there gives the
// same sample, in each mode with damping. Once the smoother has caught up
// and the ring has settled, the jumped filter plays like the steady one.
TEST(FilterSlewDamping, DampingTakesOnlyTheResonanceAndRecovers) {
    constexpr float kSet = 0.6f;
    constexpr std::size_t kJump = 4096;
    const std::vector<float> x = sine(220.0, 3 * kJump, 0.3f);
    std::vector<float> jump(x.size(), 1.8f);
    std::fill_n(jump.begin(), kJump, 1.2f);
    const std::span<const float> before(x.begin(), kJump);
    const std::span<const float> after(x.begin() + kJump, x.end());

    for (std::int32_t mode : {0, 1, 5}) {
        SCOPED_TRACE(mode);
        FilterRig damped(mode, kSet), lowered(mode, kSet), steady(mode, kSet);
        const std::vector<float> yDamped = damped.render(x, jump);
        const std::vector<float> ySteady = steady.render(x, 1.2f);
        lowered.render(before, 1.2f);
        lowered.filter.resonance = 0.46f * kSet;
        const float loweredFirst = lowered.render(after, 1.2f)[0];

        const float first = yDamped[kJump];
        EXPECT_NEAR(first, loweredFirst, 1e-4 * std::fabs(first));
        EXPECT_GT(std::fabs(ySteady[kJump] - first), 0.1 * std::fabs(first));
        for (std::size_t i = x.size() - 1000; i < x.size(); ++i) ASSERT_NEAR(yDamped[i], ySteady[i], 1e-4) << i;
    }
}

// The oversampled mode's two half-band filters each delay by 16 samples
// plus their one-sample lag at the doubled rate: 17 host samples together.
// Its ladder runs twice per host sample, so it adds less delay than mode
// 3's. The delay is the centre of gravity of the impulse response (the
// response to silence subtracted), taken at high cutoffs where the ladder's
// own delay is small.
TEST(FilterOversampled, IsDelayedByTheHalfBandPairRelativeToModeThree) {
    constexpr std::size_t kLength = 8192;
    auto centroid = [&](std::int32_t mode, float control) {
        FilterRig pulse(mode), rest(mode);
        const std::vector<float> y = pulse.render(impulse(kLength, 1.0f), control);
        const std::vector<float> y0 = rest.render(std::vector<float>(kLength, 0.0f), control);
        double area = 0.0, moment = 0.0;
        for (std::size_t i = 0; i < kLength; ++i) {
            area += y[i] - y0[i];
            moment += (y[i] - y0[i]) * static_cast<double>(i);
        }
        return moment / area;
    };
    for (float control : {0.9f, 0.966f}) {
        SCOPED_TRACE(control);
        const double ladderDelay = centroid(Filter::kLowPass24Saturated, control);
        const double oversampledDelay = centroid(Filter::kLowPass24Oversampled, control);
        EXPECT_GT(oversampledDelay, 17.0);
        EXPECT_LT(oversampledDelay, 17.0 + ladderDelay);
    }
}

// ---------------------------------------------------------------------------
// Magnitude responses, probed with sines at multiples of the stage cutoff

TEST(FilterResponse, LowPassModesFallAboveTheirCutoff) {
    for (std::int32_t mode : {0, 1, 2, 3, 5, 10}) {
        for (double control : {0.3, 0.6}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " control " << control);
            const double fc = stageCutoffHz(control);
            const double pass = gainDb(mode, control, 0.0f, fc / 8.0);
            double previous = pass;
            for (double m : {1.0, 2.0, 4.0, 8.0}) {
                const double gain = gainDb(mode, control, 0.0f, fc * m);
                EXPECT_LT(gain, previous) << m;
                previous = gain;
            }
            EXPECT_LT(previous, pass - 30.0);
        }
    }
}

// Far above the cutoff every stage takes 6 dB per octave: four stages for
// the 24 dB models, three for the 18 dB one.
TEST(FilterResponse, SlopesAboveCutoffMatchThePoleCount) {
    struct Case {
        std::int32_t mode;
        double minDbPerOctave;
        double maxDbPerOctave;
    };
    const Case cases[] = {{0, 20.0, 26.0}, {10, 20.0, 26.0}, {2, 15.0, 20.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const double fc = stageCutoffHz(0.5);
        const double slope = gainDb(c.mode, 0.5, 0.0f, 4.0 * fc) - gainDb(c.mode, 0.5, 0.0f, 8.0 * fc);
        EXPECT_GT(slope, c.minDbPerOctave);
        EXPECT_LT(slope, c.maxDbPerOctave);
    }
}

// Mode 6 subtracts the low-pass from its input, which leaves a first-order
// skirt (1 - H^4 ~ 4 s: -12 dB at 1/16 of the cutoff); the 4-pole high-pass
// (1 - H)^4 falls 24 dB per octave.
TEST(FilterResponse, HighPassModesFallBelowTheirCutoff) {
    struct Case {
        std::int32_t mode;
        double minRejectionDb;  // at cutoff / 16 against 8 x cutoff
    };
    const Case cases[] = {{6, 9.0}, {12, 60.0}};
    for (const Case& c : cases) {
        for (double control : {0.3, 0.5}) {
            SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " control " << control);
            const double fc = stageCutoffHz(control);
            const double pass = gainDb(c.mode, control, 0.0f, 8.0 * fc);
            double previous = gainDb(c.mode, control, 0.0f, fc / 2.0);
            for (double m : {1.0 / 4, 1.0 / 8, 1.0 / 16}) {
                const double gain = gainDb(c.mode, control, 0.0f, fc * m);
                EXPECT_LT(gain, previous) << m;
                previous = gain;
            }
            EXPECT_LT(previous, pass - c.minRejectionDb);
        }
    }
    const double fc = stageCutoffHz(0.5);
    EXPECT_GT(gainDb(12, 0.5, 0.0f, fc / 2.0) - gainDb(12, 0.5, 0.0f, fc / 4.0), 18.0);
}

// Mode 4 is s / (1 + s)^4 (6 dB per octave below, 18 above); the 4-pole
// band-pass 4 s^2 / (1 + s)^4 has 12 dB per octave on both sides and unity
// gain (times drive and level, 2 x 1.2) at the cutoff.
TEST(FilterResponse, BandPassModesPeakNearCutoffAndFallOnBothSides) {
    const double fc = stageCutoffHz(0.5);
    for (std::int32_t mode : {4, 11}) {
        SCOPED_TRACE(mode);
        double peak = -1e9;
        double peakHz = 0.0;
        for (int step = -6; step <= 4; ++step) {
            const double hz = fc * std::pow(2.0, step / 2.0);
            const double gain = gainDb(mode, 0.5, 0.0f, hz);
            if (gain > peak) {
                peak = gain;
                peakHz = hz;
            }
        }
        EXPECT_GE(peakHz, fc / 4.0);
        EXPECT_LE(peakHz, fc * 2.0);
        EXPECT_LT(gainDb(mode, 0.5, 0.0f, fc / 32.0), peak - 12.0);
        EXPECT_LT(gainDb(mode, 0.5, 0.0f, fc * 8.0), peak - 12.0);
    }
    EXPECT_NEAR(gainDb(11, 0.5, 0.0f, fc), 20.0 * std::log10(2.0 * 1.2), 1.5);
    EXPECT_NEAR(gainDb(11, 0.5, 0.0f, fc / 8.0), gainDb(11, 0.5, 0.0f, fc * 8.0), 3.0);
}

// Input minus 3 s / (1 + s)^4 cancels near 0.41 of the cutoff, where the
// band-pass is in phase with the input and almost as loud.
TEST(FilterResponse, BandStopHasANotchBelowCutoff) {
    for (double control : {0.3, 0.5}) {
        SCOPED_TRACE(control);
        const double fc = stageCutoffHz(control);
        double notch = 1e9;
        for (int step = -24; step <= 0; ++step) {  // semitone steps from cutoff / 4 to the cutoff
            notch = std::min(notch, gainDb(7, control, 0.0f, fc * std::pow(2.0, step / 12.0)));
        }
        EXPECT_LT(notch, gainDb(7, control, 0.0f, fc / 32.0) - 10.0);
        EXPECT_LT(notch, gainDb(7, control, 0.0f, fc * 8.0) - 10.0);
    }
}

// The morphs trade a high-pass or band-pass for a low-pass as the cutoff
// rises (8, 9, 13) or the other way round (14): a low bass note comes in or
// goes away.
TEST(FilterResponse, MorphModesChangeCharacterWithCutoff) {
    constexpr double kBassHz = 40.0;
    struct Case {
        std::int32_t mode;
        bool bassComesIn;
    };
    const Case cases[] = {{8, true}, {9, true}, {13, true}, {14, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const double low = gainDb(c.mode, 0.5, 0.0f, kBassHz);
        const double high = gainDb(c.mode, 0.95, 0.0f, kBassHz);
        if (c.bassComesIn) {
            EXPECT_GT(high, low + 10.0);
        } else {
            EXPECT_LT(high, low - 10.0);
        }
    }
    // At the top of the range, where g passes 1, both 4-pole morphs have
    // arrived exactly.
    const std::vector<float> x = noise(4096, 0.5f);
    FilterRig lowToHigh(14, 0.5f), highPass(12, 0.5f), highToLow(13, 0.5f), lowPass(10, 0.5f);
    EXPECT_TRUE(sameSamples(lowToHigh.render(x, 1.0f), highPass.render(x, 1.0f)));
    EXPECT_TRUE(sameSamples(highToLow.render(x, 1.0f), lowPass.render(x, 1.0f)));
}

// Below the point where the saturating modes start to sing, resonance
// lifts the response around the cutoff well above the bass.
TEST(FilterResponse, ResonanceRaisesAPeakNearCutoffInTheLowPassModes) {
    constexpr float kResonance = 0.6f;
    const double fc = stageCutoffHz(0.5);
    for (std::int32_t mode : {0, 1, 2, 3, 5, 10}) {
        SCOPED_TRACE(mode);
        double peak = -1e9;
        for (int step = -6; step <= 12; ++step) {
            peak = std::max(peak, gainDb(mode, 0.5, kResonance, fc * std::pow(2.0, step / 6.0), 0.01f));
        }
        EXPECT_GT(peak, gainDb(mode, 0.5, kResonance, fc / 16.0, 0.01f) + 6.0);
    }
}

// ---------------------------------------------------------------------------
// Self-oscillation

// The saturating low-passes sing at full resonance: a kick, then silence,
// and a steady tone remains near the stage cutoff. Mode 5's ladder steps
// twice per host sample with the same coefficient, an octave higher.
TEST(FilterSelfOscillation, SaturatingLowPassesSingAfterAKick) {
    struct Case {
        std::int32_t mode;
        double octaveFactor;
    };
    const Case cases[] = {{3, 1.0}, {5, 2.0}, {10, 1.0}};
    for (const Case& c : cases) {
        for (float control : {0.3f, 0.5f}) {
            SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " control " << control);
            FilterRig rig(c.mode, 1.0f);
            const std::vector<float> y = rig.render(impulse(44100, 0.5f), control);
            const std::span<const float> tail(y.begin() + 22050, y.end());
            EXPECT_GT(rms(tail), 0.3);
            EXPECT_NEAR(toneHz(tail) / (c.octaveFactor * stageCutoffHz(control)), 1.0, 0.15);
        }
    }
}

// The TB-303 models keep their feedback linear and are tuned to stay just
// short of oscillation: at full resonance they ring strongly and die away.
// Being linear, their ring is the response to the kick minus the response
// to silence (which, at the top of the range, is a steady whine of the
// alternating dither at the Nyquist frequency).
TEST(FilterSelfOscillation, LinearModelsRingButDieAway) {
    for (std::int32_t mode : {0, 1, 2}) {
        for (float control : {0.3f, 0.7f, 1.0f}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " control " << control);
            FilterRig kicked(mode, 1.0f), resting(mode, 1.0f);
            const std::vector<float> y = kicked.render(impulse(44100, 0.5f), control);
            const std::vector<float> y0 = resting.render(std::vector<float>(44100, 0.0f), control);
            std::vector<float> ring(y.size());
            for (std::size_t i = 0; i < y.size(); ++i) ring[i] = y[i] - y0[i];
            const double start = rms(std::span<const float>(ring.begin(), 441));
            EXPECT_GT(start, 1e-3);
            EXPECT_LT(rms(std::span<const float>(ring.begin() + 22050, ring.end())), 1e-4 * start);
        }
    }
}

// ---------------------------------------------------------------------------
// Robustness

TEST(FilterRobustness, SilenceSettlesToATinyResidueThatIsNeverDenormal) {
    std::vector<float> x(2 * 44100, 0.0f);
    const std::vector<float> burst = noise(2048, 1.0f);
    std::copy(burst.begin(), burst.end(), x.begin());
    std::vector<std::int32_t> modes(std::begin(kAllModes), std::end(kAllModes));
    modes.push_back(-1);
    for (std::int32_t mode : modes) {
        for (float control : {0.0f, 0.5f}) {
            for (float r : {0.0f, 0.5f}) {
                SCOPED_TRACE(::testing::Message() << "mode " << mode << " control " << control << " r " << r);
                FilterRig rig(mode, r);
                const std::vector<float> y = rig.render(x, control);
                for (std::size_t i = 0; i < y.size(); ++i) {
                    const int kind = std::fpclassify(y[i]);
                    ASSERT_TRUE(kind == FP_NORMAL || kind == FP_ZERO) << i;
                }
                for (std::size_t i = y.size() - 4096; i < y.size(); ++i) ASSERT_LT(std::fabs(y[i]), 1e-4f) << i;
            }
        }
    }
}

TEST(FilterRobustness, FullScaleNoiseNeverGivesNaNOrInfinity) {
    const std::vector<float> x = noise(2048, 1.0f);
    std::vector<std::int32_t> modes(std::begin(kAllModes), std::end(kAllModes));
    modes.insert(modes.end(), std::begin(kStrayModes), std::end(kStrayModes));
    for (std::int32_t mode : modes) {
        for (int ci = 0; ci <= 10; ++ci) {
            for (int ri = 0; ri <= 10; ++ri) {
                const float control = ci / 10.0f;
                const float r = ri / 10.0f;
                FilterRig rig(mode, r);
                const std::vector<float> y = rig.render(x, control);
                const bool finite = std::all_of(y.begin(), y.end(), [](float v) { return std::isfinite(v); });
                ASSERT_TRUE(finite) << "mode " << mode << " control " << control << " r " << r;
            }
        }
    }
}

TEST(FilterRobustness, OutOfRangeControlsAreHeldToTheTableAndTheUnitRange) {
    const std::vector<float> x = noise(2048, 0.5f);
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const auto top = static_cast<float>(CutoffTable::kMaxControl);
    for (std::int32_t mode : {0, 3, 5}) {
        SCOPED_TRACE(mode);
        FilterRig atTop(mode, 0.8f), atBottom(mode, 0.8f);
        const std::vector<float> yTop = atTop.render(x, top);
        const std::vector<float> yBottom = atBottom.render(x, 0.0f);
        for (float control : {2.5f, 1e9f, kInf}) {
            FilterRig rig(mode, 0.8f);
            EXPECT_TRUE(sameSamples(rig.render(x, control), yTop)) << control;
        }
        for (float control : {-1.0f, -kInf, std::numeric_limits<float>::quiet_NaN()}) {
            FilterRig rig(mode, 0.8f);
            EXPECT_TRUE(sameSamples(rig.render(x, control), yBottom)) << control;
        }
        FilterRig atOne(mode, 1.0f);
        const std::vector<float> yOne = atOne.render(x, 0.5f);
        for (float r : {1.5f, 100.0f}) {
            FilterRig rig(mode, r);
            EXPECT_TRUE(sameSamples(rig.render(x, 0.5f), yOne)) << r;
        }
    }
}

TEST(FilterRobustness, EveryModeValueWritesTheWholeBlockAndNoMore) {
    std::vector<std::int32_t> modes(std::begin(kAllModes), std::end(kAllModes));
    modes.insert(modes.end(), std::begin(kStrayModes), std::end(kStrayModes));
    constexpr std::size_t kFrames = 200;
    for (std::int32_t mode : modes) {
        SCOPED_TRACE(mode);
        FilterRig rig(mode, 0.5f);
        rig.render(noise(kFrames, 0.5f), 0.5f);  // leaves audio and controls in the input slots
        std::vector<float> out(kFrames + 1, std::numeric_limits<float>::quiet_NaN());
        rig.filter.outputs[0] = out.data();
        rig.filter.process(static_cast<int>(kFrames));
        for (std::size_t i = 0; i < kFrames; ++i) ASSERT_TRUE(std::isfinite(out[i])) << i;
        EXPECT_TRUE(std::isnan(out[kFrames]));
    }
}

TEST(FilterRobustness, StrayModeValuesRunAsModeThree) {
    const std::vector<float> x = noise(4096, 0.8f);
    FilterRig reference(Filter::kLowPass24Saturated, 0.7f);
    const std::vector<float> expected = reference.render(x, 0.6f);
    for (std::int32_t mode : kStrayModes) {
        FilterRig rig(mode, 0.7f);
        EXPECT_TRUE(sameSamples(rig.render(x, 0.6f), expected)) << mode;
    }
}

// A missing input would otherwise be read through a null pointer; the block
// comes out silent instead. Without an output there is nothing to do.
TEST(FilterRobustness, MissingSlotsGiveSilenceOrNothing) {
    for (int missing = 0; missing <= Filter::kResonanceIn; ++missing) {
        SCOPED_TRACE(missing);
        FilterRig rig(Filter::kLowPass24Saturated, 0.5f);
        rig.render(noise(256, 0.5f), 0.5f);
        rig.filter.inputs[static_cast<std::size_t>(missing)] = nullptr;
        std::vector<float> out(64, std::numeric_limits<float>::quiet_NaN());
        rig.filter.outputs[0] = out.data();
        rig.filter.process(64);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; }));
    }
    FilterRig rig(Filter::kLowPass24Saturated);
    rig.filter.outputs[0] = nullptr;
    rig.filter.process(64);  // must not touch anything (ASan watches)
}

// The state carries from block to block untouched: any block size gives
// the same samples.
TEST(FilterRobustness, OutputDoesNotDependOnTheBlockSize) {
    const std::vector<float> x = noise(3000, 0.8f);
    std::vector<float> cutoff(x.size());
    for (std::size_t i = 0; i < cutoff.size(); ++i) cutoff[i] = 0.9f * std::exp(-static_cast<float>(i % 700) / 200.0f);
    for (std::int32_t mode : kAllModes) {
        SCOPED_TRACE(mode);
        FilterRig whole(mode, 0.7f);
        const std::vector<float> expected = whole.render(x, cutoff, 1000);
        for (int block : {1, 97, 256}) {
            FilterRig pieces(mode, 0.7f);
            EXPECT_TRUE(sameSamples(pieces.render(x, cutoff, block), expected)) << block;
        }
    }
}

}  // namespace
}  // namespace tarvik

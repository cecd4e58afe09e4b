#include "dsp/filter_lanes.h"

#include <algorithm>
#include <array>

#include "dsp/cutoff_law.h"
#include "dsp/ladder_taps.h"

namespace tarvik {

namespace {

using lanes::Floats;
using lanes::Mask;
using lanes::select;
constexpr int kLanes = FilterLanes::kLanes;
using Lanes = std::array<const float*, kLanes>;

// softClip (filter_tables.h), lane by lane: beyond ±3 the ends, else the
// same rational curve with the same operations.
Floats softClip(Floats x) {
    const Floats x2 = x * x;
    const Floats y = x * (27.0f + x2) / (27.0f + 9.0f * x2);
    return select(x > lanes::broadcast(3.0f), lanes::broadcast(1.0f),
                  select(x < lanes::broadcast(-3.0f), lanes::broadcast(-1.0f), y));
}

static_assert(kLanes == 8, "the gathers below name each lane");
Floats gather(const Lanes& from, int i) {
    return Floats{from[0][i], from[1][i], from[2][i], from[3][i], from[4][i], from[5][i], from[6][i], from[7][i]};
}

// What a ladder carries from sample to sample, lane by lane.
struct Ladder {
    std::array<Floats, 4> y{};
    std::array<Floats, 4> dither{};
    Floats feedback{};
};

// One sample of Filter::processSaturated in every lane: the same operations
// in the same order (Filter::stepLadder's stage coefficient in double, then
// each stage as y (1 - c) + (in + dither) c). With Masked, a lane whose mask
// is clear keeps its state.
template <int M, bool Masked>
Floats step(Ladder& ladder, Floats inputGain, Floats x, Floats g, Floats k, Floats level, Floats r, Mask active) {
    const Floats loopGain = r * k;
    const Floats feedbackGain = ladder::saturatedFeedbackGain(g);
    const Floats u0 = inputGain * x - loopGain * ladder.feedback;
    const Floats c = lanes::narrow(CutoffLaw::stageCoefficient(lanes::widen(g)));
    const Floats keep = 1.0f - c;
    Floats in = u0;
    std::array<Floats, 4> y{};
    for (std::size_t s = 0; s < 4; ++s) {
        const Floats known = ladder.y[s] * keep + ladder.dither[s] * c;
        y[s] = in * c + known;
        in = y[s];
        if constexpr (Masked) {
            ladder.y[s] = select(active, y[s], ladder.y[s]);
            ladder.dither[s] = select(active, -ladder.dither[s], ladder.dither[s]);
        } else {
            ladder.y[s] = y[s];
            ladder.dither[s] = -ladder.dither[s];
        }
    }
    const Floats fb = softClip(feedbackGain * y[3]);
    ladder.feedback = Masked ? select(active, fb, ladder.feedback) : fb;
    return ladder::saturatedTap<M>(u0, y[0], y[1], y[2], y[3], g) * level;
}

}  // namespace

template <int M>
void FilterLanes::renderMode(Filter* const* filters, const int* frames, int count) {
    // Lanes without a filter repeat the first one's inputs and are never
    // written back.
    Lanes x{}, g{}, k{}, level{}, r{};
    std::array<float*, kLanes> out{};
    Ladder ladder;
    Floats inputGain{};
    Floats lengths{};
    std::array<int, kLanes> laneLength{};
    int shortest = frames[0];
    int longest = 0;
    for (int l = 0; l < kLanes; ++l) {
        const Filter& f = *filters[l < count ? l : 0];
        x[l] = f.inputs[Filter::kAudioIn];
        g[l] = f.inputs[Filter::kGScratch];
        k[l] = f.inputs[Filter::kKScratch];
        level[l] = f.inputs[Filter::kLevelScratch];
        r[l] = f.inputs[Filter::kResonanceScratch];
        out[l] = f.outputs[Filter::kAudioOut];
        for (std::size_t s = 0; s < 4; ++s) {
            ladder.y[s][l] = f.stages_[s].y;
            ladder.dither[s][l] = f.stages_[s].dither;
        }
        ladder.feedback[l] = f.feedback_;
        inputGain[l] = f.drive;
        const int length = frames[l < count ? l : 0];
        laneLength[static_cast<std::size_t>(l)] = length;
        lengths[l] = static_cast<float>(length);
        shortest = std::min(shortest, length);
        longest = std::max(longest, length);
    }

    // Up to the shortest lane every lane renders; beyond it, lanes that
    // have ended keep their state and write nothing (their inputs are read
    // but not used).
    int i = 0;
    for (; i < shortest; ++i) {
        const Floats y = step<M, false>(ladder, inputGain, gather(x, i), gather(g, i), gather(k, i), gather(level, i),
                                        gather(r, i), Mask{});
        for (int l = 0; l < count; ++l) out[l][i] = y[l];
    }
    for (; i < longest; ++i) {
        const Mask active = lanes::broadcast(static_cast<float>(i)) < lengths;
        auto at = [&](const Lanes& from) {
            Floats v{};
            for (int l = 0; l < kLanes; ++l)
                if (i < laneLength[l]) v[l] = from[l][i];
            return v;
        };
        const Floats y = step<M, true>(ladder, inputGain, at(x), at(g), at(k), at(level), at(r), active);
        for (int l = 0; l < count; ++l)
            if (i < laneLength[l]) out[l][i] = y[l];
    }

    for (int l = 0; l < count; ++l) {
        Filter& f = *filters[l];
        for (std::size_t s = 0; s < 4; ++s) {
            f.stages_[s].y = ladder.y[s][l];
            f.stages_[s].dither = ladder.dither[s][l];
        }
        f.feedback_ = ladder.feedback[l];
    }
}

bool FilterLanes::renders(int mode) {
    return !(mode == Filter::kTb303LowPass24 || mode == Filter::kTb303LowPass18 || mode == Filter::kLowPass18 ||
             mode == Filter::kLowPass24Oversampled);
}

void FilterLanes::render(Filter* const* filters, const int* frames, int count, int mode) {
    count = std::clamp(count, 0, kLanes);
    if (count == 0) return;
    switch (mode) {
        case Filter::kBandPassEuler: renderMode<Filter::kBandPassEuler>(filters, frames, count); break;
        case Filter::kHighPass: renderMode<Filter::kHighPass>(filters, frames, count); break;
        case Filter::kBandStop: renderMode<Filter::kBandStop>(filters, frames, count); break;
        case Filter::kHighToLowMorph: renderMode<Filter::kHighToLowMorph>(filters, frames, count); break;
        case Filter::kBandToLowMorph: renderMode<Filter::kBandToLowMorph>(filters, frames, count); break;
        case Filter::kLowPass4Pole: renderMode<Filter::kLowPass4Pole>(filters, frames, count); break;
        case Filter::kBandPass4Pole: renderMode<Filter::kBandPass4Pole>(filters, frames, count); break;
        case Filter::kHighPass4Pole: renderMode<Filter::kHighPass4Pole>(filters, frames, count); break;
        case Filter::kHighToLowMorph4Pole: renderMode<Filter::kHighToLowMorph4Pole>(filters, frames, count); break;
        case Filter::kLowToHighMorph4Pole: renderMode<Filter::kLowToHighMorph4Pole>(filters, frames, count); break;
        default: renderMode<Filter::kLowPass24Saturated>(filters, frames, count); break;
    }
}

}  // namespace tarvik

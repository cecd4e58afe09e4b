#include "dsp/filter_lanes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace tarvik {
namespace {

constexpr int kBlock = 256;

// One filter with buffers of its own, fed a signal and a cutoff sweep that
// depend on its seed, so that every lane has something different to do.
class FilterRig {
public:
    FilterRig(int mode, unsigned seed) : audio_(kBlock), cutoff_(kBlock), resonance_(kBlock), out_(kBlock) {
        for (auto& s : scratch_) s.assign(kBlock, 0.0f);
        filter_.mode = mode;
        filter_.inputs[Filter::kAudioIn] = audio_.data();
        filter_.inputs[Filter::kCutoffIn] = cutoff_.data();
        filter_.setCoefficientBuffers(scratch_[0].data(), scratch_[1].data(), scratch_[2].data(), scratch_[3].data());
        filter_.inputs[Filter::kResonanceIn] = resonance_.data();
        filter_.outputs[Filter::kAudioOut] = out_.data();
        random_.seed(seed);
        phase_ = 0.013 * seed;
        step_ = 0.002 + 0.0007 * seed;
    }

    // The next block of input: a saw with a little noise, the cutoff moving
    // over most of its range, a resonance high enough to ring.
    void feed(int block) {
        std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
        for (int i = 0; i < kBlock; ++i) {
            phase_ += step_;
            if (phase_ > 1.0) phase_ -= 1.0;
            audio_[static_cast<std::size_t>(i)] = static_cast<float>(2.0 * phase_ - 1.0) + noise(random_);
            const double t = (block * kBlock + i) / 3000.0 + phase_ * 0.01;
            cutoff_[static_cast<std::size_t>(i)] = static_cast<float>(0.45 + 0.45 * std::sin(t * 6.283 + step_ * 900.0));
            resonance_[static_cast<std::size_t>(i)] = static_cast<float>(0.6 + 0.35 * std::sin(t));
        }
    }

    Filter& filter() { return filter_; }
    const std::vector<float>& out() const { return out_; }

private:
    Filter filter_;
    std::vector<float> audio_, cutoff_, resonance_, out_;
    std::array<std::vector<float>, 4> scratch_;
    std::mt19937 random_;
    double phase_ = 0.0;
    double step_ = 0.0;
};

// Lanes and, beside them, the same filters run one by one as the reference.
struct LaneRun {
    std::vector<std::unique_ptr<FilterRig>> lanes;
    std::vector<std::unique_ptr<FilterRig>> reference;

    LaneRun(int mode, const std::vector<unsigned>& seeds) {
        for (unsigned seed : seeds) {
            lanes.push_back(std::make_unique<FilterRig>(mode, seed));
            reference.push_back(std::make_unique<FilterRig>(mode, seed));
        }
    }

    // One block, each filter for its own length, the lanes in groups as
    // wide as FilterLanes takes; answers the first lane and sample where the
    // two differ, or an empty text.
    std::string block(int index, const std::vector<int>& frames) {
        std::vector<Filter*> prepared;
        std::vector<int> lengths;
        for (std::size_t l = 0; l < lanes.size(); ++l) {
            lanes[l]->feed(index);
            reference[l]->feed(index);
            reference[l]->filter().process(frames[l]);
            if (lanes[l]->filter().prepare(frames[l])) {
                prepared.push_back(&lanes[l]->filter());
                lengths.push_back(frames[l]);
            }
        }
        for (std::size_t first = 0; first < prepared.size(); first += FilterLanes::kLanes) {
            const auto count = std::min<std::size_t>(FilterLanes::kLanes, prepared.size() - first);
            FilterLanes::render(prepared.data() + first, lengths.data() + first, static_cast<int>(count),
                                lanes.front()->filter().mode);
        }
        for (std::size_t l = 0; l < lanes.size(); ++l)
            for (int i = 0; i < frames[l]; ++i)
                if (lanes[l]->out()[static_cast<std::size_t>(i)] != reference[l]->out()[static_cast<std::size_t>(i)])
                    return "lane " + std::to_string(l) + " sample " + std::to_string(i) + ": " +
                           std::to_string(lanes[l]->out()[static_cast<std::size_t>(i)]) + " instead of " +
                           std::to_string(reference[l]->out()[static_cast<std::size_t>(i)]);
        return {};
    }
};

class LaneModes : public ::testing::TestWithParam<int> {};

// Bit for bit: the lanes run the same float operations in the same order.
// Several blocks in a row also check the state each lane hands back.
TEST_P(LaneModes, EveryLaneRendersWhatItsFilterAloneRenders) {
    LaneRun run(GetParam(), {1, 2, 3, 4, 5, 6, 7, 8});
    for (int b = 0; b < 6; ++b) {
        const std::string difference = run.block(b, std::vector<int>(8, kBlock));
        ASSERT_EQ(difference, "") << "block " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(SaturatingModes, LaneModes,
                         ::testing::Values(3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 99),
                         [](const ::testing::TestParamInfo<int>& row) { return "Mode" + std::to_string(row.param); });

// Voices end at the sample where they fall silent, so lanes of one group
// render different lengths; a lane past its length keeps its state.
TEST(FilterLanes, LanesOfDifferentLengthsKeepTheirOwnState) {
    LaneRun run(Filter::kLowPass24Saturated, {11, 12, 13, 14, 15});
    const std::vector<int> lengths[] = {{256, 17, 1, 200, 0}, {3, 256, 128, 0, 255}, {256, 256, 256, 256, 256}};
    for (int b = 0; b < 3; ++b) ASSERT_EQ(run.block(b, lengths[b]), "") << "block " << b;
}

// A voice sounds the same alone, in the first lane of a full group, or in
// the last lane behind others.
TEST(FilterLanes, AVoiceDoesNotDependOnItsLaneOrItsNeighbours) {
    std::vector<std::vector<float>> heard;
    for (const std::vector<unsigned>& seeds : {std::vector<unsigned>{42}, std::vector<unsigned>{42, 1, 2, 3, 4, 5, 6, 7},
                                               std::vector<unsigned>{9, 8, 7, 42}}) {
        LaneRun run(Filter::kHighToLowMorph4Pole, seeds);
        std::size_t lane = 0;
        while (seeds[lane] != 42) ++lane;
        std::vector<float> output;
        for (int b = 0; b < 3; ++b) {
            ASSERT_EQ(run.block(b, std::vector<int>(seeds.size(), kBlock)), "");
            output.insert(output.end(), run.lanes[lane]->out().begin(), run.lanes[lane]->out().end());
        }
        heard.push_back(output);
    }
    EXPECT_EQ(heard[0], heard[1]);
    EXPECT_EQ(heard[0], heard[2]);
}

TEST(FilterLanes, LeaveTheSlewDampedLinearAndOversampledModesToTheFilter) {
    for (int mode : {Filter::kTb303LowPass24, Filter::kTb303LowPass18, Filter::kLowPass18, Filter::kLowPass24Oversampled})
        EXPECT_FALSE(FilterLanes::renders(mode)) << mode;
    for (int mode : {3, 4, 6, 10, 14, -1, 99}) EXPECT_TRUE(FilterLanes::renders(mode)) << mode;
}

}  // namespace
}  // namespace tarvik

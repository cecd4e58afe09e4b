#include "gui/toolkit/dirty_region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

std::vector<Rect> sorted(std::vector<Rect> areas) {
    std::sort(areas.begin(), areas.end(), [](const Rect& a, const Rect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
    });
    return areas;
}

struct MergeCase {
    const char* name;
    friend void PrintTo(const MergeCase& c, std::ostream* out) { *out << c.name; }
    std::vector<Rect> added;
    std::vector<Rect> expected;
};

class DirtyRegionMerge : public ::testing::TestWithParam<MergeCase> {};

TEST_P(DirtyRegionMerge, KeepsTheExpectedAreas) {
    const MergeCase& c = GetParam();
    DirtyRegion region;
    for (const Rect& r : c.added) region.add(r);
    EXPECT_EQ(sorted(region.areas()), sorted(c.expected));
    EXPECT_EQ(region.empty(), c.expected.empty());
}

INSTANTIATE_TEST_SUITE_P(
    DirtyRegion, DirtyRegionMerge,
    ::testing::Values(
        MergeCase{"Overlapping", {Rect::sized(0, 0, 10, 10), Rect::sized(5, 5, 10, 10)}, {Rect::sized(0, 0, 15, 15)}},
        MergeCase{"SharingAnEdgeSideways",
                  {Rect::sized(0, 0, 10, 10), Rect::sized(10, 0, 10, 10)},
                  {Rect::sized(0, 0, 20, 10)}},
        MergeCase{"SharingAnEdgeDownwards",
                  {Rect::sized(0, 10, 10, 10), Rect::sized(0, 0, 10, 10)},
                  {Rect::sized(0, 0, 10, 20)}},
        MergeCase{"OnePixelApart",
                  {Rect::sized(0, 0, 10, 10), Rect::sized(11, 0, 10, 10)},
                  {Rect::sized(0, 0, 10, 10), Rect::sized(11, 0, 10, 10)}},
        MergeCase{"FarApart",
                  {Rect::sized(0, 0, 10, 10), Rect::sized(100, 50, 20, 5)},
                  {Rect::sized(0, 0, 10, 10), Rect::sized(100, 50, 20, 5)}},
        MergeCase{"InsideAnother", {Rect::sized(0, 0, 20, 20), Rect::sized(5, 5, 5, 5)}, {Rect::sized(0, 0, 20, 20)}},
        MergeCase{"AroundAnother", {Rect::sized(5, 5, 5, 5), Rect::sized(0, 0, 20, 20)}, {Rect::sized(0, 0, 20, 20)}},
        MergeCase{"BridgeJoinsTwo",
                  {Rect::sized(0, 0, 10, 10), Rect::sized(30, 0, 10, 10), Rect::sized(8, 2, 24, 4)},
                  {Rect::sized(0, 0, 40, 10)}},
        // The last area meets only the first, but their union reaches the
        // second.
        MergeCase{
            "GrownAreaMeetsAThird", {Rect{0, 0, 10, 10}, Rect{25, 0, 35, 4}, Rect{5, 5, 30, 12}}, {Rect{0, 0, 35, 12}}},
        MergeCase{"ChainMergesThrough",
                  {Rect::sized(0, 0, 10, 10), Rect::sized(0, 30, 10, 10), Rect::sized(20, 20, 10, 10),
                   Rect::sized(5, 5, 20, 20)},
                  {Rect::sized(0, 0, 30, 40)}},
        MergeCase{"EmptyIgnored", {Rect::sized(5, 5, 0, 10), Rect::sized(5, 5, 10, 0), Rect{10, 10, 5, 5}}, {}},
        MergeCase{
            "EmptyBesideARealOne", {Rect::sized(0, 0, 10, 10), Rect{50, 50, 40, 40}}, {Rect::sized(0, 0, 10, 10)}}),
    test::rowName<MergeCase>);

TEST(DirtyRegion, UpToTheLimitAreasStaySeparate) {
    DirtyRegion region;
    std::vector<Rect> added;
    for (std::size_t i = 0; i < DirtyRegion::kMaxAreas; ++i) {
        added.push_back(Rect::sized(static_cast<int>(i) * 20, static_cast<int>(i % 3) * 7, 10, 5));
        region.add(added.back());
    }
    EXPECT_EQ(sorted(region.areas()), sorted(added));
}

TEST(DirtyRegion, PastTheLimitOneBoxCoversAll) {
    DirtyRegion region;
    Rect bounds;
    for (std::size_t i = 0; i <= DirtyRegion::kMaxAreas; ++i) {
        const Rect r = Rect::sized(static_cast<int>(i) * 20 + 3, static_cast<int>(i % 4) * 30 + 1, 10, 5);
        region.add(r);
        bounds = bounds.united(r);
    }
    EXPECT_EQ(region.areas(), std::vector<Rect>{bounds});
}

TEST(DirtyRegion, AfterCollapsingNewAreasStillMerge) {
    DirtyRegion region;
    for (std::size_t i = 0; i <= DirtyRegion::kMaxAreas; ++i)
        region.add(Rect::sized(static_cast<int>(i) * 20, 0, 10, 10));
    const Rect collapsed = region.areas().front();
    region.add(Rect::sized(5, 2, 4, 4));
    region.add(Rect::sized(1000, 1000, 4, 4));
    EXPECT_EQ(sorted(region.areas()), sorted({collapsed, Rect::sized(1000, 1000, 4, 4)}));
}

TEST(DirtyRegion, TakeHandsOverAndEmpties) {
    DirtyRegion region;
    region.add(Rect::sized(0, 0, 10, 10));
    region.add(Rect::sized(50, 50, 10, 10));
    EXPECT_EQ(sorted(region.take()), sorted({Rect::sized(0, 0, 10, 10), Rect::sized(50, 50, 10, 10)}));
    EXPECT_TRUE(region.empty());
    EXPECT_TRUE(region.areas().empty());
    EXPECT_TRUE(region.take().empty());
    // Nothing of the old areas lingers: a new one stays as it is.
    region.add(Rect::sized(5, 5, 2, 2));
    EXPECT_EQ(region.areas(), std::vector<Rect>{Rect::sized(5, 5, 2, 2)});
}

}  // namespace
}  // namespace tarvik::gui

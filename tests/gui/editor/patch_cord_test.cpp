#include "gui/editor/patch_cord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <ostream>
#include <string>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

std::uint32_t argb(Color c) {
    return (std::uint32_t{c.a} << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}

class CordTest : public ::testing::Test {
protected:
    // The cable hanging still between two points.
    void hang(PointF from, PointF to, float tension) {
        cord.setEnds(from, to);
        cord.setTension(tension);
        cord.step(false);
    }
    CordPoint middle() const { return cord.point(cord.pointCount() / 2); }

    CordRandom random{11};
    PatchCord cord;
};

// --- The curve.

struct StraightCase {
    std::string name;
    PointF from;
    PointF to;
    friend void PrintTo(const StraightCase& c, std::ostream* out) { *out << c.name; }
};

class CordStraight : public CordTest, public ::testing::WithParamInterface<StraightCase> {};

TEST_P(CordStraight, TensionZeroHangsNoLowerThanItsEnds) {
    hang(GetParam().from, GetParam().to, 0.0f);
    const auto [minX, maxX] = std::minmax(GetParam().from.x, GetParam().to.x);
    for (int i = 0; i < cord.pointCount(); ++i) {
        EXPECT_FLOAT_EQ(cord.point(i).y, static_cast<float>(GetParam().from.y)) << "point " << i;
        EXPECT_GE(cord.point(i).x, minX) << "point " << i;
        EXPECT_LE(cord.point(i).x, maxX) << "point " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cables, CordStraight,
                         ::testing::Values(StraightCase{"LeftToRight", {100, 200}, {300, 200}},
                                           StraightCase{"RightToLeft", {420, 75}, {30, 75}},
                                           StraightCase{"Short", {200, 50}, {212, 50}}),
                         rowName<StraightCase>);

struct SagCase {
    std::string name;
    PointF from;
    PointF to;
    float tension;
    float sag;  // of the middle point below the ends' midpoint
    friend void PrintTo(const SagCase& c, std::ostream* out) { *out << c.name; }
};

class CordSag : public CordTest, public ::testing::WithParamInterface<SagCase> {};

TEST_P(CordSag, TheMiddleHangsHalfWayToTheRestPosition) {
    const SagCase& c = GetParam();
    hang(c.from, c.to, c.tension);
    ASSERT_EQ(cord.pointCount(), 17);
    EXPECT_FLOAT_EQ(middle().y, static_cast<float>((c.from.y + c.to.y) / 2) + c.sag);
    // The rest position lies five pixels right of the middle, half of which
    // the curve follows.
    EXPECT_FLOAT_EQ(middle().x, static_cast<float>((c.from.x + c.to.x) / 2) + 2.5f);
}

INSTANTIATE_TEST_SUITE_P(Cables, CordSag,
                         ::testing::Values(SagCase{"DefaultsLevel", {100, 200}, {300, 200}, 1.0f, 100.0f},
                                           SagCase{"DefaultsSloping", {40, 60}, {360, 180}, 1.0f, 100.0f},
                                           SagCase{"DefaultsUpright", {250, 300}, {250, 100}, 1.0f, 100.0f},
                                           SagCase{"HalfTension", {100, 200}, {300, 200}, 0.5f, 50.0f},
                                           SagCase{"LargestTension", {100, 200}, {300, 200}, 2.0f, 200.0f},
                                           SagCase{"NoTension", {100, 200}, {300, 200}, 0.0f, 0.0f}),
                         rowName<SagCase>);

struct SlackCase {
    std::string name;
    float slack;
    int points;
    friend void PrintTo(const SlackCase& c, std::ostream* out) { *out << c.name; }
};

class CordSlack : public CordTest, public ::testing::WithParamInterface<SlackCase> {};

TEST_P(CordSlack, PointsGrowWithSlackUpToTwenty) {
    cord.setSlack(GetParam().slack);
    hang({10, 20}, {200, 120}, 1.0f);
    ASSERT_EQ(cord.pointCount(), GetParam().points);
    EXPECT_FLOAT_EQ(cord.point(0).x, 10.0f);
    EXPECT_FLOAT_EQ(cord.point(0).y, 20.0f);
    EXPECT_FLOAT_EQ(cord.point(cord.pointCount() - 1).x, 200.0f);
    EXPECT_FLOAT_EQ(cord.point(cord.pointCount() - 1).y, 120.0f);
}

INSTANTIATE_TEST_SUITE_P(Slack, CordSlack,
                         ::testing::Values(SlackCase{"Default", 1.0f, 17}, SlackCase{"Less", 0.5f, 8},
                                           SlackCase{"More", 1.1f, 18}, SlackCase{"JustAboveTheLimit", 1.2f, 20},
                                           SlackCase{"FarAboveTheLimit", 3.0f, 20}),
                         rowName<SlackCase>);

// --- Where the middle rests, and how it gets there.

struct RestCase {
    std::string name;
    PointF from;
    PointF to;
    float tension;
    CordPoint rest;
    friend void PrintTo(const RestCase& c, std::ostream* out) { *out << c.name; }
};

class CordRest : public CordTest, public ::testing::WithParamInterface<RestCase> {};

TEST_P(CordRest, RestsRightOfTheMiddleAndLowerWithTension) {
    const RestCase& c = GetParam();
    cord.setEnds(c.from, c.to);
    cord.setTension(c.tension);
    EXPECT_FLOAT_EQ(cord.restPosition().x, c.rest.x);
    EXPECT_FLOAT_EQ(cord.restPosition().y, c.rest.y);
}

INSTANTIATE_TEST_SUITE_P(Cables, CordRest,
                         ::testing::Values(RestCase{"Default", {100, 200}, {300, 260}, 1.0f, {205, 430}},
                                           RestCase{"HalfTension", {100, 200}, {300, 260}, 0.5f, {205, 330}},
                                           RestCase{"NoTension", {300, 260}, {100, 200}, 0.0f, {205, 230}},
                                           RestCase{"HalfPixels", {11, 0}, {20, 5}, 2.0f, {20.5f, 402.5f}}),
                         rowName<RestCase>);

TEST_F(CordTest, ADropLandsWithinReachBelowTheMiddleAndStill) {
    cord.setEnds({100, 100}, {300, 100});
    float lowestX = 1e9f, highestX = -1e9f;
    for (int i = 0; i < 200; ++i) {
        cord.drop(random);
        const CordPoint c = cord.control();
        EXPECT_GE(c.x, 205.0f - 75.0f);
        EXPECT_LT(c.x, 205.0f + 75.0f);
        EXPECT_GE(c.y, 300.0f - 75.0f);
        EXPECT_LT(c.y, 300.0f + 75.0f);
        EXPECT_EQ(cord.velocity(), CordPoint{});
        EXPECT_TRUE(cord.moving());
        lowestX = std::min(lowestX, c.x);
        highestX = std::max(highestX, c.x);
    }
    // Not always the same spot.
    EXPECT_LT(lowestX, 205.0f - 50.0f);
    EXPECT_GT(highestX, 205.0f + 50.0f);
}

TEST_F(CordTest, APickedUpCableStartsStraightAndStill) {
    cord.setEnds({100, 100}, {300, 140});
    cord.pickUp();
    EXPECT_EQ(cord.control(), (CordPoint{200, 120}));
    EXPECT_EQ(cord.velocity(), CordPoint{});
}

TEST_F(CordTest, TheSpringSwingsThenSettlesExactlyOnTheRest) {
    cord.setEnds({100, 100}, {300, 100});
    cord.drop(random);
    const CordPoint rest = cord.restPosition();

    ASSERT_TRUE(cord.step(true));
    EXPECT_TRUE(cord.moving());
    EXPECT_NE(cord.control(), rest) << "one step does not reach the rest";

    for (int i = 0; i < 10000 && cord.moving(); ++i) cord.step(true);
    EXPECT_FALSE(cord.moving());
    EXPECT_EQ(cord.control(), rest);
    EXPECT_EQ(cord.velocity(), CordPoint{});
    EXPECT_EQ(cord.acceleration(), CordPoint{});
    EXPECT_FALSE(cord.step(true)) << "a cable at rest stays as it is";
}

TEST_F(CordTest, WithoutAnimationTheMiddleJumpsToRest) {
    cord.setEnds({100, 100}, {300, 100});
    cord.drop(random);
    EXPECT_TRUE(cord.step(false));
    EXPECT_FALSE(cord.moving());
    EXPECT_EQ(cord.control(), cord.restPosition());
    EXPECT_EQ(cord.velocity(), CordPoint{});
}

TEST_F(CordTest, TheSameTimeAtTwiceTheRateEndsNearlyInTheSamePlace) {
    PatchCord slow;
    for (PatchCord* c : {&cord, &slow}) {
        c->setEnds({100, 100}, {300, 100});
        c->setControl({150, 420});
    }
    const CordPoint rest = cord.restPosition();
    const float away = std::hypot(150.0f - rest.x, 420.0f - rest.y);

    // Half a second at 60 and at 120 steps a second.
    slow.setSpring(0.007f * 1000.0f / 60.0f);
    for (int i = 0; i < 30; ++i) slow.step(true);
    cord.setSpring(0.007f * 1000.0f / 120.0f);
    for (int i = 0; i < 60; ++i) cord.step(true);

    ASSERT_TRUE(cord.moving() && slow.moving()) << "compare them mid-swing";
    EXPECT_GT(std::hypot(cord.control().x - 150.0f, cord.control().y - 420.0f), away / 2) << "it did swing";
    EXPECT_LT(std::hypot(cord.control().x - slow.control().x, cord.control().y - slow.control().y), away * 0.05f);
}

TEST_F(CordTest, TheMouseShakesTheMiddleAgainstItsMovement) {
    hang({100, 100}, {300, 100}, 1.0f);
    const CordPoint before = cord.control();
    CordRandom same = random;
    const int pushX = 40 * (same.next() % 20) / 20;
    const int pushY = -30 * (same.next() % 20) / 20;
    cord.shake(40, -30, random);
    EXPECT_FLOAT_EQ(cord.control().x, before.x - static_cast<float>(pushX));
    EXPECT_FLOAT_EQ(cord.control().y, before.y - static_cast<float>(pushY));
}

// The panel is dark grey: a cable's brightest strand must stand well clear
// of it, and no two tints may be near twins.
TEST(CordTints, EachStandsOutOnThePanelAndFromTheOthers) {
    for (std::size_t i = 0; i < PatchCord::kTints.size(); ++i) {
        const CordTint& t = PatchCord::kTints[i];
        const float luminance = 0.2126f * t.r + 0.7152f * t.g + 0.0722f * t.b;
        EXPECT_GT(luminance, 0.45f) << "tint " << i << " is too dark for the panel";
        for (std::size_t j = 0; j < i; ++j) {
            const CordTint& u = PatchCord::kTints[j];
            EXPECT_GT(std::abs(t.r - u.r) + std::abs(t.g - u.g) + std::abs(t.b - u.b), 0.3f)
                << "tints " << j << " and " << i << " look alike";
        }
    }
}

TEST_F(CordTest, ACableTakesItsOutputsColourWhicheverEndItWasDrawnFrom) {
    constexpr int kOutput = 5;
    constexpr int kInput = 17;
    cord.setSockets(kInput, -1);  // picked up at the input
    cord.setSockets(kInput, kOutput);
    cord.swapEnds();
    EXPECT_EQ(cord.output(), kOutput);
    EXPECT_FLOAT_EQ(cord.tint().r, PatchCord::tintFor(kOutput).r);
    EXPECT_FLOAT_EQ(cord.tint().g, PatchCord::tintFor(kOutput).g);
    EXPECT_FLOAT_EQ(cord.tint().b, PatchCord::tintFor(kOutput).b);
}

TEST(CordTints, NeighbouringSocketsGetDifferentColours) {
    for (int socket = 0; socket + 1 < 42; ++socket) {
        const CordTint& a = PatchCord::tintFor(socket);
        const CordTint& b = PatchCord::tintFor(socket + 1);
        EXPECT_FALSE(a.r == b.r && a.g == b.g && a.b == b.b) << "sockets " << socket << " and " << socket + 1;
    }
}

// --- The area it covers.

struct DirtyCase {
    std::string name;
    PointF from;
    PointF to;
    float tension;
    CordArea area;
    friend void PrintTo(const DirtyCase& c, std::ostream* out) { *out << c.name; }
};

class CordDirty : public CordTest, public ::testing::WithParamInterface<DirtyCase> {};

TEST_P(CordDirty, IsTheCurvesBoxGrownByTwenty) {
    const DirtyCase& c = GetParam();
    hang(c.from, c.to, c.tension);
    EXPECT_DOUBLE_EQ(cord.dirtyArea().left, c.area.left);
    EXPECT_DOUBLE_EQ(cord.dirtyArea().top, c.area.top);
    EXPECT_DOUBLE_EQ(cord.dirtyArea().right, c.area.right);
    EXPECT_DOUBLE_EQ(cord.dirtyArea().bottom, c.area.bottom);
}

INSTANTIATE_TEST_SUITE_P(Cables, CordDirty,
                         ::testing::Values(DirtyCase{"Level", {100, 200}, {300, 200}, 0.0f, {80, 180, 320, 220}},
                                           DirtyCase{"Sagging", {100, 200}, {300, 200}, 1.0f, {80, 180, 320, 320}},
                                           DirtyCase{"Rising", {100, 300}, {300, 100}, 0.0f, {80, 80, 320, 320}}),
                         rowName<DirtyCase>);

// --- Drawing.

struct PaletteCase {
    std::string name;
    CordTint tint;
    std::array<Color, PatchCord::kPaletteSize> colours;
    friend void PrintTo(const PaletteCase& c, std::ostream* out) { *out << c.name; }
};

class CordPalette : public CordTest, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(CordPalette, ShadesTheTintTruncatingEachComponent) {
    cord.setTint(GetParam().tint);
    const auto colours = cord.palette();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        EXPECT_EQ(colours[i].r, GetParam().colours[i].r) << "shade " << i;
        EXPECT_EQ(colours[i].g, GetParam().colours[i].g) << "shade " << i;
        EXPECT_EQ(colours[i].b, GetParam().colours[i].b) << "shade " << i;
        EXPECT_EQ(colours[i].a, 255) << "shade " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tints, CordPalette,
    ::testing::Values(PaletteCase{"White",
                                  {1.0f, 1.0f, 1.0f},
                                  {{{100, 100, 100}, {150, 150, 150}, {250, 250, 250}, {130, 130, 130},
                                    {100, 100, 100}, {70, 70, 70}, {60, 60, 60}, {30, 30, 30}}}},
                      PaletteCase{"Mixed",
                                  {0.75f, 0.25f, 0.5f},
                                  {{{75, 25, 50}, {112, 37, 75}, {187, 62, 125}, {97, 32, 65}, {75, 25, 50},
                                    {52, 17, 35}, {45, 15, 30}, {22, 7, 15}}}}),
    rowName<PaletteCase>);

struct StrandCase {
    std::string name;
    PointF from;
    PointF to;
    friend void PrintTo(const StrandCase& c, std::ostream* out) { *out << c.name; }
};

class CordStrands : public CordTest, public ::testing::WithParamInterface<StrandCase> {
protected:
    CordStrands() {
        cord.setTint({0.75f, 0.25f, 0.5f});
        hang(GetParam().from, GetParam().to, 0.0f);
        cord.setInUse(true);
    }
    test::Canvas canvas{400, 300};
};

// Across a level cable, from three pixels below its line to three above:
// the seven strands in shades 6 down to 0, whichever way it runs.
TEST_P(CordStrands, RunEdgeToEdgeInReverseShadeOrder) {
    cord.draw(canvas.context());
    const auto colours = cord.palette();
    const int y = static_cast<int>(GetParam().from.y);
    for (int s = 0; s < 7; ++s)
        EXPECT_EQ(canvas.pixel(200, y + 3 - s), argb(colours[static_cast<std::size_t>(6 - s)])) << "strand " << s;
    EXPECT_EQ(canvas.pixel(200, y + 5), test::kWhite) << "no shadow unless asked for";
}

TEST_P(CordStrands, CastAHalfTransparentShadowDownAndRight) {
    cord.setShadow(true);
    cord.draw(canvas.context());
    // Below the strands, only the shadow: black at half strength over white.
    const Color shade = test::colorOf(canvas.pixel(200, static_cast<int>(GetParam().from.y) + 6));
    EXPECT_NEAR(shade.r, 128, 2);
    EXPECT_EQ(shade.r, shade.g);
    EXPECT_EQ(shade.r, shade.b);
}

TEST_P(CordStrands, ShowThePlugCentredOnTheFreeEndOnlyWhenAsked) {
    const Bitmap plug = test::stackedImages(10, 10, 1);  // red
    cord.setPlug(&plug);
    const int x = static_cast<int>(GetParam().to.x);
    const int y = static_cast<int>(GetParam().to.y);
    cord.draw(canvas.context());
    EXPECT_EQ(canvas.pixel(x - 6, y - 6), test::kWhite);

    cord.setPlugVisible(true);
    cord.draw(canvas.context());
    EXPECT_EQ(canvas.pixel(x - 6, y - 6), test::kRed) << "top-left corner";
    EXPECT_EQ(canvas.pixel(x + 3, y - 6), test::kRed) << "top-right corner";
    EXPECT_EQ(canvas.pixel(x - 7, y - 6), test::kWhite);
    EXPECT_EQ(canvas.pixel(x + 4, y - 6), test::kWhite);
}

TEST_P(CordStrands, AreNotDrawnOutOfUse) {
    cord.setInUse(false);
    cord.draw(canvas.context());
    EXPECT_EQ(canvas.pixel(200, static_cast<int>(GetParam().from.y)), test::kWhite);
}

INSTANTIATE_TEST_SUITE_P(Cables, CordStrands,
                         ::testing::Values(StrandCase{"LeftToRight", {50, 150}, {350, 150}},
                                           StrandCase{"RightToLeft", {350, 120}, {50, 120}}),
                         rowName<StrandCase>);

}  // namespace
}  // namespace tarvik::gui

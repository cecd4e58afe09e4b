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

class CableTest : public ::testing::Test {
protected:
    // The cable hanging still between two points.
    void hang(PointF from, PointF to, float tension) {
        cable.setEnds(from, to);
        cable.setTension(tension);
        cable.step(false);
    }
    CablePoint middle() const { return cable.point(cable.pointCount() / 2); }

    CableRandom random{11};
    PatchCord cable;
};

// --- The curve.

struct StraightCase {
    std::string name;
    PointF from;
    PointF to;
    friend void PrintTo(const StraightCase& c, std::ostream* out) { *out << c.name; }
};

class CableStraight : public CableTest, public ::testing::WithParamInterface<StraightCase> {};

TEST_P(CableStraight, TensionZeroHangsNoLowerThanItsEnds) {
    hang(GetParam().from, GetParam().to, 0.0f);
    const auto [minX, maxX] = std::minmax(GetParam().from.x, GetParam().to.x);
    for (int i = 0; i < cable.pointCount(); ++i) {
        EXPECT_FLOAT_EQ(cable.point(i).y, static_cast<float>(GetParam().from.y)) << "point " << i;
        EXPECT_GE(cable.point(i).x, minX) << "point " << i;
        EXPECT_LE(cable.point(i).x, maxX) << "point " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cables, CableStraight,
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

class CableSag : public CableTest, public ::testing::WithParamInterface<SagCase> {};

TEST_P(CableSag, TheMiddleHangsHalfWayToTheRestPosition) {
    const SagCase& c = GetParam();
    hang(c.from, c.to, c.tension);
    ASSERT_EQ(cable.pointCount(), 17);
    EXPECT_FLOAT_EQ(middle().y, static_cast<float>((c.from.y + c.to.y) / 2) + c.sag);
    // The rest position lies five pixels right of the middle, half of which
    // the curve follows.
    EXPECT_FLOAT_EQ(middle().x, static_cast<float>((c.from.x + c.to.x) / 2) + 2.5f);
}

INSTANTIATE_TEST_SUITE_P(Cables, CableSag,
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

class CableSlack : public CableTest, public ::testing::WithParamInterface<SlackCase> {};

TEST_P(CableSlack, PointsGrowWithSlackUpToTwenty) {
    cable.setSlack(GetParam().slack);
    hang({10, 20}, {200, 120}, 1.0f);
    ASSERT_EQ(cable.pointCount(), GetParam().points);
    EXPECT_FLOAT_EQ(cable.point(0).x, 10.0f);
    EXPECT_FLOAT_EQ(cable.point(0).y, 20.0f);
    EXPECT_FLOAT_EQ(cable.point(cable.pointCount() - 1).x, 200.0f);
    EXPECT_FLOAT_EQ(cable.point(cable.pointCount() - 1).y, 120.0f);
}

INSTANTIATE_TEST_SUITE_P(Slack, CableSlack,
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
    CablePoint rest;
    friend void PrintTo(const RestCase& c, std::ostream* out) { *out << c.name; }
};

class CableRest : public CableTest, public ::testing::WithParamInterface<RestCase> {};

TEST_P(CableRest, RestsRightOfTheMiddleAndLowerWithTension) {
    const RestCase& c = GetParam();
    cable.setEnds(c.from, c.to);
    cable.setTension(c.tension);
    EXPECT_FLOAT_EQ(cable.restPosition().x, c.rest.x);
    EXPECT_FLOAT_EQ(cable.restPosition().y, c.rest.y);
}

INSTANTIATE_TEST_SUITE_P(Cables, CableRest,
                         ::testing::Values(RestCase{"Default", {100, 200}, {300, 260}, 1.0f, {205, 430}},
                                           RestCase{"HalfTension", {100, 200}, {300, 260}, 0.5f, {205, 330}},
                                           RestCase{"NoTension", {300, 260}, {100, 200}, 0.0f, {205, 230}},
                                           RestCase{"HalfPixels", {11, 0}, {20, 5}, 2.0f, {20.5f, 402.5f}}),
                         rowName<RestCase>);

TEST_F(CableTest, ADropLandsWithinReachBelowTheMiddleAndStill) {
    cable.setEnds({100, 100}, {300, 100});
    float lowestX = 1e9f, highestX = -1e9f;
    for (int i = 0; i < 200; ++i) {
        cable.drop(random);
        const CablePoint c = cable.control();
        EXPECT_GE(c.x, 205.0f - 75.0f);
        EXPECT_LT(c.x, 205.0f + 75.0f);
        EXPECT_GE(c.y, 300.0f - 75.0f);
        EXPECT_LT(c.y, 300.0f + 75.0f);
        EXPECT_EQ(cable.velocity(), CablePoint{});
        EXPECT_TRUE(cable.moving());
        lowestX = std::min(lowestX, c.x);
        highestX = std::max(highestX, c.x);
    }
    // Not always the same spot.
    EXPECT_LT(lowestX, 205.0f - 50.0f);
    EXPECT_GT(highestX, 205.0f + 50.0f);
}

TEST_F(CableTest, APickedUpCableStartsStraightAndStill) {
    cable.setEnds({100, 100}, {300, 140});
    cable.pickUp();
    EXPECT_EQ(cable.control(), (CablePoint{200, 120}));
    EXPECT_EQ(cable.velocity(), CablePoint{});
}

TEST_F(CableTest, TheSpringSwingsThenSettlesExactlyOnTheRest) {
    cable.setEnds({100, 100}, {300, 100});
    cable.drop(random);
    const CablePoint rest = cable.restPosition();

    ASSERT_TRUE(cable.step(true));
    EXPECT_TRUE(cable.moving());
    EXPECT_NE(cable.control(), rest) << "one step does not reach the rest";

    for (int i = 0; i < 10000 && cable.moving(); ++i) cable.step(true);
    EXPECT_FALSE(cable.moving());
    EXPECT_EQ(cable.control(), rest);
    EXPECT_EQ(cable.velocity(), CablePoint{});
    EXPECT_EQ(cable.acceleration(), CablePoint{});
    EXPECT_FALSE(cable.step(true)) << "a cable at rest stays as it is";
}

TEST_F(CableTest, WithoutAnimationTheMiddleJumpsToRest) {
    cable.setEnds({100, 100}, {300, 100});
    cable.drop(random);
    EXPECT_TRUE(cable.step(false));
    EXPECT_FALSE(cable.moving());
    EXPECT_EQ(cable.control(), cable.restPosition());
    EXPECT_EQ(cable.velocity(), CablePoint{});
}

TEST_F(CableTest, TheSameTimeAtTwiceTheRateEndsNearlyInTheSamePlace) {
    PatchCord slow;
    for (PatchCord* c : {&cable, &slow}) {
        c->setEnds({100, 100}, {300, 100});
        c->setControl({150, 420});
    }
    const CablePoint rest = cable.restPosition();
    const float away = std::hypot(150.0f - rest.x, 420.0f - rest.y);

    // Half a second at 60 and at 120 steps a second.
    slow.setSpring(0.007f * 1000.0f / 60.0f);
    for (int i = 0; i < 30; ++i) slow.step(true);
    cable.setSpring(0.007f * 1000.0f / 120.0f);
    for (int i = 0; i < 60; ++i) cable.step(true);

    ASSERT_TRUE(cable.moving() && slow.moving()) << "compare them mid-swing";
    EXPECT_GT(std::hypot(cable.control().x - 150.0f, cable.control().y - 420.0f), away / 2) << "it did swing";
    EXPECT_LT(std::hypot(cable.control().x - slow.control().x, cable.control().y - slow.control().y), away * 0.05f);
}

TEST_F(CableTest, TheMouseShakesTheMiddleAgainstItsMovement) {
    hang({100, 100}, {300, 100}, 1.0f);
    const CablePoint before = cable.control();
    CableRandom same = random;
    const int pushX = 40 * (same.next() % 20) / 20;
    const int pushY = -30 * (same.next() % 20) / 20;
    cable.shake(40, -30, random);
    EXPECT_FLOAT_EQ(cable.control().x, before.x - static_cast<float>(pushX));
    EXPECT_FLOAT_EQ(cable.control().y, before.y - static_cast<float>(pushY));
}

// The panel is dark grey: a cable's brightest strand must stand well clear
// of it, and no two tints may be near twins.
TEST(CableTints, EachStandsOutOnThePanelAndFromTheOthers) {
    for (std::size_t i = 0; i < PatchCord::kTints.size(); ++i) {
        const CableTint& t = PatchCord::kTints[i];
        const float luminance = 0.2126f * t.r + 0.7152f * t.g + 0.0722f * t.b;
        EXPECT_GT(luminance, 0.45f) << "tint " << i << " is too dark for the panel";
        for (std::size_t j = 0; j < i; ++j) {
            const CableTint& u = PatchCord::kTints[j];
            EXPECT_GT(std::abs(t.r - u.r) + std::abs(t.g - u.g) + std::abs(t.b - u.b), 0.3f)
                << "tints " << j << " and " << i << " look alike";
        }
    }
}

TEST_F(CableTest, ACableTakesItsOutputsColourWhicheverEndItWasDrawnFrom) {
    constexpr int kOutput = 5;
    constexpr int kInput = 17;
    cable.setSockets(kInput, -1);  // picked up at the input
    cable.setSockets(kInput, kOutput);
    cable.swapEnds();
    EXPECT_EQ(cable.output(), kOutput);
    EXPECT_FLOAT_EQ(cable.tint().r, PatchCord::tintFor(kOutput).r);
    EXPECT_FLOAT_EQ(cable.tint().g, PatchCord::tintFor(kOutput).g);
    EXPECT_FLOAT_EQ(cable.tint().b, PatchCord::tintFor(kOutput).b);
}

TEST(CableTints, NeighbouringSocketsGetDifferentColours) {
    for (int socket = 0; socket + 1 < 42; ++socket) {
        const CableTint& a = PatchCord::tintFor(socket);
        const CableTint& b = PatchCord::tintFor(socket + 1);
        EXPECT_FALSE(a.r == b.r && a.g == b.g && a.b == b.b) << "sockets " << socket << " and " << socket + 1;
    }
}

// --- The area it covers.

struct DirtyCase {
    std::string name;
    PointF from;
    PointF to;
    float tension;
    CableArea area;
    friend void PrintTo(const DirtyCase& c, std::ostream* out) { *out << c.name; }
};

class CableDirty : public CableTest, public ::testing::WithParamInterface<DirtyCase> {};

TEST_P(CableDirty, IsTheCurvesBoxGrownByTwenty) {
    const DirtyCase& c = GetParam();
    hang(c.from, c.to, c.tension);
    EXPECT_DOUBLE_EQ(cable.dirtyArea().left, c.area.left);
    EXPECT_DOUBLE_EQ(cable.dirtyArea().top, c.area.top);
    EXPECT_DOUBLE_EQ(cable.dirtyArea().right, c.area.right);
    EXPECT_DOUBLE_EQ(cable.dirtyArea().bottom, c.area.bottom);
}

INSTANTIATE_TEST_SUITE_P(Cables, CableDirty,
                         ::testing::Values(DirtyCase{"Level", {100, 200}, {300, 200}, 0.0f, {80, 180, 320, 220}},
                                           DirtyCase{"Sagging", {100, 200}, {300, 200}, 1.0f, {80, 180, 320, 320}},
                                           DirtyCase{"Rising", {100, 300}, {300, 100}, 0.0f, {80, 80, 320, 320}}),
                         rowName<DirtyCase>);

// --- Drawing.

struct PaletteCase {
    std::string name;
    CableTint tint;
    std::array<Color, PatchCord::kPaletteSize> colours;
    friend void PrintTo(const PaletteCase& c, std::ostream* out) { *out << c.name; }
};

class CablePalette : public CableTest, public ::testing::WithParamInterface<PaletteCase> {};

TEST_P(CablePalette, ShadesTheTintTruncatingEachComponent) {
    cable.setTint(GetParam().tint);
    const auto colours = cable.palette();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        EXPECT_EQ(colours[i].r, GetParam().colours[i].r) << "shade " << i;
        EXPECT_EQ(colours[i].g, GetParam().colours[i].g) << "shade " << i;
        EXPECT_EQ(colours[i].b, GetParam().colours[i].b) << "shade " << i;
        EXPECT_EQ(colours[i].a, 255) << "shade " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tints, CablePalette,
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

class CableStrands : public CableTest, public ::testing::WithParamInterface<StrandCase> {
protected:
    CableStrands() {
        cable.setTint({0.75f, 0.25f, 0.5f});
        hang(GetParam().from, GetParam().to, 0.0f);
        cable.setInUse(true);
    }
    test::Canvas canvas{400, 300};
};

// Across a level cable, from three pixels below its line to three above:
// the seven strands in shades 6 down to 0, whichever way it runs.
TEST_P(CableStrands, RunEdgeToEdgeInReverseShadeOrder) {
    cable.draw(canvas.context());
    const auto colours = cable.palette();
    const int y = static_cast<int>(GetParam().from.y);
    for (int s = 0; s < 7; ++s)
        EXPECT_EQ(canvas.pixel(200, y + 3 - s), argb(colours[static_cast<std::size_t>(6 - s)])) << "strand " << s;
    EXPECT_EQ(canvas.pixel(200, y + 5), test::kWhite) << "no shadow unless asked for";
}

TEST_P(CableStrands, CastAHalfTransparentShadowDownAndRight) {
    cable.setShadow(true);
    cable.draw(canvas.context());
    // Below the strands, only the shadow: black at half strength over white.
    const Color shade = test::colorOf(canvas.pixel(200, static_cast<int>(GetParam().from.y) + 6));
    EXPECT_NEAR(shade.r, 128, 2);
    EXPECT_EQ(shade.r, shade.g);
    EXPECT_EQ(shade.r, shade.b);
}

TEST_P(CableStrands, ShowThePlugCentredOnTheFreeEndOnlyWhenAsked) {
    const Bitmap plug = test::stackedImages(10, 10, 1);  // red
    cable.setPlug(&plug);
    const int x = static_cast<int>(GetParam().to.x);
    const int y = static_cast<int>(GetParam().to.y);
    cable.draw(canvas.context());
    EXPECT_EQ(canvas.pixel(x - 6, y - 6), test::kWhite);

    cable.setPlugVisible(true);
    cable.draw(canvas.context());
    EXPECT_EQ(canvas.pixel(x - 6, y - 6), test::kRed) << "top-left corner";
    EXPECT_EQ(canvas.pixel(x + 3, y - 6), test::kRed) << "top-right corner";
    EXPECT_EQ(canvas.pixel(x - 7, y - 6), test::kWhite);
    EXPECT_EQ(canvas.pixel(x + 4, y - 6), test::kWhite);
}

TEST_P(CableStrands, AreNotDrawnOutOfUse) {
    cable.setInUse(false);
    cable.draw(canvas.context());
    EXPECT_EQ(canvas.pixel(200, static_cast<int>(GetParam().from.y)), test::kWhite);
}

INSTANTIATE_TEST_SUITE_P(Cables, CableStrands,
                         ::testing::Values(StrandCase{"LeftToRight", {50, 150}, {350, 150}},
                                           StrandCase{"RightToLeft", {350, 120}, {50, 120}}),
                         rowName<StrandCase>);

}  // namespace
}  // namespace tarvik::gui

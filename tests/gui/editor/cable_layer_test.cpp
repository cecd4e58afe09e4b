#include "gui/editor/cable_layer.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gui/toolkit/controls/buttons.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using test::rowName;

constexpr int kMissingSocket = 9;

// Sockets in a row along the top of a small panel; one the skin leaves out.
std::optional<PointF> centreOf(int socket) {
    if (socket == kMissingSocket) return std::nullopt;
    return PointF{20.0 + 8.0 * socket, 30.0};
}

class CableLayerTest : public ::testing::Test {
protected:
    CableLayerTest() { frame.setBackgroundColor(test::colorOf(test::kWhite)); }

    void setCables(std::initializer_list<Connection> pairs) {
        int n = 0;
        for (const Connection& c : pairs) list.set(n++, c);
        list.setSize(n);
    }
    void rebuild(std::initializer_list<Connection> pairs) {
        setCables(pairs);
        layer().rebuild(list, centreOf);
    }
    CableLayer& layer() { return *layer_; }
    // Steps until every cable hangs still, then forgets what needs painting.
    void settle() {
        for (int i = 0; i < 5000; ++i) layer().step(16.0, {});
        frame.paintDirty(canvas.context());
    }
    std::vector<int> cablesInUse() {
        std::vector<int> used;
        for (int k = 0; k < CableLayer::kPoolSize; ++k)
            if (layer().cable(k).inUse()) used.push_back(k);
        return used;
    }

    GuiPreferences preferences;
    CableList list{};
    Frame frame{Rect::sized(0, 0, 400, 300)};
    test::RecordingListener listener;
    KickButton& button = frame.add(std::make_unique<KickButton>(Rect::sized(180, 80, 40, 40), &listener, 3));
    CableLayer* layer_ = &frame.add(std::make_unique<CableLayer>(frame.rect(), preferences, CableSkin{}, 5));
    test::Canvas canvas{400, 300};
};

// --- Building from the cable list.

// Cable k of the pool shows entry k of the list, so a removal moves later
// entries to other cables of the pool: each must keep its colour, here and in
// a layer built afresh.
TEST_F(CableLayerTest, ACableKeepsItsColourWhenAnEarlierOneGoesAndInANewLayer) {
    rebuild({{4, 0}, {11, 2}});
    const CableTint before = layer().cable(1).tint();
    rebuild({{11, 2}});
    const auto same = [&](const CableTint& t) { return t.r == before.r && t.g == before.g && t.b == before.b; };
    EXPECT_TRUE(same(layer().cable(0).tint()));
    CableLayer& fresh = frame.add(std::make_unique<CableLayer>(frame.rect(), preferences, CableSkin{}, 77));
    fresh.rebuild(list, centreOf);
    EXPECT_TRUE(same(fresh.cable(0).tint()));
    EXPECT_FALSE(same(PatchCord::tintFor(4))) << "another output, another colour";
}

TEST_F(CableLayerTest, CableKShowsListEntryKBetweenTheSocketCentres) {
    preferences.cableTension = 1.5f;
    preferences.softShadows = 1;
    rebuild({{4, 0}, {11, 2}, {12, 5}});
    EXPECT_EQ(cablesInUse(), (std::vector<int>{0, 1, 2}));
    const Connection expected[] = {{4, 0}, {11, 2}, {12, 5}};
    for (int k = 0; k < 3; ++k) {
        const PatchCord& c = layer().cable(k);
        const Connection pair = expected[k];
        EXPECT_EQ(c.output(), pair.output) << "cable " << k;
        EXPECT_EQ(c.input(), pair.input) << "cable " << k;
        EXPECT_DOUBLE_EQ(c.start().x, centreOf(pair.output)->x) << "cable " << k;
        EXPECT_DOUBLE_EQ(c.end().x, centreOf(pair.input)->x) << "cable " << k;
        EXPECT_FLOAT_EQ(c.tension(), 1.5f);
        EXPECT_TRUE(c.shadow());
        EXPECT_TRUE(c.moving()) << "dropped, to fall into place";
        EXPECT_FALSE(c.plugVisible());
    }
}

TEST_F(CableLayerTest, ARebuildPutsAwayCablesBeyondTheList) {
    rebuild({{4, 0}, {11, 2}, {12, 5}});
    rebuild({{11, 2}});
    EXPECT_EQ(cablesInUse(), std::vector<int>{0});
    EXPECT_EQ(layer().cable(0).output(), 11);
    EXPECT_EQ(layer().cable(1).output(), -1);
}

TEST_F(CableLayerTest, HiddenCablesKeepTheirSockets) {
    preferences.displayCables = 0;
    rebuild({{4, 0}, {11, 2}});
    EXPECT_TRUE(cablesInUse().empty());
    EXPECT_EQ(layer().cable(1).output(), 11);
    EXPECT_EQ(layer().cable(1).input(), 2);
    EXPECT_EQ(layer().findCable(11, 2), &layer().cable(1));
}

TEST_F(CableLayerTest, ACableToASocketOffThePanelIsNotShown) {
    rebuild({{4, kMissingSocket}, {11, 2}});
    EXPECT_EQ(cablesInUse(), std::vector<int>{1});
}

TEST_F(CableLayerTest, TheFreeCableIsTheFirstOutOfUse) {
    rebuild({{4, 0}, {11, 2}});
    EXPECT_EQ(layer().freeCable(), &layer().cable(2));
    for (int k = 0; k < CableLayer::kPoolSize; ++k) layer().cable(k).setInUse(true);
    EXPECT_EQ(layer().freeCable(), nullptr);
}

// --- Motion.

TEST_F(CableLayerTest, WithoutAntialiasingCablesHangStillAtOnce) {
    rebuild({{4, 0}, {11, 2}});
    layer().step(16.0, {});
    for (int k : {0, 1}) {
        EXPECT_FALSE(layer().cable(k).moving()) << "cable " << k;
        EXPECT_EQ(layer().cable(k).control(), layer().cable(k).restPosition()) << "cable " << k;
    }
}

TEST_F(CableLayerTest, WithAntialiasingOrWhileDraggingCablesSwing) {
    for (const bool dragging : {false, true}) {
        preferences.antiAliasing = dragging ? 0 : 1;
        layer().setDragging(dragging);
        rebuild({{4, 0}});
        layer().step(16.0, {});
        EXPECT_TRUE(layer().cable(0).moving()) << (dragging ? "dragging" : "antialiasing");
        EXPECT_NE(layer().cable(0).control(), layer().cable(0).restPosition());
    }
}

struct SpringCase {
    std::string name;
    double milliseconds;
    float spring;
    friend void PrintTo(const SpringCase& c, std::ostream* out) { *out << c.name; }
};

class CableLayerSpring : public CableLayerTest, public ::testing::WithParamInterface<SpringCase> {};

TEST_P(CableLayerSpring, FollowsTheTimeSinceTheLastStep) {
    preferences.antiAliasing = 1;
    rebuild({{4, 0}});
    layer().step(GetParam().milliseconds, {});
    EXPECT_FLOAT_EQ(layer().cable(0).spring(), GetParam().spring);
}

INSTANTIATE_TEST_SUITE_P(Steps, CableLayerSpring,
                         ::testing::Values(SpringCase{"SixtyHertz", 1000.0 / 60.0, 0.007f * 1000.0f / 60.0f},
                                           SpringCase{"TenMilliseconds", 10.0, 0.07f},
                                           SpringCase{"LongPauseIsLimited", 500.0, 0.9f},
                                           SpringCase{"ClockGoingBackIsStill", -5.0, 0.0f}),
                         rowName<SpringCase>);

TEST_F(CableLayerTest, TheMouseShakesCablesOnlyWithAntialiasing) {
    preferences.antiAliasing = 1;
    rebuild({{4, 0}, {11, 2}, {12, 5}, {13, 6}});
    settle();
    preferences.antiAliasing = 0;
    layer().step(16.0, {60, 40});
    for (int k = 0; k < 4; ++k) EXPECT_EQ(layer().cable(k).control(), layer().cable(k).restPosition()) << "cable " << k;

    preferences.antiAliasing = 1;
    layer().step(16.0, {60, 40});
    int pushed = 0;
    for (int k = 0; k < 4; ++k) {
        const CablePoint c = layer().cable(k).control();
        const CablePoint rest = layer().cable(k).restPosition();
        EXPECT_LE(c.x, rest.x) << "pushed against the mouse, cable " << k;
        EXPECT_LE(c.y, rest.y) << "pushed against the mouse, cable " << k;
        if (c != rest) ++pushed;
    }
    EXPECT_GT(pushed, 0);
}

// --- Painting.

TEST_F(CableLayerTest, ACableAtRestAsksForNoRepaint) {
    rebuild({{4, 0}});
    settle();
    layer().step(16.0, {});
    EXPECT_FALSE(frame.hasDirty());
}

TEST_F(CableLayerTest, AMovingCableRepaintsOnlyWhereItWasAndIs) {
    preferences.antiAliasing = 1;
    rebuild({{4, 0}, {30, 27}});
    settle();
    layer().cable(0).drop(layer().random());
    frame.paintDirty(canvas.context());
    const Rect before = layer().cable(0).rect();
    layer().step(16.0, {});
    const Rect after = layer().cable(0).rect();
    const Rect allowed = before.united(after);

    const std::vector<Rect> areas = frame.paintDirty(canvas.context());
    ASSERT_FALSE(areas.empty());
    for (const Rect& area : areas) {
        EXPECT_TRUE(allowed.contains(area));
        EXPECT_FALSE(area.contains(layer().cable(1).rect())) << "the cable at rest is left alone";
    }
}

TEST_F(CableLayerTest, OnlyCablesInUseAreDrawn) {
    rebuild({{4, 0}, {30, 27}});
    layer().step(16.0, {});
    layer().cable(1).setInUse(false);
    test::paintAll(frame, canvas);
    const auto lowest = [&](int k) {
        const PatchCord& c = layer().cable(k);
        const CablePoint p = c.point(c.pointCount() / 2);
        return canvas.pixel(static_cast<int>(p.x), static_cast<int>(p.y));
    };
    EXPECT_NE(lowest(0), test::kWhite);
    EXPECT_EQ(lowest(1), test::kWhite);
}

TEST_F(CableLayerTest, ThePointerReachesWhatLiesBeneathTheCables) {
    rebuild({{30, 0}});
    layer().step(16.0, {});
    const Point under{200, 100};
    ASSERT_TRUE(layer().cable(0).rect().contains(under));
    frame.mouseDown(test::mouseAt(under));
    EXPECT_EQ(frame.capturedView(), &button);
}

}  // namespace
}  // namespace tarvik::gui

#include "gui/editor/panel_effects.h"

#include <gtest/gtest.h>

#include <memory>

#include "gui/toolkit/controls/buttons.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 150;
const Rect kFrameArea = Rect::sized(0, 0, kWidth, kHeight);

// A grey panel with the overlay on top; a second frame without it is the
// reference.
class PanelEffectsTest : public ::testing::Test {
protected:
    PanelEffectsTest() {
        for (Frame* f : {&frame, &plain}) f->setBackgroundColor(test::colorOf(test::kGrey));
        effects = &frame.add(std::make_unique<PanelEffects>(kFrameArea));
    }

    Frame frame{kFrameArea};
    Frame plain{kFrameArea};
    test::Canvas canvas{kWidth, kHeight};
    test::Canvas reference{kWidth, kHeight};
    PanelEffects* effects = nullptr;
};

TEST_F(PanelEffectsTest, OffPaintsNoPixel) {
    test::paintAll(frame, canvas);
    test::paintAll(plain, reference);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (canvas.pixel(x, y) != reference.pixel(x, y)) {
                ADD_FAILURE() << "pixel " << x << "," << y << " changed";
                return;
            }
}

struct ShadeCase {
    const char* name;
    Point where;
    bool darker;
    friend void PrintTo(const ShadeCase& row, std::ostream* out) { *out << row.name; }
};

class PanelEffectsShade : public PanelEffectsTest, public ::testing::WithParamInterface<ShadeCase> {};

TEST_P(PanelEffectsShade, OnDarkensOnlyTheEdges) {
    const ShadeCase& c = GetParam();
    effects->setEnabled(true);
    test::paintAll(frame, canvas);
    test::paintAll(plain, reference);
    const std::uint32_t shaded = canvas.pixel(c.where.x, c.where.y);
    const std::uint32_t panel = reference.pixel(c.where.x, c.where.y);
    if (c.darker) {
        EXPECT_LT(shaded & 0xFFu, panel & 0xFFu);
    } else {
        EXPECT_EQ(shaded, panel);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PanelEffectsShade,
    ::testing::Values(ShadeCase{"TopLeftCorner", {0, 0}, true}, ShadeCase{"LeftEdge", {0, kHeight / 2}, true},
                      ShadeCase{"BottomEdge", {kWidth / 2, kHeight - 1}, true},
                      ShadeCase{"RightEdge", {kWidth - 1, kHeight / 2}, true},
                      ShadeCase{"Centre", {kWidth / 2, kHeight / 2}, false},
                      ShadeCase{"JustInsideTheBand", {PanelEffects::kBand, kHeight / 2}, false}),
    test::rowName<ShadeCase>);

TEST_F(PanelEffectsTest, TheEdgeIsOnlyFaintlyDarker) {
    effects->setEnabled(true);
    test::paintAll(frame, canvas);
    const int grey = static_cast<int>(test::kGrey & 0xFFu);
    const int edge = static_cast<int>(canvas.pixel(0, kHeight / 2) & 0xFFu);
    EXPECT_GE(edge, grey * 3 / 4) << "a vignette, not a border";
}

TEST_F(PanelEffectsTest, ClicksPassThroughToTheControlsBeneath) {
    Bitmap images = test::stackedImages(20, 20, 2);
    test::RecordingListener listener;
    auto button = std::make_unique<KickButton>(Rect::sized(5, 5, 20, 20), &listener, 3, &images);
    // Controls normally lie below the overlay; put one there.
    Frame withButton{kFrameArea};
    KickButton& kick = withButton.add(std::move(button));
    PanelEffects& overlay = withButton.add(std::make_unique<PanelEffects>(kFrameArea));
    overlay.setEnabled(true);
    withButton.mouseDown(test::mouseAt({10, 10}));
    EXPECT_EQ(kick.value(), kick.maximum());
}

TEST_F(PanelEffectsTest, SwitchingRepaintsOnceAndThenStaysQuiet) {
    test::paintAll(frame, canvas);
    effects->setEnabled(true);
    EXPECT_EQ(frame.paintDirty(canvas.context()), std::vector<Rect>{kFrameArea});
    effects->setEnabled(true);
    EXPECT_FALSE(frame.hasDirty());
}

}  // namespace
}  // namespace tarvik::gui

#include "gui/editor/splash_screen.h"

#include <gtest/gtest.h>

#include <memory>

#include "gui/toolkit/controls/buttons.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using namespace std::chrono_literals;
using Clock = SplashScreen::Clock;

const Rect kSplash = Rect::sized(20, 20, 100, 60);
// A corner of the picture, clear of the version text.
const Point kCorner{kSplash.left + 2, kSplash.top + 2};

Bitmap blue(int width, int height) {
    Bitmap b(width, height);
    for (int i = 0; i < width * height; ++i) b.pixels()[i] = test::kBlue;
    return b;
}

// A blue picture over a button whose rest image is red.
class SplashScreenTest : public ::testing::Test {
protected:
    SplashScreenTest() {
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        button = &frame.add(std::make_unique<KickButton>(kSplash, &listener, 9, &buttonImages));
        splash = &frame.add(std::make_unique<SplashScreen>(kSplash, &picture));
    }

    std::uint32_t shownAtCorner() {
        test::paintAll(frame, canvas);
        return canvas.pixel(kCorner.x, kCorner.y);
    }

    Bitmap picture = blue(kSplash.width(), kSplash.height());
    Bitmap buttonImages = test::stackedImages(kSplash.width(), kSplash.height(), 2);
    Frame frame{Rect::sized(0, 0, 160, 120)};
    test::RecordingListener listener;
    test::Canvas canvas{160, 120};
    KickButton* button = nullptr;
    SplashScreen* splash = nullptr;
    const Clock::time_point opened = Clock::time_point{} + 3s;
};

TEST_F(SplashScreenTest, ShowsThePictureAndTheVersionAtFirst) {
    splash->step(opened);
    EXPECT_FALSE(splash->finished());
    EXPECT_EQ(splash->opacity(), 1.0);
    EXPECT_EQ(splash->version(), "Tarvik " + std::string(platform::kVersionText));
    EXPECT_EQ(shownAtCorner(), test::kBlue);
}

struct FadeCase {
    const char* name;
    Clock::duration elapsed;
    double lowest;
    double highest;
    bool finished;
    friend void PrintTo(const FadeCase& row, std::ostream* out) { *out << row.name; }
};

class SplashScreenFade : public SplashScreenTest, public ::testing::WithParamInterface<FadeCase> {};

TEST_P(SplashScreenFade, HoldsThenFadesThenHides) {
    const FadeCase& c = GetParam();
    splash->step(opened);
    splash->step(opened + c.elapsed);
    EXPECT_EQ(splash->finished(), c.finished);
    if (!c.finished) {
        EXPECT_GE(splash->opacity(), c.lowest);
        EXPECT_LE(splash->opacity(), c.highest);
    }
}

constexpr auto kHold = SplashScreen::kHoldTime;
constexpr auto kFade = SplashScreen::kFadeTime;

INSTANTIATE_TEST_SUITE_P(
    Cases, SplashScreenFade,
    ::testing::Values(FadeCase{"Holding", kHold - 1ms, 1.0, 1.0, false},
                      FadeCase{"HalfWayThroughTheFade", kHold + kFade / 2, 0.45, 0.55, false},
                      FadeCase{"NearlyGone", kHold + kFade - 50ms, 0.0, 0.1, false},
                      FadeCase{"Gone", kHold + kFade, 0.0, 0.0, true}, FadeCase{"LongGone", 30s, 0.0, 0.0, true}),
    test::rowName<FadeCase>);

TEST_F(SplashScreenTest, HalfFadedShowsBothThePictureAndWhatLiesBeneath) {
    splash->step(opened);
    splash->step(opened + kHold + kFade / 2);
    const std::uint32_t mixed = shownAtCorner();
    EXPECT_GT(mixed & 0xFFu, 0x40u) << "some of the blue picture";
    EXPECT_GT((mixed >> 16) & 0xFFu, 0x40u) << "some of the red button beneath";
}

TEST_F(SplashScreenTest, GoneAfterItsFadeShowsThePanel) {
    splash->step(opened);
    splash->step(opened + kHold + kFade);
    EXPECT_EQ(shownAtCorner(), test::imageColour(0)) << "the button's rest image";
    EXPECT_FALSE(splash->hitTest(kCorner));
}

TEST_F(SplashScreenTest, AClickDismissesItAndDoesNotReachTheButton) {
    splash->step(opened);
    frame.mouseDown(test::mouseAt(kCorner));
    frame.mouseUp(test::mouseAt(kCorner));
    EXPECT_TRUE(splash->finished());
    EXPECT_TRUE(listener.reports.empty());
    frame.mouseDown(test::mouseAt(kCorner));
    EXPECT_EQ(button->value(), button->maximum()) << "the next click reaches the button";
}

}  // namespace
}  // namespace tarvik::gui

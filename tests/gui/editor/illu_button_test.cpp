#include "gui/editor/illu_button.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

constexpr int kTag = 725;
// Enough for the fade to settle, with room to spare; a fade that never
// stops would use them all.
constexpr int kStepLimit = 40;
const Rect kButton = Rect::sized(20, 20, 30, 20);
const Point kInside{30, 30};

std::uint8_t channel(std::uint32_t argb, int shift) { return static_cast<std::uint8_t>(argb >> shift); }

// Unlit is red, lit is green (the fixture's stacked images 0 and 1).
class IlluButtonTest : public ::testing::Test {
protected:
    IlluButtonTest() {
        frame.setBackgroundColor(test::colorOf(test::kGrey));
        button = &frame.add(std::make_unique<IlluButton>(kButton, &listener, kTag, &images));
        test::paintAll(frame, canvas);
    }

    // Steps until the button stops moving; answers the steps it took, or
    // kStepLimit when it never stopped.
    int settle() {
        for (int n = 1; n <= kStepLimit; ++n)
            if (!button->step()) return n;
        return kStepLimit;
    }
    std::uint32_t shown() {
        frame.paintDirty(canvas.context());
        return canvas.pixel(kInside.x, kInside.y);
    }

    Bitmap images = test::stackedImages(30, 20, 2);
    Frame frame{Rect::sized(0, 0, 80, 60)};
    test::RecordingListener listener;
    test::Canvas canvas{80, 60};
    IlluButton* button = nullptr;
};

TEST_F(IlluButtonTest, FadesFromUnlitToLit) {
    EXPECT_EQ(shown(), test::imageColour(0));
    button->setLit(true);
    button->step();
    const std::uint32_t between = shown();
    EXPECT_GT(channel(between, 16), 0) << "some red left";
    EXPECT_GT(channel(between, 8), 0) << "some green already";
    EXPECT_LT(settle(), kStepLimit);
    EXPECT_EQ(button->fade(), 1.0f);
    EXPECT_EQ(shown(), test::imageColour(1));
}

TEST_F(IlluButtonTest, StopsAskingForRepaintsOnceSettled) {
    button->setLit(true);
    ASSERT_LT(settle(), kStepLimit);
    frame.paintDirty(canvas.context());
    EXPECT_FALSE(button->step());
    EXPECT_FALSE(frame.hasDirty());
}

TEST_F(IlluButtonTest, RepaintsOnlyItselfWhileFading) {
    frame.paintDirty(canvas.context());
    button->setLit(true);
    ASSERT_TRUE(button->step());
    EXPECT_EQ(frame.paintDirty(canvas.context()), std::vector<Rect>{kButton});
}

TEST_F(IlluButtonTest, FadesBackWhenSwitchedOff) {
    button->setLit(true, false);
    EXPECT_EQ(shown(), test::imageColour(1));
    button->setLit(false);
    EXPECT_LT(settle(), kStepLimit);
    EXPECT_EQ(shown(), test::imageColour(0));
}

TEST_F(IlluButtonTest, LitAtOnceWithoutAFade) {
    button->setLit(true, false);
    EXPECT_EQ(button->fade(), 1.0f);
    EXPECT_FALSE(button->step());
    EXPECT_EQ(shown(), test::imageColour(1));
}

TEST_F(IlluButtonTest, APressShiftsTheFaceOnePixel) {
    button->setLit(true, false);
    frame.mouseDown(test::mouseAt(kInside));
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(kButton.left, kButton.top), test::kGrey) << "the top-left corner is uncovered";
    EXPECT_EQ(canvas.pixel(kButton.left + 1, kButton.top + 1), test::imageColour(1));
    frame.mouseUp(test::mouseAt(kInside));
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(kButton.left, kButton.top), test::imageColour(1));
}

}  // namespace
}  // namespace tarvik::gui

#include "gui/editor/anim_sprite.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using namespace std::chrono_literals;
using Clock = AnimSprite::Clock;

constexpr int kFrames = 4;
const Rect kSprite = Rect::sized(10, 10, 12, 8);

struct AdvanceCase {
    const char* name;
    Clock::duration elapsed;
    int frame;
    friend void PrintTo(const AdvanceCase& row, std::ostream* out) { *out << row.name; }
};

// At 8 frames a second each frame shows for 125 ms; four frames loop every
// half second.
class AnimSpriteAdvance : public ::testing::TestWithParam<AdvanceCase> {};

TEST_P(AnimSpriteAdvance, ShowsTheFrameDueByTheClock) {
    const AdvanceCase& c = GetParam();
    Bitmap frames = test::stackedImages(kSprite.width(), kSprite.height(), kFrames);
    Frame frame{Rect::sized(0, 0, 40, 30)};
    AnimSprite& sprite = frame.add(std::make_unique<AnimSprite>(kSprite, &frames, 8.0));
    test::Canvas canvas{40, 30};
    const Clock::time_point start = Clock::time_point{} + 5s;
    sprite.step(start);
    sprite.step(start + c.elapsed);
    EXPECT_EQ(sprite.frameIndex(), c.frame);
    test::paintAll(frame, canvas);
    EXPECT_EQ(canvas.pixel(kSprite.left + 1, kSprite.top + 1), test::imageColour(c.frame));
}

INSTANTIATE_TEST_SUITE_P(Cases, AnimSpriteAdvance,
                         ::testing::Values(AdvanceCase{"AtTheStart", 0ms, 0}, AdvanceCase{"JustBeforeTheSecond", 124ms, 0},
                                           AdvanceCase{"Second", 125ms, 1}, AdvanceCase{"Fourth", 380ms, 3},
                                           AdvanceCase{"LoopsBackToTheFirst", 500ms, 0},
                                           AdvanceCase{"SecondRoundThird", 760ms, 2},
                                           AdvanceCase{"AfterALongPause", 10s + 130ms, 1}),
                         test::rowName<AdvanceCase>);

class AnimSpriteTest : public ::testing::Test {
protected:
    Bitmap frames = test::stackedImages(kSprite.width(), kSprite.height(), kFrames);
    Frame frame{Rect::sized(0, 0, 40, 30)};
    AnimSprite& sprite = frame.add(std::make_unique<AnimSprite>(kSprite, &frames));
    test::Canvas canvas{40, 30};
    const Clock::time_point start = Clock::time_point{} + 5s;
};

TEST_F(AnimSpriteTest, RepaintsOnlyItselfAndOnlyWhenTheFrameChanges) {
    sprite.step(start);
    frame.paintDirty(canvas.context());
    sprite.step(start + 60ms);
    EXPECT_FALSE(frame.hasDirty()) << "same frame";
    sprite.step(start + 130ms);
    EXPECT_EQ(frame.paintDirty(canvas.context()), std::vector<Rect>{kSprite});
}

TEST_F(AnimSpriteTest, NeverTakesThePointer) { EXPECT_FALSE(sprite.hitTest(kSprite.centre())); }

TEST_F(AnimSpriteTest, ASingleFrameNeverRepaints) {
    Bitmap still = test::stackedImages(kSprite.width(), kSprite.height(), 1);
    AnimSprite& one = frame.add(std::make_unique<AnimSprite>(Rect::sized(25, 10, 12, 8), &still));
    frame.paintDirty(canvas.context());
    one.step(start);
    one.step(start + 1s);
    EXPECT_FALSE(frame.hasDirty());
}

}  // namespace
}  // namespace tarvik::gui

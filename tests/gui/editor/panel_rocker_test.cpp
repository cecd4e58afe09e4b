// A held rocker on the panel, driven without a window and on a clock the
// test sets: the controller's idle pass takes the time it runs at.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <ostream>

#include "gui/skin_tags.h"
#include "gui/toolkit/controls/switches.h"
#include "tests/gui/editor/panel_controller_fixture.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"

namespace tarvik::gui {
namespace {

using std::chrono::milliseconds;

struct RepeatCase {
    const char* name;
    friend void PrintTo(const RepeatCase& c, std::ostream* out) { *out << c.name; }
    int idleEveryMs;
};

class RockerRepeat : public test::PanelControllerFixture, public ::testing::WithParamInterface<RepeatCase> {};

// The tempo rocker held up steps the tempo once at the press, again 300 ms
// later and every 50 ms after that, however often the host idles (as long
// as it does at least every 50 ms).
TEST_P(RockerRepeat, StepsEveryFiftyMilliseconds) {
    frame.add(
        std::make_unique<RockerSwitch>(Rect::sized(10, 10, 20, 40), &controller.listener(), tag::TempoRocker, nullptr));
    control().setTempo(100.0);
    const PanelController::Clock::time_point start = PanelController::Clock::now();
    controller.idle(start);
    frame.mouseDown(test::mouseAt({20, 15}));  // the upper half counts up
    long expected = 101;
    for (int ms = 0; ms <= 1300; ms += GetParam().idleEveryMs) {
        controller.idle(start + milliseconds(ms));
        expected = 101 + (ms < 300 ? 0 : (ms - 300) / 50 + 1);
        ASSERT_EQ(std::lround(control().tempo()), expected) << "at " << ms << " ms";
    }
    frame.mouseUp(test::mouseAt({20, 15}));
    controller.idle(start + milliseconds(2000));
    EXPECT_EQ(std::lround(control().tempo()), expected) << "a released rocker stops";
}

INSTANTIATE_TEST_SUITE_P(PanelController, RockerRepeat,
                         ::testing::Values(RepeatCase{"IdleEvery10ms", 10}, RepeatCase{"IdleEvery20ms", 20},
                                           RepeatCase{"IdleEvery30ms", 30}, RepeatCase{"IdleEvery50ms", 50}),
                         test::rowName<RepeatCase>);

}  // namespace
}  // namespace tarvik::gui

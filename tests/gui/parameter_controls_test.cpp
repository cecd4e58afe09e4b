#include "gui/parameter_controls.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvik::gui {
namespace {

// A row is only reachable through a control a skin can name, and only moves
// a parameter the host knows.
TEST(ParameterControls, EveryRowJoinsASkinElementToAHostParameter) {
    const auto tags = skinTags();
    for (const ParameterControl& row : kParameterControls) {
        const bool named = std::any_of(tags.begin(), tags.end(), [&](const SkinTag& t) { return t.tag == row.tag; });
        EXPECT_TRUE(named) << "tag " << row.tag;
        EXPECT_GE(row.parameter, 0) << "tag " << row.tag;
        EXPECT_LT(row.parameter, kNumParameters) << "tag " << row.tag;
    }
}

}  // namespace
}  // namespace tarvik::gui

#include "instrument/controller_map.h"

#include <gtest/gtest.h>

#include "patch/parameters.h"
#include "tests/support/in_process_plugin.h"

namespace tarvik {
namespace {

TEST(ControllerMap, DefaultsDriveTheBassSectionKnobs) {
    const ControllerMap map;
    const std::pair<int, int> defaults[] = {{7, param::MasterVolume},  {70, param::Vco2Mod},
                                            {71, param::MasterTuning}, {74, param::FilterCutoff},
                                            {76, param::FilterResonance}, {77, param::EnvelopeMod},
                                            {78, param::VcfTracking},  {79, param::AccentAmount},
                                            {80, param::Reserved},     {91, param::VcoShaper},
                                            {92, param::VcoBoost}};
    int assigned = 0;
    for (int c = 0; c < ControllerMap::kControllers; ++c) assigned += map.parameterFor(c) >= 0;
    EXPECT_EQ(assigned, static_cast<int>(std::size(defaults)));
    for (auto [controller, parameter] : defaults) {
        EXPECT_EQ(map.parameterFor(controller), parameter);
        EXPECT_EQ(map.controllerFor(parameter), controller);
    }
}

TEST(ControllerMap, AParameterHasAtMostOneController) {
    ControllerMap map;
    map.assign(74, param::VcoBoost);
    EXPECT_EQ(map.parameterFor(74), param::VcoBoost);
    EXPECT_EQ(map.parameterFor(92), ControllerMap::kUnassigned) << "the boost's old controller is freed";
    EXPECT_EQ(map.controllerFor(param::FilterCutoff), ControllerMap::kUnassigned) << "the cutoff lost controller 74";

    map.unassignParameter(param::VcoBoost);
    EXPECT_EQ(map.parameterFor(74), ControllerMap::kUnassigned);
    map.assign(128, param::VcoBoost);
    map.assign(-1, param::VcoBoost);
    EXPECT_EQ(map.controllerFor(param::VcoBoost), ControllerMap::kUnassigned);
}

TEST(ControllerMap, CentreValueIsExactlyHalf) {
    EXPECT_EQ(ControllerMap::controllerValue(64), 0.5f);
    EXPECT_EQ(ControllerMap::controllerValue(127), 1.0f);
    EXPECT_EQ(ControllerMap::controllerValue(0), 0.0f);
    EXPECT_NE(ControllerMap::controllerValue(63), 0.5f);
}

class ControllerInput : public ::testing::Test {
protected:
    void controller(int number, int value) {
        host.sendEvents({{0, {0xB0, static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(value)}}});
        float left[8], right[8];
        float* out[2] = {left, right};
        host.process(nullptr, out, 8);
    }
    float parameter(int index) { return host.plugin().getParameter(index); }

    test::ScopedDataFolder folder;
    test::InProcessPlugin host;
};

TEST_F(ControllerInput, MappedControllerSetsAndAutomatesItsParameter) {
    host.start();
    controller(74, 127);
    EXPECT_EQ(parameter(param::FilterCutoff), 1.0f);
    controller(74, 64);
    EXPECT_EQ(parameter(param::FilterCutoff), 0.5f);
    ASSERT_EQ(host.automation().size(), 2u);
    EXPECT_EQ(host.automation()[1].index, param::FilterCutoff);
    EXPECT_EQ(host.automation()[1].value, 0.5f);

    controller(3, 100);  // unassigned
    EXPECT_EQ(host.automation().size(), 2u);
}

TEST_F(ControllerInput, LearnBindsEveryMovedControllerToTheTarget) {
    host.start();
    Tarvik& plugin = host.plugin();
    plugin.control().setMidiLearn(true);
    plugin.setLearnParameter(param::VcoBoost);
    controller(74, 127);
    controller(20, 0);
    EXPECT_EQ(plugin.control().controllerFor(param::VcoBoost), 20) << "the last controller moved wins";
    EXPECT_EQ(plugin.control().controllerFor(param::FilterCutoff), ControllerMap::kUnassigned);
    EXPECT_EQ(parameter(param::VcoBoost), 0.0f);

    plugin.control().setMidiLearn(false);
    controller(20, 127);
    EXPECT_EQ(parameter(param::VcoBoost), 1.0f);
    const float cutoff = parameter(param::FilterCutoff);
    controller(74, 3);
    controller(92, 3);
    EXPECT_EQ(parameter(param::FilterCutoff), cutoff) << "controller 74 drives nothing now";
    EXPECT_EQ(parameter(param::VcoBoost), 1.0f) << "nor does the boost's old controller 92";
}

TEST_F(ControllerInput, LearnWithoutTargetUsesTheMap) {
    host.start();
    host.plugin().control().setMidiLearn(true);
    controller(7, 0);
    EXPECT_EQ(parameter(param::MasterVolume), 0.0f);
    EXPECT_EQ(host.plugin().control().controllerFor(param::MasterVolume), 7);
}

}  // namespace
}  // namespace tarvik

#include "patch/parameters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "patch/patch.h"
#include "vst/audio_effect.h"

namespace tarvik {
namespace {

TEST(ParameterTable, NamesFitHostBuffersAndOnlyTheTwoOutputVariablesShareOne) {
    std::set<std::string> names;
    for (const ParameterInfo& p : kParameterTable) {
        EXPECT_LT(std::strlen(p.name), kHostParameterTextRoom) << p.name;
        names.insert(p.name);
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kNumParameters - 1));
    EXPECT_STREQ(kParameterTable[param::OutputVariable1].name, "Output Variable");
    EXPECT_STREQ(kParameterTable[param::OutputVariable2].name, "Output Variable");
}

TEST(ParameterTable, TempoDefaultIsTheFloatNearest120Bpm) {
    EXPECT_EQ(kParameterTable[param::Tempo].defaultValue, static_cast<float>(95.0 / 225.0));
    EXPECT_NEAR(parameterToTempo(kParameterTable[param::Tempo].defaultValue), 120.0, 1e-5);
}

TEST(FreshPatch, HoldsTheDefaultsAndSixteenStepPatterns) {
    const TarvikPatch patch;
    EXPECT_STREQ(patch.program.name, "Default");
    EXPECT_STREQ(patch.info.path, "Tarvik Patch");
    for (int i = 0; i < kNumParameters; ++i)
        EXPECT_EQ(patch.parameter(i), kParameterTable[static_cast<std::size_t>(i)].defaultValue) << i;
    for (int i = kNumParameters; i < kParameterRoom; ++i) EXPECT_EQ(patch.parameter(i), 0.0f);
    EXPECT_EQ(patch.parameter(param::MasterVolume), 0.75f);
    EXPECT_EQ(patch.parameter(param::Vco1Level), 1.0f);
    for (int s = 0; s < kStateRoom; ++s) EXPECT_EQ(patch.state(s), s == state::FilterMode ? 3 : 0) << s;
    EXPECT_EQ(patch.cables.count, 0);
    for (const Pattern& p : patch.patterns) {
        EXPECT_EQ(p.length, 16);
        EXPECT_EQ(p.flags | p.timeMode, 0);
        for (const Step& s : p.steps) EXPECT_EQ(s.note | s.flags, 0);
    }
}

}  // namespace
}  // namespace tarvik

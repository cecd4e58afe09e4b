#include "dsp/inverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvik {
namespace {

struct InvertCase {
    const char* name;
    int mode;
    float x;
    float expected;
    friend void PrintTo(const InvertCase& row, std::ostream* out) { *out << row.name; }
};

class InverterCase : public ::testing::TestWithParam<InvertCase> {};

TEST_P(InverterCase, NegatesOrComplements) {
    const InvertCase& c = GetParam();
    Inverter inv;
    inv.mode = c.mode;
    std::vector<float> x{c.x}, out{-99.0f};
    inv.inputs[Inverter::kInput] = x.data();
    inv.outputs[Inverter::kOutput] = out.data();
    inv.process(1);
    EXPECT_EQ(out[0], c.expected);
    EXPECT_EQ(std::signbit(out[0]), std::signbit(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, InverterCase,
                         ::testing::Values(InvertCase{"NegatePositive", 0, 0.5f, -0.5f},
                                           InvertCase{"NegateNegative", 0, -1.0f, 1.0f},
                                           InvertCase{"NegateZeroFlipsTheSign", 0, 0.0f, -0.0f},
                                           InvertCase{"ComplementInside", 1, 0.25f, 0.75f},
                                           InvertCase{"ComplementBelowZero", 1, -0.5f, 1.0f},
                                           InvertCase{"ComplementAboveOne", 1, 1.5f, 0.0f},
                                           InvertCase{"ComplementOne", 1, 1.0f, 0.0f}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(Inverter, UnpatchedInputClearsTheOutput) {
    Inverter inv;
    std::vector<float> out(8, -99.0f);
    inv.outputs[Inverter::kOutput] = out.data();
    inv.process(8);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
}

}  // namespace
}  // namespace tarvik

#include "patch/text_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string_view>

namespace tarvik {
namespace {

struct IntegerCase {
    const char* name;
    std::string_view text;
    int base;
    std::optional<int> value;  // nullopt: no number
    std::size_t length;        // what the number took
    bool beyondInt = false;
};

class ScanInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ScanInteger, ReadsTheLeadingNumber) {
    const IntegerCase& c = GetParam();
    const std::optional<ScannedInteger> scanned = scanInteger(c.text, c.base);
    ASSERT_EQ(scanned.has_value(), c.value.has_value());
    if (!scanned) return;
    EXPECT_EQ(scanned->value, *c.value);
    EXPECT_EQ(scanned->length, c.length);
    EXPECT_EQ(scanned->beyondInt, c.beyondInt);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScanInteger,
    ::testing::Values(IntegerCase{"Plain", "42", 10, 42, 2},
                      IntegerCase{"Negative", "-42", 10, -42, 3},
                      IntegerCase{"PlusSign", "+42", 10, 42, 3},
                      IntegerCase{"SignAlone", "-", 10, std::nullopt, 0},
                      IntegerCase{"TwoSigns", "+-4", 10, std::nullopt, 0},
                      IntegerCase{"LeadingSpace", " 4", 10, std::nullopt, 0},
                      IntegerCase{"StopsAtASpace", "4 5", 10, 4, 1},
                      IntegerCase{"Empty", "", 10, std::nullopt, 0},
                      IntegerCase{"Garbage", "x4", 10, std::nullopt, 0},
                      IntegerCase{"StopsAtGarbage", "12ab", 10, 12, 2},
                      IntegerCase{"LeadingZeros", "-0007", 10, -7, 5},
                      IntegerCase{"LargestInt", "2147483647", 10, INT_MAX, 10},
                      IntegerCase{"SmallestInt", "-2147483648", 10, INT_MIN, 11},
                      IntegerCase{"OnePastTheLargest", "2147483648", 10, INT_MAX, 10, true},
                      IntegerCase{"OnePastTheSmallest", "-2147483649", 10, INT_MIN, 11, true},
                      IntegerCase{"Oversized", "99999999999999999999999", 10, INT_MAX, 23, true},
                      IntegerCase{"OversizedNegative", "-99999999999999999999999", 10, INT_MIN, 24, true},
                      IntegerCase{"HexadecimalAsPercentI", "0x1F", 0, 31, 4},
                      IntegerCase{"OversizedHexadecimal", "0xFFFFFFFFFF", 0, INT_MAX, 12, true},
                      IntegerCase{"NegativeHexadecimal", "-0x10", 0, -16, 5},
                      IntegerCase{"OctalAsPercentI", "017", 0, 15, 3},
                      IntegerCase{"PrefixWithoutDigits", "0xg", 0, 0, 1},
                      IntegerCase{"DecimalIgnoresThePrefix", "0x1F", 10, 0, 1}),
    [](const ::testing::TestParamInfo<IntegerCase>& row) { return row.param.name; });

}  // namespace
}  // namespace tarvik

#include "patch/text_file.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
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

struct DecimalCase {
    const char* name;
    std::string text;
    std::optional<double> value;  // nullopt: no number
    std::size_t length;           // what the number took
    bool beyondRange = false;
};

class ScanDecimal : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(ScanDecimal, ReadsTheLeadingNumber) {
    const DecimalCase& c = GetParam();
    const std::optional<ScannedDecimal> scanned = scanDecimal(c.text);
    ASSERT_EQ(scanned.has_value(), c.value.has_value());
    if (!scanned) return;
    if (std::isnan(*c.value)) {
        EXPECT_TRUE(std::isnan(scanned->value)) << scanned->value;
    } else {
        EXPECT_EQ(scanned->value, *c.value);
        EXPECT_EQ(std::signbit(scanned->value), std::signbit(*c.value)) << "the sign of a zero";
    }
    EXPECT_EQ(scanned->length, c.length);
    EXPECT_EQ(scanned->beyondRange, c.beyondRange);
}

const std::string kFourHundredZeros(400, '0');
constexpr double kInfinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Rows, ScanDecimal,
    ::testing::Values(DecimalCase{"Plain", "0.25", 0.25, 4},
                      DecimalCase{"Negative", "-1.5", -1.5, 4},
                      DecimalCase{"PlusSign", "+0.75", 0.75, 5},
                      DecimalCase{"NoDigitsBeforeThePoint", ".5", 0.5, 2},
                      DecimalCase{"NoDigitsAfterThePoint", "5.", 5.0, 2},
                      DecimalCase{"Exponent", "2.5e3", 2500.0, 5},
                      DecimalCase{"NegativeExponent", "25E-1", 2.5, 5},
                      DecimalCase{"ExponentWithoutDigits", "5e+", 5.0, 1},
                      DecimalCase{"LargestDouble", "1.7976931348623157e308", DBL_MAX, 22},
                      DecimalCase{"Subnormal", "1e-310", 1e-310, 6},
                      DecimalCase{"Overflow", "1e400", DBL_MAX, 5, true},
                      DecimalCase{"NegativeOverflow", "-1e400", -DBL_MAX, 6, true},
                      DecimalCase{"OverflowByDigits", "1" + kFourHundredZeros + "e-50", DBL_MAX, 405, true},
                      DecimalCase{"Underflow", "1e-400", 0.0, 6},
                      DecimalCase{"NegativeUnderflow", "-1e-400", -0.0, 7},
                      DecimalCase{"UnderflowByDigits", "0." + kFourHundredZeros + "1e50", 0.0, 406},
                      DecimalCase{"Infinity", "inf", kInfinity, 3},
                      DecimalCase{"NegativeInfinityInFull", "-Infinity", -kInfinity, 9},
                      DecimalCase{"NotANumber", "nan", std::numeric_limits<double>::quiet_NaN(), 3},
                      DecimalCase{"Empty", "", std::nullopt, 0},
                      DecimalCase{"SignAlone", "+", std::nullopt, 0},
                      DecimalCase{"PointAlone", ".", std::nullopt, 0},
                      DecimalCase{"PlusMinus", "+-1", std::nullopt, 0},
                      DecimalCase{"TwoMinus", "--1", std::nullopt, 0},
                      DecimalCase{"Garbage", "x1", std::nullopt, 0},
                      DecimalCase{"StopsAtGarbage", "0.75dB", 0.75, 4},
                      DecimalCase{"StopsAtADecimalComma", "1,5", 1.0, 1},
                      DecimalCase{"HexadecimalIsNotRead", "0x10", 0.0, 1},
                      DecimalCase{"LeadingSpace", " 1", std::nullopt, 0},
                      DecimalCase{"StopsAtASpace", "1.5 2", 1.5, 3}),
    [](const ::testing::TestParamInfo<DecimalCase>& row) { return row.param.name; });

}  // namespace
}  // namespace tarvik

#include "util/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vantrel {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberAndStopsAtTheFirstOtherCharacter) {
  EXPECT_DOUBLE_EQ(NumericValue("2700000 kHz"), 2700000.0);
  EXPECT_DOUBLE_EQ(NumericValue("   -12.5dBm"), -12.5);
  EXPECT_DOUBLE_EQ(NumericValue("1.5E+06"), 1.5e6);
  EXPECT_DOUBLE_EQ(NumericValue("+3"), 3.0);
  EXPECT_DOUBLE_EQ(NumericValue(".5"), 0.5);
  EXPECT_DOUBLE_EQ(NumericValue("5."), 5.0);
  EXPECT_DOUBLE_EQ(NumericValue("12e"), 12.0);  // a bare exponent letter ends the number
  EXPECT_DOUBLE_EQ(NumericValue("12e+x"), 12.0);
  EXPECT_DOUBLE_EQ(NumericValue("1,5"), 1.0);   // the comma is never a decimal point
  EXPECT_DOUBLE_EQ(NumericValue("M1:2"), 0.0);
}

TEST(NumericValue, TextWithoutANumberReadsAsZero) {
  EXPECT_EQ(NumericValue(""), 0.0);
  EXPECT_EQ(NumericValue("abc"), 0.0);
  EXPECT_EQ(NumericValue("-"), 0.0);
  EXPECT_EQ(NumericValue("."), 0.0);
  EXPECT_EQ(NumericValue("None"), 0.0);
}

TEST(NumericValue, HugeAndTinyMagnitudesDoNotFail) {
  EXPECT_EQ(NumericValue("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(NumericValue("1e-999"), 0.0);
  EXPECT_TRUE(std::signbit(NumericValue("-0")));
}

// Too large or too small is decided by the number's magnitude, not by the sign of its
// exponent: 2e308 written out in full with "e-0" is too large, 1e-326 written with a
// positive exponent too small.
TEST(NumericValue, OutOfRangeFollowsTheMagnitudeNotTheExponentSign) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const std::string huge = "2" + std::string(308, '0') + "e-0";
  const std::string tiny = "." + std::string(330, '0') + "1e5";
  EXPECT_TRUE(IsNumeric(huge));
  EXPECT_TRUE(IsNumeric(tiny));
  EXPECT_EQ(NumericValue(huge), kInf);
  EXPECT_EQ(NumericValue("-" + huge), -kInf);
  EXPECT_EQ(NumericValue(tiny), 0.0);
  EXPECT_EQ(NumericValue("-" + tiny), 0.0);
  EXPECT_TRUE(std::signbit(NumericValue("-" + tiny)));
  EXPECT_EQ(NumericValue("0.0000000000000000000001e-99999999999999999999999"), 0.0);
  EXPECT_EQ(NumericValue("100000000000e99999999999999999999999"), kInf);
  EXPECT_EQ(NumericValue("0." + std::string(400, '0') + "1e500"), 1e99);
  EXPECT_EQ(NumericValue("1" + std::string(400, '0') + "e-500"), 1e-100);
  EXPECT_EQ(NumericValue("000" + std::string(400, '0') + "e99999"), 0.0);
}

TEST(IsNumeric, AcceptsOnlyAWholeNumberBetweenBlanks) {
  EXPECT_TRUE(IsNumeric("5"));
  EXPECT_TRUE(IsNumeric("  -20.5  "));
  EXPECT_TRUE(IsNumeric("1E+3"));
  EXPECT_FALSE(IsNumeric(""));
  EXPECT_FALSE(IsNumeric("   "));
  EXPECT_FALSE(IsNumeric("100 kHz"));
  EXPECT_FALSE(IsNumeric("1.2.3"));
  EXPECT_FALSE(IsNumeric("None"));
  EXPECT_FALSE(IsNumeric("5\r"));
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(127.875), 128);
  EXPECT_EQ(RoundHalfEven(2.4999999), 2);
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
}

TEST(RoundHalfEven, SaturatesAtTheTargetRange) {
  EXPECT_EQ(RoundToInt16(40000.0), 32767);
  EXPECT_EQ(RoundToInt16(-1e300), -32768);
  EXPECT_EQ(RoundToInt32(std::numeric_limits<double>::infinity()), 2147483647);
  EXPECT_EQ(RoundToInt32(-0.5), 0);
}

}  // namespace
}  // namespace vantrel

#include "display/graph_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace vantrel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(SpanParsing, UnitLettersAndFallBacks) {
  EXPECT_DOUBLE_EQ(SpanToMHz("100MHz"), 100);
  EXPECT_DOUBLE_EQ(SpanToMHz("500KHz"), 0.5);
  EXPECT_DOUBLE_EQ(SpanToMHz("2.7GHz"), 2700);
  EXPECT_DOUBLE_EQ(SpanToMHz("20mHz"), 20);  // letter upper-cased
  EXPECT_EQ(SpanToMHz("20mhz"), 0);          // only a capital "H" counts
  EXPECT_EQ(SpanToMHz("100M"), 0);           // no "H"
  EXPECT_EQ(SpanToMHz("0Hz"), 0);
  EXPECT_EQ(SpanToMHz("100XHz"), 0);  // unknown letter
  EXPECT_EQ(SpanToMHz("Hz"), 0);      // nothing before the "H"
  EXPECT_EQ(SpanToMHz(""), 0);
}

TEST(LimiterX, MapsSpanAroundCentreAndReportsUnusableSpans) {
  EXPECT_FLOAT_EQ(*LimiterX(950, 1000, "100MHz"), 0);
  EXPECT_FLOAT_EQ(*LimiterX(1050, 1000, "100MHz"), 500);
  EXPECT_FLOAT_EQ(*LimiterX(1000, 1000, "100MHz"), 250);
  EXPECT_FLOAT_EQ(*LimiterX(1000.25, 1000, "500KHz"), 500);
  EXPECT_FLOAT_EQ(*LimiterX(123, 1000, "100M"), 0);  // no "H": x 0
  EXPECT_FLOAT_EQ(*LimiterX(123, 1000, "0Hz"), 0);   // "0" before "H": x 0
  EXPECT_FALSE(LimiterX(123, 1000, "100XHz").has_value());
  EXPECT_FALSE(LimiterX(123, 1000, "0MHz").has_value());
  EXPECT_FALSE(LimiterX(kNaN, 1000, "100MHz").has_value());
}

TEST(LevelMappings, LimiterYLevelToYAndRaw) {
  EXPECT_DOUBLE_EQ(LimiterY(-20, -20, 10), 1023);
  EXPECT_DOUBLE_EQ(LimiterY(-100, -20, 10), 0);
  EXPECT_DOUBLE_EQ(LimiterY(-110, -20, 10), -127.875);  // not clipped
  EXPECT_EQ(LimiterY(-50, -20, 0), 0);
  EXPECT_EQ(LimiterY(-50, -20, -5), 0);

  EXPECT_DOUBLE_EQ(LevelToY(-60, -20, 10), 511.5);
  EXPECT_DOUBLE_EQ(LevelToY(0, -20, 10), 1023);  // above the top: held at 1023
  EXPECT_EQ(LevelToY(-200, -20, 10), 0);         // below the bottom: 0
  EXPECT_EQ(LevelToY(-50, -20, 0), 0);
  EXPECT_EQ(LevelToY(kNaN, -20, 10), 0);

  EXPECT_DOUBLE_EQ(LevelToYRaw(-20, 10, -60), 511.5);
  EXPECT_DOUBLE_EQ(LevelToYRaw(-20, 10, 0), 1023 + 255.75);  // not clamped
  EXPECT_EQ(LevelToYRaw(-20, 0, -60), 0);
}

TEST(FrequencyMappings, LinearLogAndEmptyRanges) {
  EXPECT_DOUBLE_EQ(FreqToX(1500, 1000, 2000), 250);
  EXPECT_EQ(FreqToX(1500, 1000, 1000), 0);  // stop equal to start
  EXPECT_EQ(FreqToX(kInf, 1000, 2000), 0);
  EXPECT_DOUBLE_EQ(FreqToXLin(0, 100, 25), 125);
  EXPECT_DOUBLE_EQ(XToFreqLin(0, 100, 125), 25);
  EXPECT_NEAR(FreqToXLog(0.15, 30, std::sqrt(0.15 * 30)), 250, 1e-9);
  EXPECT_NEAR(XToFreqLog(0.15, 30, 500), 30, 1e-9);
  EXPECT_EQ(FreqToXLog(0, 30, 1), 0);  // log of a zero start
  EXPECT_EQ(FreqToXLog(10, 10, 10), 0);
  EXPECT_DOUBLE_EQ(XToFreqLog(0, 30, 100), 0);
  EXPECT_DOUBLE_EQ(LineY(0, 0, 10, 100, 5), 50);
  EXPECT_DOUBLE_EQ(LineY(3, 7, 3, 9, 3), 7);  // vertical: no division by zero
}

TEST(PointLevels, CountToLevelWithClampAndNoValue) {
  std::vector<std::int16_t> points(501, 1023);
  points[1] = 1100;
  points[2] = 0;
  points[3] = -1;
  points[4] = 1023 - 128;
  EXPECT_DOUBLE_EQ(PointHeightTodBm(-20, 0, points), -20);
  EXPECT_DOUBLE_EQ(PointHeightTodBm(-20, 1, points), -20);  // above the top: reference
  EXPECT_NEAR(PointHeightTodBm(-20, 2, points), -100, 1e-9);
  EXPECT_EQ(PointHeightTodBm(-20, 3, points), kNoLevel);
  EXPECT_NEAR(PointHeightTodBm(-20, 4, points), -20 - 128 * 80.0 / 1023, 1e-9);
  EXPECT_EQ(PointHeightTodBm(-20, -1, points), kNoLevel);
  EXPECT_EQ(PointHeightTodBm(-20, 501, points), kNoLevel);
  std::vector<std::int16_t> shortTrace(10, 1023);
  EXPECT_EQ(PointHeightTodBm(-20, 50, shortTrace), kNoLevel);
}

TEST(FrequencyLabels, UnitBySizeAndCheckOfTheRange) {
  EXPECT_EQ(FrequencyLabel(0.5), "500KHz");
  EXPECT_EQ(FrequencyLabel(0), "0KHz");
  EXPECT_EQ(FrequencyLabel(150), "150MHz");
  EXPECT_EQ(FrequencyLabel(999.5), "999.5MHz");
  EXPECT_EQ(FrequencyLabel(1), "1MHz");
  EXPECT_EQ(FrequencyLabel(2700), "2.7GHz");
  EXPECT_EQ(FrequencyLabel(1000), "1GHz");

  EXPECT_TRUE(CheckFreqCorrect(950, 1000, 1050, "100MHz"));
  EXPECT_FALSE(CheckFreqCorrect(950, 1000, 1050.001, "100MHz"));
  EXPECT_TRUE(CheckFreqCorrect(0, 1350, 2700, "2.7GHz"));
  EXPECT_FALSE(CheckFreqCorrect(950, 1000, 1050, "100M"));  // span 0
  EXPECT_FALSE(CheckFreqCorrect(kNaN, kNaN, kNaN, "100MHz"));
}

TEST(FrequencyLabels, ReferenceLevelInDbm) {
  EXPECT_DOUBLE_EQ(RefLevelInDbm(70, "dBuV"), -37);
  EXPECT_DOUBLE_EQ(RefLevelInDbm(20, "DBMV"), -27);
  EXPECT_DOUBLE_EQ(RefLevelInDbm(-20, "dBm"), -20);
  EXPECT_DOUBLE_EQ(RefLevelInDbm(-20, ""), -20);
}

}  // namespace
}  // namespace vantrel

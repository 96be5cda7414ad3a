#include "util/format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "util/numbers.h"

namespace vantrel {
namespace {

TEST(FormatShortest, WritesCommandNumbersWithoutNoise) {
  EXPECT_EQ(FormatShortest(-20.0), "-20");
  EXPECT_EQ(FormatShortest(2.5), "2.5");
  EXPECT_EQ(FormatShortest(1500.0), "1500");
  EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.3");
  EXPECT_EQ(FormatShortest(0.0), "0");
  EXPECT_EQ(FormatShortest(2700.0 / 1000.0), "2.7");
  EXPECT_EQ(FormatShortest(123456789012345.0), "123456789012345");
}

TEST(FormatShortest, UsesAnExponentOnlyForVeryLargeOrSmallValues) {
  EXPECT_EQ(FormatShortest(1e20), "1E+20");
  EXPECT_EQ(FormatShortest(1.5e-5), "1.5E-05");
  EXPECT_EQ(FormatShortest(0.0001), "0.0001");
  EXPECT_EQ(FormatShortest(-2.5e-7), "-2.5E-07");
}

TEST(FormatShortest, SinglePrecisionKeepsSevenDigits) {
  EXPECT_EQ(FormatShortest(0.1f), "0.1");
  EXPECT_EQ(FormatShortest(-47.3f), "-47.3");
  EXPECT_EQ(FormatShortest(3.14159274f), "3.141593");
}

TEST(FormatShortest, NonFiniteValuesAreNamed) {
  EXPECT_EQ(FormatShortest(std::nan("")), "NaN");
  EXPECT_EQ(FormatShortest(-INFINITY), "-Inf");
}

TEST(FormatPattern, LevelsAndMarkerFrequencies) {
  EXPECT_EQ(FormatPattern(-20.0, "#0.0"), "-20.0");
  EXPECT_EQ(FormatPattern(-47.25, "#0.0"), "-47.3");  // half away from zero
  EXPECT_EQ(FormatPattern(0.04, "#0.0"), "0.0");
  EXPECT_EQ(FormatPattern(-0.04, "#0.0"), "0.0");     // no "-0.0"
  EXPECT_EQ(FormatPattern(1500.0, "#0.000##"), "1500.000");
  EXPECT_EQ(FormatPattern(1500.123456, "#0.000##"), "1500.12346");
  EXPECT_EQ(FormatPattern(0.1234, "#0.000##"), "0.1234");
  EXPECT_EQ(FormatPattern(0.125, "#0.00"), "0.13");
  EXPECT_EQ(FormatPattern(9.99, "#0.0"), "10.0");
}

TEST(FormatPattern, GroupsThousandsAndDropsOptionalDigits) {
  EXPECT_EQ(FormatPattern(1234567.89, "###,###.0"), "1,234,567.9");
  EXPECT_EQ(FormatPattern(999.96, "###,###.0"), "1,000.0");
  EXPECT_EQ(FormatPattern(12.5, "###,###.0"), "12.5");
  EXPECT_EQ(FormatPattern(0.5, "###,###.0"), ".5");
  EXPECT_EQ(FormatPattern(300.0, "#0.0##"), "300.0");
  EXPECT_EQ(FormatPattern(0.3125, "#0.0##"), "0.313");
}

// The program runs under whatever locale the user has; none of the conversions may
// take the decimal comma from it.
TEST(Conversions, IgnoreAGermanLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
#ifdef _WIN32
  const char* german = "German_Germany.1252";
#else
  const char* german = "de_DE.UTF-8";
#endif
  if (!std::setlocale(LC_ALL, german)) {
    GTEST_FAIL() << "the " << german << " locale is not installed (package locales-all)";
  }
  EXPECT_EQ(FormatShortest(2.5), "2.5");
  EXPECT_EQ(FormatPattern(-47.25, "#0.0"), "-47.3");
  EXPECT_EQ(FormatPattern(1234.5, "###,###.0"), "1,234.5");
  EXPECT_DOUBLE_EQ(NumericValue("2.5"), 2.5);
  EXPECT_DOUBLE_EQ(NumericValue("2,5"), 2.0);
  EXPECT_TRUE(IsNumeric("1.25"));
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace vantrel

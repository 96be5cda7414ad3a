// The results table: limits read off the lines on the graph's axis, margins, verdicts at
// their boundaries, the re-measure plan, the CSV; correction tables at, between and
// beyond their points.
#include "emi/emi_results.h"

#include <gtest/gtest.h>

#include <cmath>

#include "emi/correction_table.h"

namespace vantrel {
namespace {

// The conducted lines of a class B standard: QP (upper) and AV (lower).
LimitStandard ClassB() {
  LimitStandard s;
  s.emiMode = "Conducted";
  s.upperLimit = {{0.15, 66, 0.5, 56}, {0.5, 56, 5, 56}, {5, 60, 30, 60}};
  s.lowerLimit = {{0.15, 56, 0.5, 46}, {0.5, 46, 5, 46}, {5, 50, 30, 50}};
  s.upperPresent = s.lowerPresent = true;
  return s;
}

TEST(LimitAt, ReadsTheLineOnTheGraphsAxisAndTakesTheStricterValueAtASteps) {
  const LimitStandard s = ClassB();
  const double logMid = std::sqrt(0.15 * 0.5);  // halfway on a log axis
  const struct {
    double mhz;
    FrequencyAxis axis;
    std::optional<double> upper;
  } cases[] = {
      {0.15, FrequencyAxis::Logarithmic, 66},
      {logMid, FrequencyAxis::Logarithmic, 61},
      {0.325, FrequencyAxis::Linear, 61},
      {5, FrequencyAxis::Logarithmic, 56},  // step 56 -> 60: the stricter
      {30, FrequencyAxis::Logarithmic, 60},
      {0.1, FrequencyAxis::Logarithmic, std::nullopt},
      {31, FrequencyAxis::Linear, std::nullopt},
      {NAN, FrequencyAxis::Linear, std::nullopt},
  };
  for (const auto& c : cases) {
    const auto got = LimitAt(s.upperLimit, c.mhz, c.axis);
    ASSERT_EQ(got.has_value(), c.upper.has_value()) << c.mhz;
    if (got) {
      EXPECT_NEAR(*got, *c.upper, 1e-9) << c.mhz;
    }
  }
  EXPECT_FALSE(LimitAt({LimitSegment{}}, 1, FrequencyAxis::Linear));  // the no-line placeholder
}

TEST(EmiResults, MarginsVerdictsAndThePlanAtTheirBoundaries) {
  const LimitStandard s = ClassB();
  // At 1 MHz: upper 56, lower 46. Levels giving a lower margin of exactly 3, 0 and -0.5.
  const std::vector<EmiPoint> peaks{{1, 43, 0}, {2, 46, 0}, {3, 46.5, 0}, {10, 20, 0}};
  const EmiResultsTable t = ComputeResults(peaks, s, FrequencyAxis::Logarithmic, 3, 3);
  ASSERT_EQ(t.emissions.size(), 3u);  // the three highest, highest first
  EXPECT_EQ(t.emissions[0].level, 46.5);
  const Verdict expected[] = {Verdict::Fail, Verdict::Marginal, Verdict::Pass};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(t.emissions[i].verdict, expected[i]) << i;
  EXPECT_EQ(*t.emissions[2].lowerMargin, 3);
  EXPECT_EQ(t.overall, Verdict::Fail);
  EXPECT_EQ(RemeasurePlan(t), (std::vector<std::size_t>{0, 1}));

  EmissionResult e = t.emissions[0];
  ApplyFinalMeasurement(e, 50, 40, 3);  // QP against the upper line, AV against the lower
  EXPECT_TRUE(e.final);
  EXPECT_EQ(e.verdict, Verdict::Pass);

  LimitStandard upperOnly = s;
  upperOnly.lowerPresent = false;
  const EmiResultsTable u = ComputeResults(peaks, upperOnly, FrequencyAxis::Linear);
  EXPECT_FALSE(u.emissions[0].lowerLimit);
  EXPECT_EQ(u.overall, Verdict::Pass);
  EXPECT_EQ(ComputeResults({}, s, FrequencyAxis::Linear).overall, Verdict::NoLimit);

  const std::string csv = ResultsCsv(t);
  EXPECT_TRUE(csv.ends_with("\r\nOverall,,,,,,,,,Fail\r\n")) << csv;
  EXPECT_NE(csv.find("\r\n3,46.5,56,9.5,46,-0.5,,,no,Fail\r\n"), std::string::npos) << csv;
}

TEST(CorrectionTable, InterpolatesInLogFrequencyHoldsFlatAndSubtractsThePreamp) {
  const CorrectionTable antenna =
      ParseCorrectionTable("# factor\r\ntype=antenna\r\n10,20\r\n1000,40\r\n", "ant.csv");
  EXPECT_TRUE(antenna.problems.empty());
  const struct {
    double mhz, db;
  } cases[] = {{10, 20}, {100, 30}, {1000, 40}, {1, 20}, {5000, 40}, {0, 20}};
  for (const auto& c : cases) EXPECT_NEAR(CorrectionAt(antenna, c.mhz), c.db, 1e-9) << c.mhz;

  const CorrectionTable preamp = ParseCorrectionTable("type=preamp\n1,25\n", "pre.csv");
  EXPECT_NEAR(TotalCorrection({antenna, preamp}, 100), 30 - 25, 1e-9);
  EXPECT_EQ(TotalCorrection({}, 100), 0);
}

TEST(CorrectionTable, BadFilesSayWhyAndAreNotUsedWhenAmbiguous) {
  const struct {
    const char* text;
    bool usable;
    const char* says;
  } cases[] = {
      {"type=cable\n100,2\n10,1\n", true, "sorted"},
      {"type=cable\n10,1\n10,2\n", false, "two points at 10 MHz"},
      {"type=cable\n# nothing\n", false, "no points"},
      {"type=cable\n10;1\n20,x\n30,3\n", true, "line 2"},
      {"type=mixer\n10,1\n", true, "antenna, cable, lisn or preamp"},
      {"10,1\n", true, "no type line"},
  };
  for (const auto& c : cases) {
    const CorrectionTable t = ParseCorrectionTable(c.text, "t.csv");
    EXPECT_EQ(t.Usable(), c.usable) << c.text;
    std::string all;
    for (const StandardProblem& p : t.problems) all += "line " + std::to_string(p.line) + ": " + p.text + "\n";
    EXPECT_NE(all.find(c.says), std::string::npos) << c.text << " -> " << all;
  }
}

}  // namespace
}  // namespace vantrel

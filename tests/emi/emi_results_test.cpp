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
  const EmiResultsTable t = ComputeResults(peaks, {}, s, FrequencyAxis::Logarithmic, 3, 3);
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
  const EmiResultsTable u = ComputeResults(peaks, {}, upperOnly, FrequencyAxis::Linear);
  EXPECT_FALSE(u.emissions[0].lowerLimit);
  EXPECT_EQ(u.overall, Verdict::Pass);
  EXPECT_EQ(ComputeResults({}, {}, s, FrequencyAxis::Linear).overall, Verdict::NoLimit);

  const std::string csv = ResultsCsv(t);
  EXPECT_TRUE(csv.ends_with("\r\nOverall,,,,,,,,,Fail,\r\n")) << csv;
  EXPECT_NE(csv.find("\r\n3,46.5,56,9.5,46,-0.5,,,no,Fail,\r\n"), std::string::npos) << csv;
}

// A scan of the three class B bands, 501 points each as the analyzer delivers them, with
// the level `level(f)` everywhere.
template <class F>
std::vector<EmiPoint> ThreeBands(F level) {
  std::vector<EmiPoint> points;
  const double bands[][2] = {{0.15, 0.5}, {0.5, 5}, {5, 30}};
  for (const auto& b : bands) {
    for (int k = 0; k <= 500; ++k) {
      const double f = b[0] + k * (b[1] - b[0]) / 500;
      points.push_back({f, level(f), 0});
    }
  }
  return points;
}

TEST(EmiResults, EveryMeasuredPointIsJudgedNotOnlyThePeaks) {
  const LimitStandard s = ClassB();  // lower line 46 dBuV from 0.5 to 5 MHz, 50 above
  const struct {
    const char* scan;
    double flat;  // dBuV everywhere
    Verdict overall;
  } flats[] = {
      {"far below", 20, Verdict::Pass},
      {"within the guard band", 44, Verdict::Marginal},  // 2 dB under 46
      {"exactly at the guard band", 43, Verdict::Pass},
      {"just above the lower line", 46.1, Verdict::Fail},
      {"above both lines", 70, Verdict::Fail},
  };
  for (const auto& c : flats) {
    // No peak in a flat scan: the verdict comes from the points alone.
    const EmiResultsTable t = ComputeResults({}, ThreeBands([&](double) { return c.flat; }), s,
                                             FrequencyAxis::Logarithmic, 3, 10, 0.009);
    EXPECT_EQ(VerdictText(t.overall), VerdictText(c.overall)) << c.scan;
  }

  // A floor that straddles the lower line: above it from 0.5 MHz, by 4.1 dB at its worst,
  // falling to within the guard band at 5 MHz, and no 5 dB dip, so no peak. It is an
  // emission of its own.
  const auto straddling = ThreeBands([](double f) { return f >= 0.5 && f <= 5 ? 50.1 - (f - 0.5) : 30; });
  const EmiResultsTable t = ComputeResults({}, straddling, s, FrequencyAxis::Logarithmic, 3, 10, 0.009);
  ASSERT_EQ(t.emissions.size(), 1u);
  const EmissionResult& e = t.emissions.front();
  EXPECT_EQ(e.verdict, Verdict::Fail);
  EXPECT_DOUBLE_EQ(e.frequency, 0.5);
  EXPECT_NEAR(*e.lowerMargin, -4.1, 1e-9);
  EXPECT_EQ(EmissionNote(e), "broadband 0.5\u20135.0 MHz, 4.1 dB over");

  // A listed peak inside a failing stretch stands for it and carries its extent; a narrow
  // exceedance beyond the listed peaks is listed plainly.
  const auto hump = ThreeBands([](double f) {
    if (std::fabs(f - 10) < 0.175) return 58.0;  // 0.3 MHz wide, 8 dB over the 50 dBuV line
    return f > 1.4 - 1e-9 && f < 3.2 + 1e-9 ? 60 - std::fabs(f - 2.3) : 20;
  });
  // With an RBW of 120 kHz the 0.3 MHz stretch is narrow, the 1.8 MHz one broadband.
  const EmiResultsTable h = ComputeResults({{2.3, 60, 0}}, hump, s, FrequencyAxis::Logarithmic, 3, 1, 0.12);
  ASSERT_EQ(h.emissions.size(), 2u);
  EXPECT_DOUBLE_EQ(h.emissions[0].frequency, 2.3);
  EXPECT_EQ(EmissionNote(h.emissions[0]), "broadband 1.4\u20133.2 MHz, 14.0 dB over");
  EXPECT_NEAR(h.emissions[1].frequency, 10, 0.2);
  EXPECT_EQ(h.emissions[1].verdict, Verdict::Fail);
  EXPECT_EQ(EmissionNote(h.emissions[1]), "");
  const EmiResultsTable unlisted = ComputeResults({}, hump, s, FrequencyAxis::Logarithmic, 3, 1, 0.009);
  ASSERT_EQ(unlisted.emissions.size(), 2u);
  EXPECT_EQ(EmissionNote(unlisted.emissions[1]), "broadband 9.85\u201310.15 MHz, 8.0 dB over");

  // "No limit" only where no point lies under a line.
  LimitStandard none = s;
  none.upperPresent = none.lowerPresent = false;
  EXPECT_EQ(ComputeResults({}, hump, none, FrequencyAxis::Logarithmic).overall, Verdict::NoLimit);
  const std::vector<EmiPoint> beyond{{31, 90, 0}, {40, 90, 0}};
  EXPECT_EQ(ComputeResults({}, beyond, s, FrequencyAxis::Linear).overall, Verdict::NoLimit);

  // The final measurements judge the listed emissions; the floor stays a pass at worst.
  EmiResultsTable f = ComputeResults({}, ThreeBands([](double) { return 44.0; }), s,
                                     FrequencyAxis::Logarithmic, 3);
  ASSERT_FALSE(f.emissions.empty());
  for (EmissionResult& m : f.emissions) ApplyFinalMeasurement(m, 30, 30, 3);
  EXPECT_EQ(Overall(f), Verdict::Pass);
  EXPECT_NE(ResultsCsv(h).find(",Fail,\"broadband 1.4\u20133.2 MHz, 14.0 dB over\"\r\n"), std::string::npos);
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

#pragma once
// The EMI results table: the strongest emissions of the last scan against the standard's
// limit lines, with the margin to each line and a verdict. The comparison uses the same
// axis as the graph, so the table and the picture agree.
#include <optional>
#include <string>
#include <vector>

#include "emi/emi_point.h"
#include "emi/limit_at.h"
#include "emi/limit_standard.h"

namespace vantrel {

inline constexpr double kDefaultGuardBandDb = 3;
inline constexpr int kDefaultEmissionCount = 10;

enum class Verdict { Pass, Marginal, Fail, NoLimit };

struct EmissionResult {
  double frequency = 0;  // MHz
  double level = 0;      // dBuV
  std::optional<double> upperLimit, lowerLimit;
  std::optional<double> upperMargin, lowerMargin;  // limit - level
  Verdict verdict = Verdict::NoLimit;
  // Levels and verdict of a final measurement with the quasi-peak and average detectors.
  std::optional<double> quasiPeak, average;
  bool final = false;
};

struct EmiResultsTable {
  std::vector<EmissionResult> emissions;  // highest level first
  Verdict overall = Verdict::NoLimit;
  double guardBandDb = kDefaultGuardBandDb;
};

// "Pass", "Marginal", "Fail" or "No limit".
std::string VerdictText(Verdict v);

// A margin's verdict: below 0 fails, below the guard band is marginal.
Verdict JudgeMargin(double margin, double guardBandDb);

// The axis the graph draws the standard on: logarithmic for a conducted wide-range scan.
FrequencyAxis AxisFor(const LimitStandard& standard, bool wideRangeScan);

// Judges up to `count` emissions (the peak search's, highest first).
EmiResultsTable ComputeResults(const std::vector<EmiPoint>& peaks, const LimitStandard& standard,
                               FrequencyAxis axis, double guardBandDb = kDefaultGuardBandDb,
                               int count = kDefaultEmissionCount);

// Judges again with the final quasi-peak level against the upper line and the average
// level against the lower line (the prescan level where one is missing).
void ApplyFinalMeasurement(EmissionResult& emission, std::optional<double> quasiPeak,
                           std::optional<double> average, double guardBandDb);
Verdict Overall(const std::vector<EmissionResult>& emissions);

// The emissions that need a final measurement: a margin to any line below the guard band.
std::vector<std::size_t> RemeasurePlan(const EmiResultsTable& table);

// The table as CSV with a header line; CR LF line ends.
std::string ResultsCsv(const EmiResultsTable& table);

}  // namespace vantrel

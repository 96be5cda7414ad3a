#pragma once
// The EMI results table: the strongest emissions of the last scan against the standard's
// limit lines, with the margin to each line and a verdict. The comparison uses the same
// axis as the graph, so the table and the picture agree. The verdict comes from every
// measured point, not from the peaks alone: a stretch of the scan above a limit (or within
// the guard band of one) that no listed peak stands for is an emission of its own.
#include <optional>
#include <span>
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
  // A broadband stretch of the scan this emission stands for, wider than three RBWs:
  // its ends (MHz) and how far its worst point lies above the limit (negative: below).
  std::optional<double> stretchStart, stretchStop;
  double stretchOverDb = 0;
};

struct EmiResultsTable {
  std::vector<EmissionResult> emissions;  // highest level first
  Verdict overall = Verdict::NoLimit;
  double guardBandDb = kDefaultGuardBandDb;
  // Pass once any measured point lies where a limit is set; the overall verdict is never
  // better than the emissions' and never better than this.
  Verdict measuredFloor = Verdict::NoLimit;
};

// "Pass", "Marginal", "Fail" or "No limit".
std::string VerdictText(Verdict v);

// The worse of two verdicts: Fail, then Marginal, then Pass, then No limit.
Verdict WorseVerdict(Verdict a, Verdict b);

// A margin's verdict: below 0 fails, below the guard band is marginal.
Verdict JudgeMargin(double margin, double guardBandDb);

// The axis the graph draws the standard on: logarithmic for a conducted wide-range scan.
FrequencyAxis AxisFor(const LimitStandard& standard, bool wideRangeScan);

// Every measured point against the limit lines: the worst verdict of all of them ("No
// limit" only when no point lies where a limit is set) and the stretches of consecutive
// points that fail or lie within the guard band, each with its worst point.
struct LimitStretch {
  double start = 0, stop = 0;  // MHz, first and last point
  EmiPoint worst;              // the point with the smallest margin
  double margin = 0;           // its margin to the nearer line
  Verdict verdict = Verdict::Pass;
};
struct PointsJudgement {
  Verdict overall = Verdict::NoLimit;
  std::vector<LimitStretch> stretches;
};
PointsJudgement JudgeMeasuredPoints(std::span<const EmiPoint> points, const LimitStandard& standard,
                                    FrequencyAxis axis, double guardBandDb);

// Judges up to `count` emissions (the peak search's, highest first) and every measured
// point (`measured`: all bands of the scan, as the analyzer delivered them; `rbwMHz` tells
// a broadband stretch from a narrow one, 0 when unknown).
EmiResultsTable ComputeResults(const std::vector<EmiPoint>& peaks, std::span<const EmiPoint> measured,
                               const LimitStandard& standard, FrequencyAxis axis,
                               double guardBandDb = kDefaultGuardBandDb,
                               int count = kDefaultEmissionCount, double rbwMHz = 0);

// "broadband 0.15–0.32 MHz, 4.1 dB over" for an emission that stands for a broadband
// stretch; empty otherwise.
std::string EmissionNote(const EmissionResult& emission);

// Judges again with the final quasi-peak level against the upper line and the average
// level against the lower line (the prescan level where one is missing).
void ApplyFinalMeasurement(EmissionResult& emission, std::optional<double> quasiPeak,
                           std::optional<double> average, double guardBandDb);
Verdict Overall(const std::vector<EmissionResult>& emissions);
// The table's overall verdict: its emissions', never better than its measured floor.
Verdict Overall(const EmiResultsTable& table);

// The emissions that need a final measurement: a margin to any line below the guard band.
std::vector<std::size_t> RemeasurePlan(const EmiResultsTable& table);

// The table as CSV with a header line; CR LF line ends. The note column is quoted.
std::string ResultsCsv(const EmiResultsTable& table);

}  // namespace vantrel

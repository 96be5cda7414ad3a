#include "emi/emi_results.h"

#include <algorithm>
#include <cmath>

#include "util/format.h"
#include "util/text.h"

namespace vantrel {

namespace {

Verdict Worse(Verdict a, Verdict b) {
  auto rank = [](Verdict v) {
    switch (v) {
      case Verdict::Fail:
        return 3;
      case Verdict::Marginal:
        return 2;
      case Verdict::Pass:
        return 1;
      default:
        return 0;
    }
  };
  return rank(a) >= rank(b) ? a : b;
}

void Judge(EmissionResult& e, double upperLevel, double lowerLevel, double guard) {
  e.upperMargin = e.upperLimit ? std::optional<double>(*e.upperLimit - upperLevel) : std::nullopt;
  e.lowerMargin = e.lowerLimit ? std::optional<double>(*e.lowerLimit - lowerLevel) : std::nullopt;
  e.verdict = Verdict::NoLimit;
  for (const auto& margin : {e.upperMargin, e.lowerMargin}) {
    if (margin) e.verdict = Worse(e.verdict, JudgeMargin(*margin, guard));
  }
}

std::string Cell(const std::optional<double>& v) { return v ? FormatShortest(*v) : ""; }

}  // namespace

std::string VerdictText(Verdict v) {
  switch (v) {
    case Verdict::Pass:
      return "Pass";
    case Verdict::Marginal:
      return "Marginal";
    case Verdict::Fail:
      return "Fail";
    default:
      return "No limit";
  }
}

Verdict JudgeMargin(double margin, double guardBandDb) {
  if (margin < 0) return Verdict::Fail;
  if (margin < guardBandDb) return Verdict::Marginal;
  return Verdict::Pass;
}

FrequencyAxis AxisFor(const LimitStandard& standard, bool wideRangeScan) {
  return wideRangeScan && ToLower(Trim(standard.emiMode)) == "conducted" ? FrequencyAxis::Logarithmic
                                                                       : FrequencyAxis::Linear;
}

EmiResultsTable ComputeResults(const std::vector<EmiPoint>& peaks, const LimitStandard& standard,
                               FrequencyAxis axis, double guardBandDb, int count) {
  EmiResultsTable table;
  table.guardBandDb = guardBandDb;
  std::vector<EmiPoint> sorted;
  for (const EmiPoint& p : peaks) {
    if (std::isfinite(p.frequency) && std::isfinite(p.level)) sorted.push_back(p);
  }
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const EmiPoint& a, const EmiPoint& b) { return a.level > b.level; });
  if (count >= 0 && sorted.size() > static_cast<std::size_t>(count)) sorted.resize(count);
  for (const EmiPoint& p : sorted) {
    EmissionResult e;
    e.frequency = p.frequency;
    e.level = p.level;
    if (standard.upperPresent) e.upperLimit = LimitAt(standard.upperLimit, p.frequency, axis);
    if (standard.lowerPresent) e.lowerLimit = LimitAt(standard.lowerLimit, p.frequency, axis);
    Judge(e, e.level, e.level, guardBandDb);
    table.emissions.push_back(e);
  }
  table.overall = Overall(table.emissions);
  return table;
}

void ApplyFinalMeasurement(EmissionResult& e, std::optional<double> quasiPeak,
                           std::optional<double> average, double guardBandDb) {
  e.quasiPeak = quasiPeak;
  e.average = average;
  e.final = quasiPeak.has_value() || average.has_value();
  Judge(e, quasiPeak.value_or(e.level), average.value_or(e.level), guardBandDb);
}

Verdict Overall(const std::vector<EmissionResult>& emissions) {
  Verdict overall = Verdict::NoLimit;
  for (const EmissionResult& e : emissions) overall = Worse(overall, e.verdict);
  return overall;
}

std::vector<std::size_t> RemeasurePlan(const EmiResultsTable& table) {
  std::vector<std::size_t> plan;
  for (std::size_t i = 0; i < table.emissions.size(); ++i) {
    const EmissionResult& e = table.emissions[i];
    const bool close = (e.upperMargin && *e.upperMargin < table.guardBandDb) ||
                       (e.lowerMargin && *e.lowerMargin < table.guardBandDb);
    if (close) plan.push_back(i);
  }
  return plan;
}

std::string ResultsCsv(const EmiResultsTable& table) {
  std::string out =
      "Freq.(MHz),Level(dBuV),Upper limit,Upper margin,Lower limit,Lower margin,QP,AV,Final,Verdict\r\n";
  for (const EmissionResult& e : table.emissions) {
    out += FormatShortest(e.frequency) + "," + FormatShortest(e.level) + "," + Cell(e.upperLimit) +
           "," + Cell(e.upperMargin) + "," + Cell(e.lowerLimit) + "," + Cell(e.lowerMargin) + "," +
           Cell(e.quasiPeak) + "," + Cell(e.average) + "," + (e.final ? "yes" : "no") + "," +
           VerdictText(e.verdict) + "\r\n";
  }
  out += "Overall,,,,,,,,," + VerdictText(table.overall) + "\r\n";
  return out;
}

}  // namespace vantrel

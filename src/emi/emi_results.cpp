#include "emi/emi_results.h"

#include <algorithm>
#include <cmath>

#include "display/graph_mapping.h"

#include "util/format.h"
#include "util/text.h"

namespace vantrel {

namespace {

int Rank(Verdict v) {
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
}


const std::vector<LimitSegment>& LineOf(const LimitStandard& standard, bool upper) {
  static const std::vector<LimitSegment> none;
  if (upper) return standard.upperPresent ? standard.upperLimit : none;
  return standard.lowerPresent ? standard.lowerLimit : none;
}

void SetLimits(EmissionResult& e, const LimitStandard& standard, FrequencyAxis axis) {
  if (standard.upperPresent) e.upperLimit = LimitAt(standard.upperLimit, e.frequency, axis);
  if (standard.lowerPresent) e.lowerLimit = LimitAt(standard.lowerLimit, e.frequency, axis);
}

void SetStretch(EmissionResult& e, const LimitStretch& s) {
  e.stretchStart = s.start;
  e.stretchStop = s.stop;
  e.stretchOverDb = -s.margin;
}

void Judge(EmissionResult& e, double upperLevel, double lowerLevel, double guard) {
  e.upperMargin = e.upperLimit ? std::optional<double>(*e.upperLimit - upperLevel) : std::nullopt;
  e.lowerMargin = e.lowerLimit ? std::optional<double>(*e.lowerLimit - lowerLevel) : std::nullopt;
  e.verdict = Verdict::NoLimit;
  for (const auto& margin : {e.upperMargin, e.lowerMargin}) {
    if (margin) e.verdict = WorseVerdict(e.verdict, JudgeMargin(*margin, guard));
  }
}

std::string Cell(const std::optional<double>& v) { return v ? FormatShortest(*v) : ""; }

std::string Quoted(const std::string& text) {
  if (text.empty()) return text;
  std::string out = "\"";
  for (const char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

}  // namespace

Verdict WorseVerdict(Verdict a, Verdict b) { return Rank(a) >= Rank(b) ? a : b; }

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

PointsJudgement JudgeMeasuredPoints(std::span<const EmiPoint> points, const LimitStandard& standard,
                                    FrequencyAxis axis, double guardBandDb) {
  PointsJudgement out;
  const LimitLookup upper(LineOf(standard, true), axis), lower(LineOf(standard, false), axis);
  if (upper.Empty() && lower.Empty()) return out;
  std::optional<LimitStretch> run;
  auto close = [&] {
    if (run) out.stretches.push_back(*run);
    run.reset();
  };
  for (const EmiPoint& p : points) {
    if (!(std::isfinite(p.level) && p.level < kNoLevel && std::isfinite(p.frequency))) {
      close();
      continue;
    }
    const double onAxis = upper.AxisValue(p.frequency);  // both lines use the same axis
    std::optional<double> margin;
    for (const LimitLookup* line : {&upper, &lower}) {
      if (const auto limit = line->At(p.frequency, onAxis)) {
        margin = std::min(margin.value_or(*limit - p.level), *limit - p.level);
      }
    }
    if (!margin) {
      close();
      continue;
    }
    const Verdict verdict = JudgeMargin(*margin, guardBandDb);
    out.overall = WorseVerdict(out.overall, verdict);
    if (verdict == Verdict::Pass) {
      close();
      continue;
    }
    if (!run) run = LimitStretch{p.frequency, p.frequency, p, *margin, verdict};
    run->start = std::min(run->start, p.frequency);
    run->stop = std::max(run->stop, p.frequency);
    if (*margin < run->margin) {
      run->worst = p;
      run->margin = *margin;
    }
    run->verdict = WorseVerdict(run->verdict, verdict);
  }
  close();
  return out;
}

EmiResultsTable ComputeResults(const std::vector<EmiPoint>& peaks, std::span<const EmiPoint> measured,
                               const LimitStandard& standard, FrequencyAxis axis,
                               double guardBandDb, int count, double rbwMHz) {
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
    SetLimits(e, standard, axis);
    Judge(e, e.level, e.level, guardBandDb);
    table.emissions.push_back(e);
  }

  const PointsJudgement all = JudgeMeasuredPoints(measured, standard, axis, guardBandDb);
  table.measuredFloor = all.overall == Verdict::NoLimit ? Verdict::NoLimit : Verdict::Pass;
  const std::size_t listed = table.emissions.size();
  for (const LimitStretch& s : all.stretches) {
    const bool broadband = s.stop - s.start > 3 * std::max(0.0, rbwMHz);
    // A listed peak inside the stretch that fares as badly stands for it.
    std::size_t within = listed;
    for (std::size_t i = 0; i < listed; ++i) {
      const EmissionResult& e = table.emissions[i];
      if (e.frequency < s.start || e.frequency > s.stop) continue;
      if (within == listed || Rank(e.verdict) > Rank(table.emissions[within].verdict)) within = i;
    }
    if (within < listed && Rank(table.emissions[within].verdict) >= Rank(s.verdict)) {
      if (broadband && !table.emissions[within].stretchStart) SetStretch(table.emissions[within], s);
      continue;
    }
    EmissionResult e;
    e.frequency = s.worst.frequency;
    e.level = s.worst.level;
    SetLimits(e, standard, axis);
    Judge(e, e.level, e.level, guardBandDb);
    if (broadband) SetStretch(e, s);
    table.emissions.push_back(e);
  }
  std::stable_sort(table.emissions.begin(), table.emissions.end(),
                   [](const EmissionResult& a, const EmissionResult& b) { return a.level > b.level; });
  table.overall = Overall(table);
  return table;
}

std::string EmissionNote(const EmissionResult& e) {
  if (!e.stretchStart || !e.stretchStop) return "";
  const double over = e.stretchOverDb;
  return "broadband " + FormatPattern(*e.stretchStart, "#0.0##") + "\u2013" +
         FormatPattern(*e.stretchStop, "#0.0##") + " MHz, " +
         FormatPattern(over >= 0 ? over : -over, "#0.0") + (over >= 0 ? " dB over" : " dB under");
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
  for (const EmissionResult& e : emissions) overall = WorseVerdict(overall, e.verdict);
  return overall;
}

Verdict Overall(const EmiResultsTable& table) {
  return WorseVerdict(Overall(table.emissions), table.measuredFloor);
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
      "Freq.(MHz),Level(dBuV),Upper limit,Upper margin,Lower limit,Lower margin,QP,AV,Final,Verdict,"
      "Note\r\n";
  for (const EmissionResult& e : table.emissions) {
    out += FormatShortest(e.frequency) + "," + FormatShortest(e.level) + "," + Cell(e.upperLimit) +
           "," + Cell(e.upperMargin) + "," + Cell(e.lowerLimit) + "," + Cell(e.lowerMargin) + "," +
           Cell(e.quasiPeak) + "," + Cell(e.average) + "," + (e.final ? "yes" : "no") + "," +
           VerdictText(e.verdict) + "," + Quoted(EmissionNote(e)) + "\r\n";
  }
  out += "Overall,,,,,,,,," + VerdictText(table.overall) + ",\r\n";
  return out;
}

}  // namespace vantrel

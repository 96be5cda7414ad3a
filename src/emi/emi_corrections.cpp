#include "emi/emi_corrections.h"

#include <algorithm>
#include <cmath>

#include "display/graph_mapping.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

std::int16_t Raised(std::int16_t raw, double db) {
  return RoundToInt16(raw + db / kDbPerCount);
}

void Correct(EmiPoint& p, const std::vector<CorrectionTable>& tables) {
  const double db = TotalCorrection(tables, p.frequency);
  if (!std::isfinite(db) || db == 0) return;
  p.level += db;
  p.raw = Raised(p.raw, db);
}

}  // namespace

EmiResults ApplyCorrections(const EmiResults& measured, const LimitStandard& standard,
                            const std::vector<CorrectionTable>& tables) {
  EmiResults out = measured;
  if (tables.empty()) return out;
  for (EmiPoint& p : out.trace) Correct(p, tables);
  for (EmiPoint& p : out.markerPoints) {
    if (p.level < kNoLevel) Correct(p, tables);
  }
  // The linear graph draws the sweep's buffer itself: point i lies at the range's i/500.
  for (std::size_t i = 0; i < out.liveBuffer.size(); ++i) {
    const double f = standard.freqStart + (standard.freqStop - standard.freqStart) / 500 * i;
    out.liveBuffer[i] = Raised(out.liveBuffer[i], TotalCorrection(tables, f));
  }
  return out;
}

std::string CorrectionsCaption(const std::vector<CorrectionTable>& tables) {
  if (tables.empty()) return "";
  std::string caption = "Corrections: ";
  for (std::size_t i = 0; i < tables.size(); ++i) caption += (i ? ", " : "") + tables[i].name;
  return caption;
}

}  // namespace vantrel

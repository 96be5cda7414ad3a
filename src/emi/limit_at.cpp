#include "emi/limit_at.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// Where `mhz` lies between f1 and f2 on the axis, 0..1; the log axis needs positive ends.
std::optional<double> Fraction(double f1, double f2, double mhz, FrequencyAxis axis) {
  if (f2 == f1) return 0.0;
  if (axis == FrequencyAxis::Logarithmic) {
    if (!(f1 > 0 && f2 > 0 && mhz > 0)) return std::nullopt;
    return std::log10(mhz / f1) / std::log10(f2 / f1);
  }
  return (mhz - f1) / (f2 - f1);
}

}  // namespace

std::optional<double> LimitAt(const std::vector<LimitSegment>& segments, double mhz,
                              FrequencyAxis axis) {
  if (!std::isfinite(mhz)) return std::nullopt;
  std::optional<double> limit;
  for (const LimitSegment& s : segments) {
    // A 0/0 segment is the placeholder of a line the standard does not set.
    if (s.startFreq == 0 && s.stopFreq == 0) continue;
    const double lo = std::min(s.startFreq, s.stopFreq), hi = std::max(s.startFreq, s.stopFreq);
    if (mhz < lo || mhz > hi) continue;
    const std::optional<double> t = Fraction(s.startFreq, s.stopFreq, mhz, axis);
    if (!t || !std::isfinite(*t)) continue;
    const double level = s.startLevel + (s.stopLevel - s.startLevel) * *t;
    if (!std::isfinite(level)) continue;
    limit = limit ? std::min(*limit, level) : level;
  }
  return limit;
}

}  // namespace vantrel

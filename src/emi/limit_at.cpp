#include "emi/limit_at.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

LimitLookup::LimitLookup(const std::vector<LimitSegment>& segments, FrequencyAxis axis) : axis_(axis) {
  for (const LimitSegment& s : segments) {
    // A 0/0 segment is the placeholder of a line the standard does not set.
    if (s.startFreq == 0 && s.stopFreq == 0) continue;
    const bool log = axis == FrequencyAxis::Logarithmic;
    // The log axis needs positive ends.
    const bool placeable = !log || (s.startFreq > 0 && s.stopFreq > 0);
    parts_.push_back({std::min(s.startFreq, s.stopFreq), std::max(s.startFreq, s.stopFreq),
                      placeable ? AxisValue(s.startFreq) : kNaN,
                      placeable ? AxisValue(s.stopFreq) : kNaN, s.startLevel, s.stopLevel});
  }
}

double LimitLookup::AxisValue(double mhz) const {
  if (axis_ == FrequencyAxis::Linear) return mhz;
  return mhz > 0 ? std::log10(mhz) : kNaN;
}

std::optional<double> LimitLookup::At(double mhz, double axisValue) const {
  if (!std::isfinite(mhz)) return std::nullopt;
  std::optional<double> limit;
  for (const Part& p : parts_) {
    if (mhz < p.lo || mhz > p.hi) continue;
    // Where `mhz` lies between the segment's ends on the axis, 0..1.
    const double t = p.stop == p.start ? 0.0 : (axisValue - p.start) / (p.stop - p.start);
    if (!std::isfinite(t)) continue;
    const double level = p.startLevel + (p.stopLevel - p.startLevel) * t;
    if (!std::isfinite(level)) continue;
    limit = limit ? std::min(*limit, level) : level;
  }
  return limit;
}

std::optional<double> LimitAt(const std::vector<LimitSegment>& segments, double mhz,
                              FrequencyAxis axis) {
  const LimitLookup line(segments, axis);
  return line.At(mhz, line.AxisValue(mhz));
}

}  // namespace vantrel

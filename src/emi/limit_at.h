#pragma once
// The limit a line sets at one frequency, read off the line as the EMI graph draws it:
// straight between segment points on a logarithmic frequency axis (conducted scan) or a
// linear one (radiated scan and single-point test).
#include <optional>
#include <vector>

#include "emi/limit_standard.h"

namespace vantrel {

enum class FrequencyAxis { Linear, Logarithmic };

// The limit at `mhz`, or nullopt where no segment covers it. Where two segments meet with
// different levels (a step at a band edge) the stricter, lower value holds.
std::optional<double> LimitAt(const std::vector<LimitSegment>& segments, double mhz,
                              FrequencyAxis axis);

// One limit line made ready to be read at many frequencies: the logarithms of its segment
// ends are taken once, so a whole scan is judged with one logarithm per point.
class LimitLookup {
 public:
  LimitLookup(const std::vector<LimitSegment>& segments, FrequencyAxis axis);
  // As LimitAt; `axisValue` is AxisValue(mhz).
  std::optional<double> At(double mhz, double axisValue) const;
  // Where `mhz` lies on the axis: its logarithm on the logarithmic axis, else itself.
  double AxisValue(double mhz) const;
  bool Empty() const { return parts_.empty(); }

 private:
  struct Part {
    double lo, hi;          // the frequencies it covers
    double start, stop;     // its ends on the axis (NaN where the axis cannot place them)
    double startLevel, stopLevel;
  };
  FrequencyAxis axis_;
  std::vector<Part> parts_;
};

}  // namespace vantrel

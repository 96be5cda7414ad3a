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

}  // namespace vantrel

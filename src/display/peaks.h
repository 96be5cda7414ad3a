#pragma once
// The peak search behind "All to Peaks": up to N significant peaks of a 501-point
// trace, strongest first.
#include <cstdint>
#include <vector>

#include "display/display_state.h"
#include "display/graph_mapping.h"

namespace vantrel {

struct PeakPoint {
  double frequency = 0;  // MHz
  double level = 0;      // in the reference unit; kNoLevel = no value, never a peak
  std::int16_t count = 0;
};

// Peaks of `points` (one per trace point, in point order), strongest first. A peak is the
// highest point of a block of four whose level falls by more than 5 dB on both sides before
// the trace rises above it again. Of two equal peaks the one found first comes first.
std::vector<PeakPoint> FindPeaks(const std::vector<PeakPoint>& points);

// The 501 points of the marker trace (live trace 1) with their frequencies and levels,
// as "All to Peaks" searches them.
std::vector<PeakPoint> MarkerTracePoints(const DisplayState& state);

}  // namespace vantrel

#pragma once
// One point of an EMI trace: where it is, what it measured, and the analyzer's raw count
// the graph is drawn from.
#include <array>
#include <cstdint>

namespace vantrel {

struct EmiPoint {
  double frequency = 0;  // MHz
  double level = 0;      // in the EMI unit (dBuV)
  std::int16_t raw = 0;  // trace count 0..1023 of the analyzer
};

inline constexpr int kEmiTracePoints = 501;
using EmiTrace = std::array<EmiPoint, kEmiTracePoints>;

}  // namespace vantrel

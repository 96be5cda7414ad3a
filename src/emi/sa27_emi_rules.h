#pragma once
// The typed values of the 2.7 GHz EMI control panel: each has its range, and a value
// outside it gets the range's message and is put back to the nearer end.
#include <optional>
#include <string>

#include "display/markers.h"

namespace vantrel {

inline constexpr double kSa27EmiMinRefLevel = 57;
inline constexpr double kSa27EmiMaxRefLevel = 127;
inline constexpr double kSa27EmiMaxThreshold = 80;
inline constexpr double kSa27EmiMinMarkerMHz = 0.001;
inline constexpr double kSa27EmiMaxMarkerMHz = 2700;

// `range` + CR LF + "Please key in a correct number."
std::string RangeMessage(const std::string& range);

std::optional<MarkerInputProblem> CheckSa27EmiRefLevel(const std::string& text);
std::optional<MarkerInputProblem> CheckSa27EmiThreshold(const std::string& text);
std::optional<MarkerInputProblem> CheckSa27EmiMarker(const std::string& text);

}  // namespace vantrel

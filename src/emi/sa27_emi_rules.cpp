#include "emi/sa27_emi_rules.h"

#include "util/format.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

std::optional<MarkerInputProblem> InRange(const std::string& text, double low, double high,
                                          const std::string& range) {
  const std::string message = RangeMessage(range);
  if (!IsNumeric(text)) return MarkerInputProblem{message, ""};
  const double value = NumericValue(text);
  if (value < low) return MarkerInputProblem{message, FormatShortest(low)};
  if (value > high) return MarkerInputProblem{message, FormatShortest(high)};
  return std::nullopt;
}

}  // namespace

std::string RangeMessage(const std::string& range) {
  return range + "\r\nPlease key in a correct number.";
}

std::optional<MarkerInputProblem> CheckSa27EmiRefLevel(const std::string& text) {
  return InRange(text, kSa27EmiMinRefLevel, kSa27EmiMaxRefLevel,
                 "Ref. level  range is from 57 to 127!");
}

std::optional<MarkerInputProblem> CheckSa27EmiThreshold(const std::string& text) {
  return InRange(text, -kSa27EmiMaxThreshold, kSa27EmiMaxThreshold,
                 "Threshold range is from -80 to 80!");
}

std::optional<MarkerInputProblem> CheckSa27EmiMarker(const std::string& text) {
  return InRange(text, kSa27EmiMinMarkerMHz, kSa27EmiMaxMarkerMHz,
                 "Marker Freq. range is from 0.001 to 2700 (MHz)!");
}

}  // namespace vantrel

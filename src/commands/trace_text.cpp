#include "commands/trace_text.h"

#include <algorithm>

#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

std::vector<std::string_view> TraceTextFields(std::string_view answer) {
  const std::size_t brace = answer.find('{');
  const std::string_view rest = brace == std::string_view::npos ? answer : answer.substr(brace + 1);
  std::vector<std::string_view> fields = Split(rest, ',');
  if (fields.size() > static_cast<std::size_t>(kTracePoints)) fields.resize(kTracePoints);
  return fields;
}

int ParseTraceTextPoints(std::string_view answer, std::span<std::int16_t, kTracePoints> points) {
  std::fill(points.begin(), points.end(), std::int16_t{0});
  const auto fields = TraceTextFields(answer);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::int64_t value = RoundHalfEven(NumericValue(fields[i]));
    points[i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(value, 0, 1023));
  }
  return static_cast<int>(fields.size());
}

}  // namespace vantrel

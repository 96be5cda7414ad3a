#include "sim/answer_format.h"

#include <cctype>
#include <cmath>

#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel::sim {
namespace {

double RoundSignificant(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return value;
  const double magnitude = std::floor(std::log10(std::abs(value)));
  const double factor = std::pow(10.0, digits - 1 - magnitude);
  return static_cast<double>(RoundHalfEven(value * factor)) / factor;
}

}  // namespace

std::string KhzText(double hz) {
  return FormatShortest(hz / 1000.0) + " kHz";
}

std::string SpanText(double hz) {
  return FormatShortest(hz / 1000.0) + "kHz";
}

std::string SweepTimeText(double ms) {
  if (ms >= 1000.0) return FormatShortest(RoundSignificant(ms / 1000.0, 4)) + " s";
  if (ms >= 1.0) return FormatShortest(RoundSignificant(ms, 4)) + " ms";
  return FormatShortest(RoundSignificant(ms * 1000.0, 4)) + " us";
}

std::string LevelText(double value) {
  return FormatShortest(static_cast<double>(RoundHalfEven(value * 100.0)) / 100.0);
}

std::optional<std::int64_t> ParseFrequencyHz(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  const char first = t[0];
  if (!std::isdigit(static_cast<unsigned char>(first)) && first != '-' && first != '+' &&
      first != '.') {
    return std::nullopt;
  }
  const double value = NumericValue(t);
  const std::string upper = ToUpper(t);
  double factor = 1e6;
  if (Contains(upper, "GHZ")) {
    factor = 1e9;
  } else if (Contains(upper, "MHZ")) {
    factor = 1e6;
  } else if (Contains(upper, "KHZ")) {
    factor = 1e3;
  } else if (Contains(upper, "HZ")) {
    factor = 1;
  }
  return RoundHalfEven(value * factor);
}

std::string StripUnit(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 &&
         (std::isalpha(static_cast<unsigned char>(text[end - 1])) || text[end - 1] == ' ')) {
    --end;
  }
  if (end == 0) return std::string(text);
  return std::string(text.substr(0, end));
}

}  // namespace vantrel::sim

#include "util/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vantrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of `text` (after the caller skipped blanks);
// 0 when no digit is there.
std::size_t ScanNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i;
}

std::size_t SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return i;
}

// The power of ten of the first significant digit of an unsigned number as ScanNumber
// takes it ("123" 2, "0.05" -2, "5e-3" -3); the digits decide, not the exponent's sign
// ("2000e-1" is 2). Saturates far outside the double range; 0 for a zero.
long long DecimalExponent(std::string_view number) {
  constexpr long long kFar = 1'000'000'000;
  const std::size_t e = number.find_first_of("eE");
  const std::string_view digits = number.substr(0, e);
  const std::size_t point = std::min(digits.find('.'), digits.size());
  const std::size_t first = digits.find_first_not_of("0.");
  if (first == std::string_view::npos) return 0;
  long long exponent = first < point ? static_cast<long long>(point - first) - 1
                                     : -static_cast<long long>(first - point);
  if (e != std::string_view::npos) {
    std::string_view written = number.substr(e + 1);
    const bool minus = written.starts_with('-');
    if (minus || written.starts_with('+')) written.remove_prefix(1);
    long long power = 0;
    for (const char c : written) power = std::min(kFar, power * 10 + (c - '0'));
    exponent += minus ? -power : power;
  }
  return exponent;
}

double Convert(std::string_view number) {
  // from_chars does not take a leading '+'.
  bool negative = false;
  if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
    negative = number[0] == '-';
    number.remove_prefix(1);
  }
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone on range errors: a number of 1 or more was too
    // large, a smaller one too small.
    value = DecimalExponent(number) >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

double NumericValue(std::string_view text) {
  text.remove_prefix(SkipBlanks(text));
  const std::size_t length = ScanNumber(text);
  if (length == 0) return 0.0;
  return Convert(text.substr(0, length));
}

bool IsNumeric(std::string_view text) {
  text.remove_prefix(SkipBlanks(text));
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty()) return false;
  return ScanNumber(text) == text.size();
}

std::int64_t RoundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kMax = 9.2233720368547748e18;
  if (value >= kMax) return std::numeric_limits<std::int64_t>::max();
  if (value <= -kMax) return std::numeric_limits<std::int64_t>::min();
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  return static_cast<std::int64_t>(whole);
}

std::int16_t RoundToInt16(double value) {
  const auto v = RoundHalfEven(value);
  if (v > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  if (v < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(v);
}

std::int32_t RoundToInt32(double value) {
  const auto v = RoundHalfEven(value);
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

}  // namespace vantrel

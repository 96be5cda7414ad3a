#include "util/format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vantrel {
namespace {

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NaN";
  return value > 0 ? "Inf" : "-Inf";
}

// Digits and decimal exponent of |value| rounded to `precision` significant digits.
void Significant(double value, int precision, std::string& digits, int& exponent) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                         precision - 1);
  std::string_view text(buf, r.ptr - buf);
  const auto e = text.find('e');
  digits.clear();
  for (char c : text.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

std::string General(double value, int precision) {
  if (!std::isfinite(value)) return NonFinite(value);
  if (value == 0.0) return "0";
  std::string digits;
  int exponent = 0;
  Significant(value, precision, digits, exponent);
  std::string out = value < 0 ? "-" : "";
  if (exponent >= 15 || exponent < -4) {
    out += digits[0];
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    const int mag = std::abs(exponent);
    if (mag < 10) out += '0';
    out += std::to_string(mag);
    return out;
  }
  if (exponent < 0) {
    out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return out;
  }
  const auto whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) {
    out += digits + std::string(whole - digits.size(), '0');
  } else {
    out += digits.substr(0, whole) + "." + digits.substr(whole);
  }
  return out;
}

// Adds one unit in the last place of a digit string; returns true on carry out.
bool Increment(std::string& digits) {
  for (auto i = digits.size(); i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
    } else {
      ++digits[i];
      return false;
    }
  }
  return true;
}

}  // namespace

std::string FormatShortest(double value) { return General(value, 15); }

std::string FormatShortest(float value) { return General(static_cast<double>(value), 7); }

std::string FormatPattern(double value, std::string_view pattern) {
  if (!std::isfinite(value)) return NonFinite(value);
  const auto point = pattern.find('.');
  const std::string_view intPart = pattern.substr(0, point);
  const std::string_view fracPart =
      point == std::string_view::npos ? std::string_view{} : pattern.substr(point + 1);
  std::size_t minInt = 0;
  bool grouping = false;
  for (char c : intPart) {
    if (c == '0') ++minInt;
    if (c == ',') grouping = true;
  }
  std::size_t minFrac = 0, maxFrac = 0;
  for (char c : fracPart) {
    if (c == '0') ++minFrac, ++maxFrac;
    if (c == '#') ++maxFrac;
  }

  // Shortest round-trip decimal form, then decimal rounding half away from zero.
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
  std::string text(buf, r.ptr);
  const auto dot = text.find('.');
  std::string whole = dot == std::string::npos ? text : text.substr(0, dot);
  std::string frac = dot == std::string::npos ? "" : text.substr(dot + 1);
  if (frac.size() > maxFrac) {
    const bool up = frac[maxFrac] >= '5';
    frac.resize(maxFrac);
    if (up) {
      std::string all = whole + frac;
      if (Increment(all)) all.insert(all.begin(), '1');
      whole = all.substr(0, all.size() - maxFrac);
      frac = all.substr(all.size() - maxFrac);
    }
  }
  while (frac.size() > minFrac && frac.back() == '0') frac.pop_back();
  if (frac.size() < minFrac) frac.append(minFrac - frac.size(), '0');
  // Leading zeros of the whole part beyond what the pattern asks for go away.
  std::size_t lead = 0;
  while (lead + 1 < whole.size() && whole[lead] == '0') ++lead;
  whole.erase(0, lead);
  if (whole == "0" && minInt == 0) whole.clear();
  while (whole.size() < minInt) whole.insert(whole.begin(), '0');
  if (grouping) {
    for (auto i = static_cast<std::ptrdiff_t>(whole.size()) - 3; i > 0; i -= 3) {
      whole.insert(static_cast<std::size_t>(i), 1, ',');
    }
  }
  const bool isZero = whole.find_first_not_of("0,") == std::string::npos &&
                      frac.find_first_not_of('0') == std::string::npos;
  std::string out = (value < 0 && !isZero) ? "-" : "";
  out += whole;
  if (!frac.empty()) out += "." + frac;
  if (out.empty() || out == "-") out += "0";
  return out;
}

}  // namespace vantrel

#include "util/datetime.h"

#include <cmath>

namespace vantrel {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

const long long kOleEpoch = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return kDays[m - 1];
}

std::string Pad(int value, int width) {
  std::string s = std::to_string(value);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

// Splits "a<sep>b<sep>c" into three small unsigned numbers.
bool ThreeFields(std::string_view text, char sep, int out[3]) {
  int field = 0;
  int digits = 0;
  out[0] = out[1] = out[2] = 0;
  for (char c : text) {
    if (c == sep) {
      if (digits == 0 || ++field > 2) return false;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      if (++digits > 4) return false;
      out[field] = out[field] * 10 + (c - '0');
    } else {
      return false;
    }
  }
  return field == 2 && digits > 0;
}

}  // namespace

bool IsValidDateTime(const DateTime& dt) {
  if (dt.year < 100 || dt.year > 9999 || dt.month < 1 || dt.month > 12) return false;
  if (dt.day < 1 || dt.day > DaysInMonth(dt.year, dt.month)) return false;
  return dt.hour >= 0 && dt.hour < 24 && dt.minute >= 0 && dt.minute < 60 && dt.second >= 0 &&
         dt.second < 60;
}

std::string FormatDateTime(const DateTime& dt, std::string_view pattern) {
  std::string out;
  bool afterHour = false;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const std::string_view rest = pattern.substr(i);
    if (rest.starts_with("yyyy")) {
      out += Pad(dt.year, 4), i += 4, afterHour = false;
    } else if (rest.starts_with("mm")) {
      out += Pad(afterHour ? dt.minute : dt.month, 2), i += 2, afterHour = false;
    } else if (rest.starts_with("dd")) {
      out += Pad(dt.day, 2), i += 2, afterHour = false;
    } else if (rest.starts_with("hh")) {
      out += Pad(dt.hour, 2), i += 2, afterHour = true;
    } else if (rest.starts_with("nn")) {
      out += Pad(dt.minute, 2), i += 2, afterHour = false;
    } else if (rest.starts_with("ss")) {
      out += Pad(dt.second, 2), i += 2, afterHour = false;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

double ToOleDate(const DateTime& dt) {
  const long long days =
      DaysFromCivil(dt.year, static_cast<unsigned>(dt.month), static_cast<unsigned>(dt.day)) -
      kOleEpoch;
  const double time = (dt.hour * 3600.0 + dt.minute * 60.0 + dt.second) / 86400.0;
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

std::optional<DateTime> FromOleDate(double oleDate) {
  if (!std::isfinite(oleDate) || oleDate < -657434.0 || oleDate >= 2958466.0) return std::nullopt;
  // Seconds on a straight line through the epoch (the time of day counts forward from
  // its day on both sides), split by floor division: a time that rounds up to 24:00
  // moves to the next day whatever the sign.
  const double whole = std::trunc(oleDate);
  const long long total = static_cast<long long>(whole) * 86400 +
                          std::llround(std::fabs(oleDate - whole) * 86400.0);
  long long days = total / 86400;
  long long seconds = total % 86400;
  if (seconds < 0) {
    seconds += 86400;
    --days;
  }
  DateTime dt;
  CivilFromDays(days + kOleEpoch, dt.year, dt.month, dt.day);
  dt.hour = static_cast<int>(seconds / 3600);
  dt.minute = static_cast<int>(seconds / 60 % 60);
  dt.second = static_cast<int>(seconds % 60);
  if (!IsValidDateTime(dt)) return std::nullopt;
  return dt;
}

std::optional<DateTime> ParseDate(std::string_view text) {
  int f[3];
  if (!ThreeFields(text, '/', f)) return std::nullopt;
  DateTime dt;
  dt.year = f[0], dt.month = f[1], dt.day = f[2];
  dt.hour = dt.minute = dt.second = 0;
  if (!IsValidDateTime(dt)) return std::nullopt;
  return dt;
}

std::optional<DateTime> ParseTime(std::string_view text) {
  int f[3];
  if (!ThreeFields(text, ':', f)) return std::nullopt;
  if (f[0] > 23 || f[1] > 59 || f[2] > 59) return std::nullopt;
  DateTime dt;
  dt.hour = f[0], dt.minute = f[1], dt.second = f[2];
  return dt;
}

}  // namespace vantrel

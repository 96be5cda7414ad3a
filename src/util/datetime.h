#pragma once
// Calendar date-times as the program stamps, names and stores them.
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const DateTime&) const = default;
};

bool IsValidDateTime(const DateTime& dt);

// Writes a date-time by a pattern of the tokens yyyy, mm, dd, hh, nn, ss; "mm" right
// after an hour token means minutes ("yyyy/mm/dd hh:mm:ss", "yyyymmddhhnnss").
// Every other character is copied.
std::string FormatDateTime(const DateTime& dt, std::string_view pattern);

// OLE Automation date: days since 1899-12-30 00:00, the time of day as the fraction
// (negative dates keep a positive time part: -1.25 is 1899-12-29 06:00).
double ToOleDate(const DateTime& dt);
// Rounded to the nearest second; nullopt for values outside years 100..9999 or NaN.
std::optional<DateTime> FromOleDate(double oleDate);

// Reads "yyyy/mm/dd" and "hh:mm:ss" (1- or 2-digit fields accepted); nullopt when the
// text is not a valid calendar date or time of day.
std::optional<DateTime> ParseDate(std::string_view text);
std::optional<DateTime> ParseTime(std::string_view text);

}  // namespace vantrel

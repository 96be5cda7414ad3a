// Numbers and dates as the program reads them from answers, files and text boxes:
// NumericValue / IsNumeric / the rounding helpers, ParseDate / ParseTime, FromOleDate.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "util/datetime.h"
#include "util/numbers.h"

using namespace vantrel;

namespace {

std::string_view StripBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// An OLE date on a straight day line: days plus the (always positive) time of day.
double Linear(double oleDate) {
  const double whole = std::trunc(oleDate);
  return whole + std::fabs(oleDate - whole);
}

void CheckOleDate(double oleDate) {
  const auto dt = FromOleDate(oleDate);
  if (!dt) return;
  FUZZ_CHECK(IsValidDateTime(*dt));
  // Rounded to the nearest second, never a day off.
  const double back = ToOleDate(*dt);
  FUZZ_CHECK(std::fabs(Linear(back) - Linear(oleDate)) <= 0.5 / 86400.0 + 1e-7);
  FUZZ_CHECK(FromOleDate(back) == dt);
}

void CheckNumber(std::string_view text) {
  const double value = NumericValue(text);
  // Where strtod reads a plain decimal number from the start of a terminated copy,
  // NumericValue reads the same digits and must give exactly its value.
  const std::string copy(StripBlanks(text));
  char* end = nullptr;
  const double expected = std::strtod(copy.c_str(), &end);
  const std::string_view read(copy.c_str(), static_cast<std::size_t>(end - copy.c_str()));
  if (IsNumeric(read)) {
    FUZZ_CHECK(value == expected);
    FUZZ_CHECK(std::signbit(value) == std::signbit(expected));
  }
  if (IsNumeric(text)) FUZZ_CHECK(read.size() == copy.size());
  FUZZ_CHECK(!std::isnan(value));
  const auto rounded = RoundHalfEven(value);
  if (std::fabs(value) < 1e15) FUZZ_CHECK(std::fabs(static_cast<double>(rounded) - value) <= 0.5);
  (void)RoundToInt16(value);
  (void)RoundToInt32(value);
  CheckOleDate(value);
}

void CheckDates(std::string_view text) {
  if (const auto date = ParseDate(text)) {
    FUZZ_CHECK(IsValidDateTime(*date));
    FUZZ_CHECK(ParseDate(FormatDateTime(*date, "yyyy/mm/dd")) == date);
    CheckOleDate(ToOleDate(*date));
  }
  if (const auto time = ParseTime(text)) {
    FUZZ_CHECK(ParseTime(FormatDateTime(*time, "hh:nn:ss")) == time);
  }
  (void)FormatDateTime(DateTime{2026, 1, 2, 3, 4, 5}, text.substr(0, 64));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);
  CheckNumber(text);
  CheckDates(text);
  if (size >= sizeof(double)) {
    double raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    CheckOleDate(raw);
  }
  return 0;
}

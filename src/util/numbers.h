#pragma once
// Reading numbers from instrument answers, files and text boxes, and rounding them.
// Everything here is locale-independent: "." is the decimal point everywhere.
#include <cstdint>
#include <string_view>

namespace vantrel {

// The leading number of a text: blanks skipped, optional sign, digits, decimal point,
// exponent; the first character that cannot continue the number ends it. A text
// without a leading number reads as 0. Too large a magnitude reads as +/-infinity,
// so callers clamp it like any other out-of-range value.
double NumericValue(std::string_view text);

// True when the whole text, blanks at both ends aside, is one valid number.
bool IsNumeric(std::string_view text);

// Nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Values beyond the 64-bit range saturate; NaN gives 0.
std::int64_t RoundHalfEven(double value);

// RoundHalfEven limited to the 16-bit and 32-bit signed ranges.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);

}  // namespace vantrel

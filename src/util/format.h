#pragma once
// Numbers written as the program shows them and sends them to the analyzer.
// Locale-independent: the decimal point is always ".".
#include <string>
#include <string_view>

namespace vantrel {

// Shortest general form: up to 15 significant digits for a double (7 for a single),
// trailing zeros dropped, no exponent between 1E-04 and 1E+15 ("-20", "2.5", "1500",
// "1E+20", "1.5E-05"). NaN and infinities are written "NaN", "Inf", "-Inf".
std::string FormatShortest(double value);
std::string FormatShortest(float value);

// Numeric format patterns of the form [#,0]*[.0*#*]: '0' a digit always written,
// '#' a digit written when needed, ',' in the integer part groups thousands.
// Halves round away from zero on the value's shortest decimal form, so 0.125 with
// "#0.00" gives "0.13". Examples: "#0.0", "#0.000##", "###,###.0", "#0.0##".
std::string FormatPattern(double value, std::string_view pattern);

}  // namespace vantrel

#pragma once
// Numbers as the simulated analyzer writes them in its answers and reads them in its
// commands.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::sim {

// Frequency in kHz with a spaced unit: "1000 kHz", "433920 kHz", "0.5 kHz".
std::string KhzText(double hz);
// Span in kHz, unit attached: "20000kHz".
std::string SpanText(double hz);
// Sweep time with the unit the instrument picks: "100 ms", "1.5 s", "200 us";
// four significant digits.
std::string SweepTimeText(double ms);
// A level or other value rounded to 0.01 in shortest form: "-20", "87.5".
std::string LevelText(double value);
// "<number> <unit>" with unit Hz, kHz, MHz or GHz (any case, space optional; MHz when
// absent) in whole hertz; nullopt when the text does not start with a number.
std::optional<std::int64_t> ParseFrequencyHz(std::string_view text);
// The answer without its trailing unit ("1000 kHz" -> "1000"); unchanged when it has none.
std::string StripUnit(std::string_view text);

}  // namespace vantrel::sim

#pragma once
// The graph's coordinate mappings: frequency to x, level to y, trace count to level.
// The data area is x 0..500 (trace point n at x = n) and y 0..1023 (bottom and top
// lines of the eight divisions). Frequencies are in MHz, scales in dB per division.
// Unusable inputs (zero ranges, zero scales, NaN) give the documented fall-backs and
// never divide by zero.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "commands/raw_trace.h"

namespace vantrel {

inline constexpr double kGraphRight = 500;  // x of the last trace point
inline constexpr double kGraphTop = 1023;   // y of the reference line
inline constexpr double kDbPerCount = 80.0 / 1023.0;
inline constexpr double kNoLevel = 99999;  // "no value at this point"

// Linear and logarithmic frequency axes on any start/stop pair; 0 (or start) when the
// range is empty or the logarithm is undefined.
double FreqToXLin(double start, double stop, double f);
double FreqToXLog(double start, double stop, double f);
double XToFreqLin(double start, double stop, double x);
double XToFreqLog(double start, double stop, double x);
// 1023 - (ref - level) / ((scale * 8) / 1023), not clamped; 0 for a zero scale.
double LevelToYRaw(double ref, double scale, double level);

// Span text such as "100MHz", "500KHz", "2.7GHz" in MHz: 0 without an "H", with a "0"
// before it, or with an unknown unit letter.
double SpanToMHz(const std::string& span);

// x of a frequency from the centre and the span text (centre at 250). 0 when the span
// has no "H" or a "0" before it; nullopt when the span parses to 0 MHz otherwise
// (unknown unit letter, zero value), which stops the limit-line drawing.
std::optional<float> LimiterX(double freqMHz, double center, const std::string& span);

// y of a level in the reference unit, not clipped; 0 when the scale is not above 0.
double LimiterY(double level, double refLevel, double scale);

// y at x on the line through (x1,y1) and (x2,y2); y1 when x1 equals x2.
double LineY(double x1, double y1, double x2, double y2, double x);

// (f - start) * 500 / (stop - start); 0 when stop equals start or the result is not finite.
double FreqToX(double f, double start, double stop);

// 1023 - 1023 / (scale * 8) * (ref - level), at most 1023; 0 when negative, when the
// scale is 0 or the result is not finite.
double LevelToY(double level, double refLevel, double scale);

// Level of a trace count: ref - (1023 - count) * dbPerCount, not capped.
double CountToLevel(double refLevel, double count, double dbPerCount = kDbPerCount);

// Level of trace point n: ref - (1023 - count) * dbPerCount, at most ref; kNoLevel for n
// outside the trace or a negative count.
double PointHeightTodBm(std::int16_t refLevel, int n, std::span<const std::int16_t> points,
                        double dbPerCount = kDbPerCount);

// True when centre -/+ span/2 equal start and stop exactly.
bool CheckFreqCorrect(double start, double center, double stop, const std::string& span);

// "500KHz", "150MHz", "2.7GHz": the unit chosen by size, shortest general form.
std::string FrequencyLabel(double mhz);

// The reference level in dBm for the "Amp Uncal" test: dBmV - 47, dBuV - 107.
double RefLevelInDbm(double refLevel, const std::string& unit);

}  // namespace vantrel

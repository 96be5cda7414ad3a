#include "display/graph_mapping.h"

#include <cmath>

#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

double FiniteOr(double value, double fallback) {
  return std::isfinite(value) ? value : fallback;
}

// The character before the first "H", upper-cased; '\0' when there is no "H" or
// nothing before it.
char UnitLetter(const std::string& span) {
  const int pos = Position(span, "H");
  if (pos <= 1) return '\0';
  return ToUpper(std::string(1, span[static_cast<std::size_t>(pos - 2)]))[0];
}

}  // namespace

double FreqToXLin(double start, double stop, double f) {
  if (stop == start) return 0;
  return FiniteOr((f - start) * kGraphRight / (stop - start), 0);
}

double FreqToXLog(double start, double stop, double f) {
  if (!(start > 0) || !(stop > 0) || !(f > 0) || stop == start) return 0;
  return FiniteOr(kGraphRight * std::log10(f / start) / std::log10(stop / start), 0);
}

double XToFreqLin(double start, double stop, double x) {
  return start + (stop - start) / kGraphRight * x;
}

double XToFreqLog(double start, double stop, double x) {
  if (!(start > 0) || !(stop > 0)) return start;
  return start * std::pow(10.0, x * std::log10(stop / start) / kGraphRight);
}

double LevelToYRaw(double ref, double scale, double level) {
  if (scale == 0) return 0;
  return FiniteOr(kGraphTop - (ref - level) / ((scale * 8) / kGraphTop), 0);
}

double SpanToMHz(const std::string& span) {
  if (!Contains(span, "H")) return 0;
  const double value = NumericValue(span);
  double mhz = 0;
  switch (UnitLetter(span)) {
    case 'K':
      mhz = value * 0.001;
      break;
    case 'M':
      mhz = value;
      break;
    case 'G':
      mhz = value * 1000;
      break;
    default:  // "0", "H" at the start, or an unknown letter
      mhz = 0;
  }
  return FiniteOr(mhz, 0);
}

std::optional<float> LimiterX(double freqMHz, double center, const std::string& span) {
  if (!Contains(span, "H") || UnitLetter(span) == '0') return 0.0f;
  const double mhz = SpanToMHz(span);
  if (mhz == 0) return std::nullopt;
  const double x = (freqMHz - center) / (mhz / kGraphRight) + 250;
  if (!std::isfinite(x)) return std::nullopt;
  return static_cast<float>(x);
}

double LimiterY(double level, double refLevel, double scale) {
  if (!(scale > 0)) return 0;
  return FiniteOr((level - (refLevel - 8 * scale)) * kGraphTop / (8 * scale), 0);
}

double LineY(double x1, double y1, double x2, double y2, double x) {
  if (x2 == x1) return y1;
  return y1 + (x - x1) * (y2 - y1) / (x2 - x1);
}

double FreqToX(double f, double start, double stop) {
  return FreqToXLin(start, stop, f);
}

double LevelToY(double level, double refLevel, double scale) {
  if (scale == 0) return 0;
  const double y = kGraphTop - kGraphTop / (scale * 8) * (refLevel - level);
  if (!std::isfinite(y) || y < 0) return 0;
  return y > kGraphTop ? kGraphTop : y;
}

double CountToLevel(double refLevel, double count, double dbPerCount) {
  return refLevel - (1023 - count) * dbPerCount;
}

double PointHeightTodBm(std::int16_t refLevel, int n, std::span<const std::int16_t> points,
                        double dbPerCount) {
  if (n < 0 || n >= kTracePoints || static_cast<std::size_t>(n) >= points.size()) return kNoLevel;
  const std::int16_t count = points[static_cast<std::size_t>(n)];
  if (count < 0) return kNoLevel;
  const double level = CountToLevel(refLevel, count, dbPerCount);
  return level > refLevel ? refLevel : level;
}

bool CheckFreqCorrect(double start, double center, double stop, const std::string& span) {
  const double mhz = SpanToMHz(span);
  return center - mhz / 2 == start && center + mhz / 2 == stop;
}

std::string FrequencyLabel(double mhz) {
  if (mhz < 1) return FormatShortest(mhz * 1000) + "KHz";
  if (mhz < 1000) return FormatShortest(mhz) + "MHz";
  return FormatShortest(mhz / 1000) + "GHz";
}

double RefLevelInDbm(double refLevel, const std::string& unit) {
  const std::string u = ToUpper(Trim(unit));
  if (u == "DBMV") return refLevel - 47;
  if (u == "DBUV") return refLevel - 107;
  return refLevel;
}

}  // namespace vantrel

#include "display/markers.h"

#include <cmath>

#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

constexpr double kRowStep = 60;
constexpr double kHeaderRow = -160;
constexpr double kFreqColumn = 90;
constexpr double kLevelColumn = 200;
constexpr double kDeltaTextOffset = 230;
constexpr double kDeltaFreqColumn = 358;
constexpr double kDeltaLevelColumn = 480;
constexpr double kMaxShownDelta = 9999;

int PointOf(const AnalyzerSettings& s, double frequency) {
  // Saturating, so a huge typed frequency lands off the trace rather than wrapping onto it.
  return RoundToInt32(FreqToX(frequency, s.FreqStart, s.FreqStop));
}

double LevelAt(const AnalyzerSettings& s, std::span<const std::int16_t> counts, double frequency) {
  return PointHeightTodBm(RoundToInt16(s.RefLevel), PointOf(s, frequency), counts);
}

// The reference marker a delta text names, when it names one.
std::optional<int> DeltaReference(const std::string& deltaText) {
  const std::string t = Trim(deltaText);
  if (t.empty() || ToUpper(t) == "N") return std::nullopt;
  const double r = NumericValue(t);
  if (r < 0 || r >= kMarkers || r != std::floor(r)) return std::nullopt;
  return static_cast<int>(r);
}

// A number as the graph prints it: a sign place in front, a space after.
std::string PrintedNumber(int n) {
  return (n < 0 ? "" : " ") + std::to_string(n) + " ";
}

}  // namespace

void PrintAligned(Canvas& target, double x, double y, const std::string& text) {
  const auto point = text.find('.');
  const std::string measured = point == std::string::npos ? text + "." : text.substr(0, point + 1);
  target.Text(x - target.TextWidth(measured), y, text);
}

void MarkerCalculate(Canvas* target, std::span<const std::int16_t> counts,
                     const AnalyzerSettings& settings, MarkerView& view) {
  auto& table = view.table;
  for (int i = 0; i < kMarkers; ++i) {
    if (view.rows[i].enabled) {
      table[i].frequency = NumericValue(view.rows[i].frequencyText);
      table[i].level = LevelAt(settings, counts, table[i].frequency);
    } else {
      view.handles[i].visible = false;
    }
  }
  for (int i = 0; i < kMarkers; ++i) {
    const auto r = DeltaReference(view.rows[i].deltaText);
    if (!r) continue;
    const double df =
        NumericValue(view.rows[*r].frequencyText) - NumericValue(view.rows[i].frequencyText);
    table[i + 5].frequency = static_cast<double>(RoundHalfEven(df * 1e6)) / 1e6;
    const double refLevel = LevelAt(settings, counts, table[*r].frequency);
    const double ownLevel = LevelAt(settings, counts, table[i].frequency);
    // Two missing levels must not show as a difference of 0.0.
    table[i + 5].level =
        (refLevel >= kNoLevel || ownLevel >= kNoLevel) ? kNoLevel : refLevel - ownLevel;
  }

  for (int i = 0; i < kMarkers; ++i) {
    const double y = kHeaderRow - kRowStep * (i + 1);
    const MarkerRow& row = view.rows[i];
    if (target) target->Text(target->TextWidth("M"), y, PrintedNumber(i));
    if (row.enabled) {
      if (target && table[i].frequency > 0) {
        PrintAligned(*target, kFreqColumn, y, FormatShortest(table[i].frequency));
      }
      view.handles[i].visible = false;
      if (table[i].level < kNoLevel) {
        if (target) PrintAligned(*target, kLevelColumn, y, FormatPattern(table[i].level, "#0.0"));
        const double hx = FreqToX(table[i].frequency, settings.FreqStart, settings.FreqStop);
        const double hy = LevelToY(table[i].level, settings.RefLevel, settings.Scale);
        if (hx >= 0 && hx <= kGraphRight && hy >= 0 && hy <= kGraphTop) {
          view.handles[i].x = hx;
          view.handles[i].y = hy;
        }
        view.handles[i].visible = true;
      }
    }
    const auto r = DeltaReference(row.deltaText);
    const bool bothEnabled = r && row.enabled && view.rows[*r].enabled;
    if (!target || !bothEnabled) continue;
    target->Text(target->TextWidth("D_") + kDeltaTextOffset, y, row.deltaText);
    PrintAligned(*target, kDeltaFreqColumn, y, FormatShortest(table[i + 5].frequency));
    if (std::fabs(table[i + 5].level) < kMaxShownDelta) {
      PrintAligned(*target, kDeltaLevelColumn, y, FormatPattern(table[i + 5].level, "#0.0"));
    }
  }
}

std::string MarkerFrequencyText(const AnalyzerSettings& settings, int n) {
  const double f = XToFreqLin(settings.FreqStart, settings.FreqStop, n);
  return f < 0 ? "0.000" : FormatPattern(f, "#0.000##");
}

int DropPoint(double x) {
  if (!(x > 0)) return 0;  // NaN too
  if (x > kDragRightLimit) x = kDragRightLimit;
  return static_cast<int>(RoundHalfEven(x));
}

std::optional<std::string> StepMarker(const AnalyzerSettings& settings, double handleX, int step) {
  const auto n = RoundHalfEven(handleX) + step;
  if (n < 0 || n > static_cast<std::int64_t>(kGraphRight)) return std::nullopt;
  return FormatPattern(XToFreqLin(settings.FreqStart, settings.FreqStop, static_cast<double>(n)),
                       "#0.000##");
}

std::optional<MarkerInputProblem> ValidateMarkerFrequency(const std::string& text,
                                                          double maxMHz) {
  if (!IsNumeric(text)) return MarkerInputProblem{"Please key in a numeric!", ""};
  const std::string top = FormatShortest(maxMHz);
  const std::string range =
      "Freq. range is from 0 to " + top + "MHz!\r\nPlease key in a correct number.";
  const double value = NumericValue(text);
  if (value < 0) return MarkerInputProblem{range, "0"};
  if (value > maxMHz) return MarkerInputProblem{range, top};
  return std::nullopt;
}

}  // namespace vantrel

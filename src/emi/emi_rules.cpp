#include "emi/emi_rules.h"

#include <algorithm>
#include <cmath>

#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

// The analyzer's RBW classes, compared in single precision: exactly 9 kHz and 120 kHz
// belong to the lower class.
constexpr float kRbw9k = 0.009f;
constexpr float kRbw120k = 0.12f;

struct Step {
  double spanUpTo;
  double ms;
};

double Lookup(std::span<const Step> table, double span) {
  for (const Step& s : table) {
    if (span <= s.spanUpTo) return s.ms;
  }
  return kMaxSettleMs;
}

constexpr Step kAvgNarrow[] = {{0.0001, 2630}, {0.0002, 5260}, {0.0005, 13150}, {0.001, 26300},
                               {0.015, 39450}, {0.15, 50000},  {0.2, 66660}};
constexpr Step kAvgWide[] = {{0.0001, 1640}, {0.001, 16400}, {0.0015, 24600}, {2, 31300},
                             {5, 78200}};
constexpr Step kQpNarrow[] = {{0.0001, 267}, {0.001, 2670}, {0.02, 26700}, {0.05, 66650}};
constexpr Step kQpWide[] = {{0.01, 982},  {0.02, 1964}, {0.05, 4910},  {0.075, 7365},
                            {0.1, 9820},  {0.2, 19640}, {0.5, 49100}};

// (stop - start) / RBW x 2, or 0 where the RBW is unusable.
double SweepRatioMs(double width, float rbwMHz) {
  if (!(rbwMHz > 0)) return 0;
  const double ms = width / rbwMHz * 2;
  return std::isfinite(ms) ? ms : kMaxSettleMs;
}

}  // namespace

float RbwInMHz(std::string_view answer) {
  const std::string unit = ToUpper(Trim(answer.substr(answer.size() < 3 ? 0 : answer.size() - 3)));
  const auto value = static_cast<float>(NumericValue(answer));
  if (unit == "KHZ") return value / 1000;
  if (unit == "MHZ") return value;
  return 0;
}

double ConductedSettleMs(const ScanBand& band, float rbwMHz) {
  return std::max(kMinSettleMs, SweepRatioMs(band.stop - band.start, rbwMHz));
}

double TwiceSweepSettleMs(double sweepTimeMs, double leastMs) {
  const double ms = 2 * sweepTimeMs;
  return std::isnan(ms) ? leastMs : std::clamp(ms, leastMs, kMaxSettleMs);
}

double SinglePointSettleMs(std::string_view detection, float rbwMHz,
                           const LimitStandard& standard) {
  const std::string det = ToLower(detection);
  const bool avg = det == "avg";
  const bool qp = det == "qp" || det == "qpeak";
  const double span = standard.span;
  double t = 0;
  if (!avg && !qp) {
    t = SweepRatioMs(standard.freqStop - standard.freqStart, rbwMHz);
  } else if (rbwMHz <= kRbw9k) {
    t = avg ? Lookup(kAvgNarrow, span) : Lookup(kQpNarrow, span);
  } else if (rbwMHz <= kRbw120k) {
    t = avg ? Lookup(kAvgWide, span) : Lookup(kQpWide, span);
  }
  const double ms = t * 1.2;
  return std::isnan(ms) ? kMinSettleMs : std::clamp(ms, kMinSettleMs, kMaxSettleMs);
}

std::string StatusMhz(double mhz) { return FormatShortest(mhz) + "MHz."; }

std::string SettleStatus(double ms) {
  return "Waitting " + FormatPattern(ms / 1000, "###,###.0") + " Sec for wave settle.";
}

void RaiseRawLevels(std::span<std::int16_t> raw, double refLevel) {
  if (!(refLevel < 57)) return;
  const auto lift = RoundHalfEven((57 - refLevel) * 1023 / 80);
  for (std::int16_t& v : raw) v = RoundToInt16(static_cast<double>(v) + static_cast<double>(lift));
}

std::string SetSpotWindow(LimitStandard& standard, double spotCenterMHz) {
  const bool radiated = spotCenterMHz > 30;
  double span = radiated ? 0.02 : 0.001;
  if (ToLower(standard.detection) == "avg") span = 0.0001;
  standard.center = spotCenterMHz;
  standard.span = span;
  standard.freqStart = std::max(0.0, spotCenterMHz - span / 2);
  standard.freqStop = std::min(3000.0, spotCenterMHz + span / 2);
  return radiated ? "Radiation" : "Conducted";
}

double ClampTypedRefLevel(double level) {
  if (std::isnan(level)) return -3;
  return std::clamp(level, -3.0, 127.0);
}

int ClampSpinRefLevel(int level) { return std::clamp(level, 77, 127); }

}  // namespace vantrel

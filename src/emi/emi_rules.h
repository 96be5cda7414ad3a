#pragma once
// The numbers of an EMI measurement: RBW from the analyzer's answer, settle times, the
// raw-level correction at low reference levels, the single-point window and the
// reference level limits.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "emi/limit_standard.h"

namespace vantrel {

inline constexpr double kMinSettleMs = 2000;
inline constexpr double kMaxSettleMs = 100000;

// "9KHz" -> 0.009, "1MHz" -> 1, anything else 0; single precision like the analyzer's.
float RbwInMHz(std::string_view answer);

// One band of the conducted scan: (stop - start) / RBW x 2, at least 2000 ms. A zero RBW
// gives the minimum.
double ConductedSettleMs(const ScanBand& band, float rbwMHz);

// Twice the sweep time, kept between `leastMs` and 100000 ms (`leastMs` for an unreadable
// sweep time).
double TwiceSweepSettleMs(double sweepTimeMs, double leastMs);
// Twice the sweep time, kept between 2000 and 100000 ms.
inline double RadiatedSettleMs(double sweepTimeMs) {
  return TwiceSweepSettleMs(sweepTimeMs, kMinSettleMs);
}

// The single-point settle time from the detector read back, the RBW and the standard's
// window (already multiplied by 1.2 and kept between 2000 and 100000 ms).
double SinglePointSettleMs(std::string_view detection, float rbwMHz, const LimitStandard& standard);

// The single-point test's own waits besides the settle time (settings, read-backs), for
// estimates of how long a series of them takes.
inline constexpr double kSinglePointFixedWaitsMs = 14000;

// A frequency as the status texts end with it: "150MHz."
std::string StatusMhz(double mhz);

// "Waitting 6.6 Sec for wave settle."
std::string SettleStatus(double ms);

// Raises every raw value by the counts the reference level lies below 57 dBuV.
void RaiseRawLevels(std::span<std::int16_t> raw, double refLevel);

// Centres the standard's window on the spot frequency; returns the mode it calls for,
// "Conducted" up to 30 MHz, "Radiation" above.
std::string SetSpotWindow(LimitStandard& standard, double spotCenterMHz);

// txtReflvl when the focus leaves it: -3..127 dBuV. updRefLvl: 77..127.
double ClampTypedRefLevel(double level);
int ClampSpinRefLevel(int level);

}  // namespace vantrel

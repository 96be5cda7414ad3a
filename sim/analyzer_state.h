#pragma once
// Every setting of the simulated 3 GHz analyzer, as the instrument keeps it.
// Frequencies are whole hertz so start, centre, stop and span stay exactly consistent;
// the answers give them in kHz.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/signal_scene.h"

namespace vantrel::sim {

inline constexpr int kTracePoints = 501;
inline constexpr int kStoredTraceSlots = 100;
inline constexpr std::int64_t kMaxFreqHz = 3'000'000'000;
inline constexpr std::int64_t kMinSpanHz = 10'000;
// Below this reference level the counts stay relative to it (the low-reference quirk).
inline constexpr double kLowestCountReferenceDbm = -50.0;

// Resolution and video bandwidth tables, by index.
inline constexpr std::array<double, 9> kRbwTableHz{300,   3e3,   9e3,   10e3, 30e3,
                                                   100e3, 120e3, 300e3, 4e6};
inline constexpr std::array<double, 11> kVbwTableHz{10,   30,   100,   300,   1e3, 3e3,
                                                    10e3, 30e3, 100e3, 300e3, 1e6};

enum class AmplitudeUnit { Dbm = 1, Dbmv = 2, Dbuv = 3 };

struct LiveTrace {
  bool present = true;
  int mode = 0;  // 0..3, sent in the top two bits of the status byte
};

struct LimitPoint {
  double freqMHz = 0;
  double levelDbm = 0;
};

struct AnalyzerState {
  // Top of the frequency range (the 2.7 GHz model stops lower).
  std::int64_t maxHz = kMaxFreqHz;
  double refLevelDbm = 0;  // kept in dBm, answered in the current unit
  AmplitudeUnit unit = AmplitudeUnit::Dbm;
  int scaleCode = 1;  // 1 = 10, 2 = 5, 3 = 2, 4 = 1 dB/div
  std::int64_t startHz = 0;
  std::int64_t stopHz = kMaxFreqHz;
  int rbwIndex = 8;
  bool rbwAuto = true;
  int vbwIndex = 10;
  bool vbwAuto = true;
  // A sweep time the instrument reports instead of its own (e.g. 0.2 for "200 us").
  std::optional<double> sweepTimeOverrideMs;
  int detectorCode = 1;
  bool markerOn = false;
  int selectedMarker = 1;
  std::int64_t markerHz = 1'500'000'000;
  int serviceRequestEnable = 0;  // "*sre" mask
  std::array<LiveTrace, 3> live{LiveTrace{true, 0}, LiveTrace{true, 1}, LiveTrace{true, 2}};
  int selectedStoredSlot = 1;  // 1..100
  // Stored traces 1..100 (index 0 = slot 1): raw 16-bit words as the instrument keeps
  // them; values above 32767 stand for negative counts. All zeros = empty slot.
  std::vector<std::array<std::uint16_t, kTracePoints>> stored =
      std::vector<std::array<std::uint16_t, kTracePoints>>(kStoredTraceSlots);
  std::vector<LimitPoint> upperLimit;
  std::vector<LimitPoint> lowerLimit;

  double CentreHz() const { return static_cast<double>(startHz + stopHz) / 2.0; }
  std::int64_t SpanHz() const { return stopHz - startHz; }
};

}  // namespace vantrel::sim

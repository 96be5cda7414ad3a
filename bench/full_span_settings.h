#pragma once
// The analyzer's settings for a full 0-3 GHz view, as the benchmarks paint it.
#include "commands/analyzer_settings.h"

namespace vantrel {

inline void SetFullSpanSettings(AnalyzerSettings& s, double refDbm) {
  s.RefLevel = static_cast<float>(refDbm);
  s.RefUnit = "dBm";
  s.Scale = 10;
  s.FreqStart = 0;
  s.FreqStop = 3000;
  s.FreqCenter = 1500;
  s.Span = "3GHz";
  s.RBW = "4MHz";
  s.VBW = "1MHz";
  s.SweepTime = "100 ms";
  s.RBWMode = "AUTO";
  s.VBWMode = "AUTO";
  s.TimeStamp = "2026/12/08 17:30:00";
}

}  // namespace vantrel

#pragma once
// The EMI measurements: the conducted scan band by band, the radiated scan over the
// standard's range and the single-point test, each a fixed order of analyzer commands
// and waits that ends in points in dBuV.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "commands/analyzer_commands.h"
#include "commands/analyzer_settings.h"
#include "emi/emi_point.h"
#include "emi/limit_standard.h"

namespace vantrel {

// What the analyzer reported during the last measurement, for the graph's header.
struct EmiHeader {
  std::string rbw;
  std::string detection;
  std::string timeStamp;  // "yyyy/mm/dd hh:mm:ss" of the start
  std::string ampUnit;
  float refLevel = 0;
  std::string vbw;
  std::string sweepTime;
};

// Appends the 501 points of one band in dBuV: frequencies across the band, levels from the
// raw counts at the reference level (rounded), each point keeping the count it came from.
void AppendBandPoints(const ScanBand& band, double refLevel, std::span<const std::int16_t> raw,
                      std::vector<EmiPoint>& trace);

// The analyzer settings a measurement ran with, as the wave text file records them.
AnalyzerSettings MeasuredSettings(const EmiHeader& header, double scale);

struct EmiResults {
  std::vector<EmiPoint> trace;  // bands x 501 points (conducted) or 501
  EmiTrace markerPoints{};      // the radiated and single-point sweeps' 501 points
  EmiHeader header;
  // The EMI reference level the measurement was taken with: its counts lie below it.
  double refLevel = 107;
  std::vector<std::int16_t> liveBuffer;  // radiated and single-point sweeps
  std::vector<std::int16_t> bandBuffer;  // each band of the conducted scan
};

enum class EmiOutcome { Done, Stopped, Busy, NothingToMeasure };

// What the status bar says when a measurement ends before its last step.
inline constexpr const char* kEmiStoppedStatus =
    "The EMI measurement was stopped; the previous measurement is kept.";

class EmiSequences {
 public:
  explicit EmiSequences(AnalyzerCommands& commands);

  // True once the user disconnected: the sequence ends before its next step.
  std::function<bool()> stopped = [] { return false; };

  // Each measurement runs on its own copy of the standard (detector, range, bands) and of
  // the reference level, whatever happens to the caller's while it waits. `out` gets the
  // new measurement only when it is complete; one that ends early leaves `out` as it was.
  EmiOutcome RunConductedScan(LimitStandard standard, double refLevel, EmiResults& out);
  EmiOutcome RunRadiatedScan(LimitStandard standard, double refLevel, EmiResults& out);
  // The standard's window must already be the spot window (SetSpotWindow).
  EmiOutcome RunSinglePointTest(LimitStandard standard, double refLevel, EmiResults& out);

  bool Running() const { return running_; }

 private:
  template <typename Body>
  EmiOutcome Guarded(double refLevel, EmiResults& out, Body&& body);
  void Status(const std::string& text);
  void Wait(double ms);
  void CheckStop();
  // Scale, unit dBuV and the reference level, each with its wait.
  void ScaleUnitAndReference(const LimitStandard& standard, double refLevel,
                             double waitAfterReference);
  void Settings(const LimitStandard& standard, double refLevel, const std::string& rbw,
                EmiHeader& header, double waitAfterDetection);
  float ReadRbw(EmiHeader& header, double waitMs);
  void SetRange(double start, double stop, double current);
  void Settle(double ms);
  void Transfer(std::vector<std::int16_t>& buffer, double refLevel, double waitMs);
  void ReadBack(EmiHeader& header);
  // The status bar's progress: `done` of `total`; total 0 = unknown; done < 0 hides it.
  void Progress(double done, double total);
  void Fill501(const LimitStandard& standard, double refLevel, EmiResults& out);

  AnalyzerCommands& commands_;
  bool running_ = false;
};

}  // namespace vantrel

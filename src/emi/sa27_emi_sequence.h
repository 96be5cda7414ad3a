#pragma once
// The older 2.7 GHz analyzer's only EMI measurement: the standard's bands one after the
// other (its whole range as one band when it has none), each swept at the standard's RBW
// and converted to dBuV. The analyzer's own clock gives the time stamp.
#include <functional>

#include "commands/sa27_commands.h"
#include "emi/emi_sequences.h"
#include "emi/limit_standard.h"

namespace vantrel {

// Settle time of one band: twice the sweep time, at least 3000 ms, and never longer
// than the longest settle the program waits for.
double Sa27SettleMs(double sweepTimeMs);

class Sa27EmiSequence {
 public:
  explicit Sa27EmiSequence(Sa27Commands& commands) : commands_(commands) {}

  // True once the user closed the window or the port: the sequence ends before its next step.
  std::function<bool()> stopped = [] { return false; };

  // `out` changes only when the measurement completes; a link that fails on the way
  // leaves the previous measurement and says so.
  EmiOutcome Run(const LimitStandard& standard, double refLevel, EmiResults& out);

 private:
  void Status(const std::string& text);
  void Wait(double ms);
  void CheckLink();
  // One band into `measured`: its points, and its sweep time for the graph's header.
  void MeasureBand(const ScanBand& band, double refLevel, EmiResults& measured);
  void ReadBack(EmiHeader& header);

  Sa27Commands& commands_;
  bool running_ = false;
};

}  // namespace vantrel

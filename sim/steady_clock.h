#pragma once
// A real-time Clock for the simulator's stand-alone uses (vantrel-sim, the stand-in
// GPIB library): a monotonic counter, real sleeps, the local calendar time.
#include "link/clock.h"

namespace vantrel::sim {

class SteadyClock : public Clock {
 public:
  std::uint32_t NowMs() override;
  void ProcessEvents() override {}
  void Sleep(int ms) override;
  DateTime LocalNow() override;
};

}  // namespace vantrel::sim

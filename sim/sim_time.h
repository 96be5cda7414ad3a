#pragma once
// A 64-bit millisecond time line over the program's wrapping 32-bit Clock counter, so
// the simulated links can schedule answers without caring about the wrap.
#include <cstdint>

#include "link/clock.h"

namespace vantrel::sim {

class SimTime {
 public:
  explicit SimTime(Clock& clock) : clock_(clock), last_(clock.NowMs()) {}
  std::int64_t Now() {
    const std::uint32_t now = clock_.NowMs();
    total_ += ElapsedMs(last_, now);
    last_ = now;
    return total_;
  }
  Clock& GetClock() { return clock_; }

 private:
  Clock& clock_;
  std::uint32_t last_;
  std::int64_t total_ = 0;
};

}  // namespace vantrel::sim

#pragma once
// A clock whose time moves only when the program sleeps: a 20 s sequence runs in
// milliseconds, and waits are exact and repeatable. Used by tests, benchmarks and
// the in-process simulated analyzer.
#include <cstdint>
#include <functional>

#include "link/clock.h"

namespace vantrel {

class VirtualClock : public Clock {
 public:
  explicit VirtualClock(std::uint32_t startMs = 0) : now_(startMs) {}

  std::uint32_t NowMs() override { return now_; }
  void ProcessEvents() override {
    ++eventRounds_;
    if (onEvents) onEvents();
  }
  void Sleep(int ms) override {
    if (ms > 0) {
      now_ += static_cast<std::uint32_t>(ms);
      sleptMs_ += static_cast<std::uint64_t>(ms);
    }
  }
  DateTime LocalNow() override;

  void Advance(std::uint32_t ms) { now_ += ms; }
  std::uint64_t SleptMs() const { return sleptMs_; }
  std::uint64_t EventRounds() const { return eventRounds_; }
  // Calendar time at counter 0 of this clock; LocalNow() adds the elapsed seconds.
  DateTime epoch{2026, 1, 2, 3, 4, 5};

  // Runs whenever the program lets events run: a test's stand-in for user clicks.
  std::function<void()> onEvents;

 private:
  std::uint32_t now_;
  std::uint64_t sleptMs_ = 0;
  std::uint64_t eventRounds_ = 0;
};

}  // namespace vantrel

#pragma once
// The program's sense of time. Every timed step waits through WaitMs, which lets
// pending window events run, so the window stays responsive during a wait.
#include <cstdint>

#include "util/datetime.h"

namespace vantrel {

// Milliseconds from `start` to `now` on the wrapping counter.
constexpr std::uint32_t ElapsedMs(std::uint32_t start, std::uint32_t now) {
  return now - start;  // unsigned arithmetic is exact across the wrap
}

class Clock {
 public:
  virtual ~Clock() = default;
  // Free-running 32-bit millisecond counter; it wraps after about 49.7 days.
  virtual std::uint32_t NowMs() = 0;
  // Lets pending window events run (clicks, timer ticks) and returns.
  virtual void ProcessEvents() = 0;
  // Gives the processor away for about `ms` milliseconds.
  virtual void Sleep(int ms) = 0;
  // Local calendar date and time, for time stamps and file names.
  virtual DateTime LocalNow() = 0;
  // Waits `ms` milliseconds: events processed, 10 ms sleeps. 0 or less returns at once.
  // Every prescribed wait comes through here, so a wrapper can see what was asked.
  virtual void WaitMs(double ms) {
    if (!(ms > 0)) return;
    const std::uint32_t start = NowMs();
    while (static_cast<double>(ElapsedMs(start, NowMs())) < ms) {
      ProcessEvents();
      Sleep(10);
    }
  }
};

// clock.WaitMs(ms), the form the program's steps are written in.
inline void WaitMs(Clock& clock, double ms) {
  clock.WaitMs(ms);
}

}  // namespace vantrel

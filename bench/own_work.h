#pragma once
// The program's own work in a step that waits through a CountingClock. On a real clock
// the waits take real time, so own work = real time - waits asked; on the virtual clock
// they take none, so the real time is all own work. Counters, per step:
//   prescribed_wait_ms  the waits the program asked for
//   measured_ms         the real time the step took
//   own_work_ms         the real time not spent in those waits
#include <benchmark/benchmark.h>

#include <chrono>

#include "link/counting_clock.h"

namespace vantrel::bench {

class OwnWork {
 public:
  enum class Waits { TakeRealTime, AreVirtual };
  OwnWork(CountingClock& clock, Waits waits) : clock_(clock), waits_(waits) {}

  // Runs one step and returns its real time in milliseconds.
  template <class Step>
  double Run(Step&& step) {
    const double asked = clock_.AskedMs();
    const auto start = std::chrono::steady_clock::now();
    step();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    realMs_ += ms;
    askedMs_ += clock_.AskedMs() - asked;
    ++steps_;
    return ms;
  }

  void Report(benchmark::State& state) const {
    if (steps_ == 0) return;
    const double n = steps_;
    const double own = waits_ == Waits::TakeRealTime ? realMs_ - askedMs_ : realMs_;
    state.counters["prescribed_wait_ms"] = askedMs_ / n;
    state.counters["measured_ms"] = realMs_ / n;
    state.counters["own_work_ms"] = own / n;
  }

 private:
  CountingClock& clock_;
  Waits waits_;
  double realMs_ = 0;
  double askedMs_ = 0;
  int steps_ = 0;
};

}  // namespace vantrel::bench

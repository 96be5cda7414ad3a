#pragma once
// A clock that passes everything on to another one and adds up the waits the program
// asks for (WaitMs and direct sleeps), so a measurement can tell the prescribed waiting
// from the program's own work: own work = elapsed time - waits asked.
#include "link/clock.h"

namespace vantrel {

class CountingClock : public Clock {
 public:
  explicit CountingClock(Clock& inner) : inner_(inner) {}

  std::uint32_t NowMs() override { return inner_.NowMs(); }
  void ProcessEvents() override { inner_.ProcessEvents(); }
  void Sleep(int ms) override {
    if (ms > 0) askedMs_ += ms;
    inner_.Sleep(ms);
  }
  DateTime LocalNow() override { return inner_.LocalNow(); }
  // The wrapped clock runs the whole wait, so its 10 ms sleeps are not counted again.
  void WaitMs(double ms) override {
    if (ms > 0) askedMs_ += ms;
    inner_.WaitMs(ms);
  }

  // Milliseconds of waiting asked for since construction.
  double AskedMs() const { return askedMs_; }

 private:
  Clock& inner_;
  double askedMs_ = 0;
};

}  // namespace vantrel

#pragma once
// The production clock: a monotonic millisecond counter, Qt's event processing and a
// real sleep, so waits keep the window alive without spinning the processor.
#include <QElapsedTimer>

#include "link/clock.h"

namespace vantrel {

class QtClock : public Clock {
 public:
  QtClock();
  std::uint32_t NowMs() override;
  void ProcessEvents() override;
  void Sleep(int ms) override;
  DateTime LocalNow() override;

 private:
  QElapsedTimer timer_;
};

}  // namespace vantrel

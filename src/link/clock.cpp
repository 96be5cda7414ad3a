#include "link/clock.h"

namespace vantrel {

void WaitMs(Clock& clock, double ms) {
  if (!(ms > 0)) return;
  const std::uint32_t start = clock.NowMs();
  while (static_cast<double>(ElapsedMs(start, clock.NowMs())) < ms) {
    clock.ProcessEvents();
    clock.Sleep(10);
  }
}

}  // namespace vantrel

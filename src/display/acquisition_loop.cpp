#include "display/acquisition_loop.h"

#include <cstdint>
#include <optional>

#include "util/numbers.h"

namespace vantrel {

int RunAcquisition(Clock& clock, const AcquisitionHooks& hooks,
                   const std::function<double()>& samplingRate, int limitSeconds) {
  int count = 0;
  const std::uint32_t start = clock.NowMs();
  if (hooks.clearStopRequested) hooks.clearStopRequested();
  if (hooks.flushSerial) hooks.flushSerial();
  std::optional<std::uint32_t> lastSample;
  for (;;) {
    if (!hooks.buttonDown()) return count;
    const std::uint32_t now = clock.NowMs();
    const double elapsed = ElapsedMs(start, now);
    const double average = static_cast<double>(RoundHalfEven(elapsed / (count + 1)));
    const double interval = samplingRate() * 1000;
    // The average keeps a slow link from being asked again at once; the second rule
    // lets a sample come up to a tenth of a second early.
    const bool wait =
        lastSample && (interval > average || interval - 99 > ElapsedMs(*lastSample, now));
    if (wait) {
      WaitMs(clock, 100);
    } else {
      if (hooks.clearStopRequested) hooks.clearStopRequested();
      lastSample = clock.NowMs();
      if (hooks.flushSerial) hooks.flushSerial();
      hooks.refresh(count == 0);
      if (hooks.stopRequested && hooks.stopRequested()) return count;
      if (hooks.drawGrid) hooks.drawGrid();
      if (hooks.sampled) hooks.sampled(count);
      ++count;
    }
    if (limitSeconds >= 1 && hooks.progress) hooks.progress(elapsed / 1000, limitSeconds);
    if (limitSeconds >= 1 && elapsed / 1000 > limitSeconds + 0.1 && hooks.limitReached) {
      hooks.limitReached();
    }
  }
}

}  // namespace vantrel

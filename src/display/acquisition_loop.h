#pragma once
// The sampling loop of continuous acquisition, shared by the recording and by Live: the
// pacing by the sampling rate, the stop request after a refresh and the time limit.
#include <functional>

#include "link/clock.h"

namespace vantrel {

struct AcquisitionHooks {
  // The acquisition's button is still down (a second click releases it).
  std::function<bool()> buttonDown;
  // Empties the serial receive buffer.
  std::function<void()> flushSerial;
  // The refresh: traces, and the settings too on the first sample.
  std::function<void(bool withSettings)> refresh;
  // Set by a disconnect or a lost link; cleared before each sample.
  std::function<bool()> stopRequested;
  std::function<void()> clearStopRequested;
  std::function<void()> drawGrid;
  // A sample was taken and drawn; `index` counts from 0. Runs before the count grows.
  std::function<void(int index)> sampled;
  // With a time limit: the seconds since the start, at every pass.
  std::function<void(double seconds, int limitSeconds)> progress;
  // The time limit was reached (checked at every pass once it has passed).
  std::function<void()> limitReached;
};

// Runs from the first sample until the button is up or a refresh ended by a stop
// request. `samplingRate` (seconds) is read at every pass; `limitSeconds` below 1 means
// no limit. Returns the number of samples counted.
int RunAcquisition(Clock& clock, const AcquisitionHooks& hooks,
                   const std::function<double()>& samplingRate, int limitSeconds);

}  // namespace vantrel

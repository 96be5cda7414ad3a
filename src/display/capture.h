#pragma once
// The toolbar's one-shot capture in spectrum-analyzer mode, and the stored-trace
// index box and colour swatch checks that go with the trace display.
#include <functional>
#include <optional>
#include <string>

#include "display/display_state.h"
#include "display/trace_refresh.h"
#include "util/notifier.h"

namespace vantrel {

struct CaptureHooks {
  std::function<void()> toolbarWorking;
  std::function<void()> toolbarIdle;
  std::function<void()> resetRecordCount;  // RecordCount := 0
  // Clears StopRequested and empties the serial receive buffer.
  std::function<void()> clearStopAndBuffer;
  std::function<void()> drawGrid;  // DrawGrid(Pic1)
  std::function<void()> copySettingsToControls;
};

// One refresh of traces and settings and one repaint; nothing when the serial port is
// closed and "COM port" is selected. Returns whether it ran.
bool Capture(TraceRefresh& refresh, DisplayState& state, Notifier& notifier,
             const CaptureHooks& hooks);

// The index box Text1 on leaving it: a value outside 1..100 shows the range message,
// puts back the index of the last stored trace fetched into `text` and returns false
// (the focus stays in the box).
bool ValidateStoredIndex(std::string& text, const DisplayState& state, Notifier& notifier);

// The swatch Label3: the colour chosen in `dialog` (nullopt = cancelled) becomes the
// stored-trace colour; a cancel changes nothing.
void PickStoredColor(DisplayState& state, const std::function<std::optional<Rgb>()>& dialog);

}  // namespace vantrel

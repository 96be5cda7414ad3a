#include "display/capture.h"

#include "util/numbers.h"

namespace vantrel {

bool Capture(TraceRefresh& refresh, DisplayState& state, Notifier& notifier,
             const CaptureHooks& hooks) {
  const bool serial =
      !refresh.hooks.selectedKind || refresh.hooks.selectedKind() == ConnectionKind::ComPort;
  if (serial && !(refresh.hooks.serialOpen && refresh.hooks.serialOpen())) return false;

  notifier.SetBusy(true);
  if (hooks.toolbarWorking) hooks.toolbarWorking();
  if (hooks.resetRecordCount) hooks.resetRecordCount();
  if (hooks.clearStopAndBuffer) hooks.clearStopAndBuffer();
  refresh.GetTrace(true, true);
  if (hooks.drawGrid) hooks.drawGrid();
  for (RawTrace& t : state.storedTraces) t.SetValid(false);
  if (hooks.copySettingsToControls) hooks.copySettingsToControls();
  if (hooks.toolbarIdle) hooks.toolbarIdle();
  notifier.SetBusy(false);
  return true;
}

bool ValidateStoredIndex(std::string& text, const DisplayState& state, Notifier& notifier) {
  const double value = NumericValue(text);
  if (value >= 1 && value <= 100) return true;
  notifier.ShowMessage("Index range is from 1 to 100!\r\nPlease key in a correct number.",
                       MessageIcon::None);
  text = state.lastStoredIndexText;
  return false;
}

void PickStoredColor(DisplayState& state, const std::function<std::optional<Rgb>()>& dialog) {
  if (!dialog) return;
  if (const std::optional<Rgb> chosen = dialog()) state.storedColor = *chosen & 0xFFFFFF;
}

}  // namespace vantrel

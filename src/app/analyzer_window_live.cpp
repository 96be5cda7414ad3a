// The analyzer window's Live sweep: the recording's acquisition loop with its pacing,
// refreshing the graph without writing a file.
#include "app/analyzer_window.h"
#include "app/control_panel.h"
#include "display/acquisition_loop.h"

namespace vantrel {

void AnalyzerWindow::ToggleLive() {
  // A second press leaves the button up; the running loop sees it at its next pass.
  if (!Down("btnLive") || liveRunning_) return;
  if (EmiMode() || !Down("btnOpenCOM") || Down("btnGetTrace") || Down("btnDrawPCStored")) {
    toolbar_["btnLive"].down = false;
    SyncToolbar();
    return;
  }
  liveRunning_ = true;
  toolbar_.SetLive(true);
  SyncToolbar();

  AcquisitionHooks hooks;
  hooks.buttonDown = [this] {
    return Down("btnLive") && Down("btnOpenCOM") && !EmiMode() && !Down("btnGetTrace") &&
           !state_.closing;
  };
  hooks.flushSerial = [this] { transport_.receiveBuffer.clear(); };
  hooks.refresh = [this](bool withSettings) {
    const RefreshResult result = refresh_.GetTrace(true, withSettings);
    if (result != RefreshResult::Done && result != RefreshResult::TraceCheckFailed) return;
    if (withSettings) control_->CopySettingsToControls();
    AddSweepToWaterfall(0);
  };
  hooks.stopRequested = [this] { return transport_.stopRequested; };
  hooks.clearStopRequested = [this] { transport_.stopRequested = false; };
  hooks.drawGrid = [this] { DrawGrid(); };
  RunAcquisition(
      links_.clock, hooks, [this] { return SamplingRate(); }, 0);

  liveRunning_ = false;
  toolbar_["btnLive"].down = false;
  toolbar_.SetLive(false);
  SyncToolbar();
  // Recording was pressed while Live ran: it starts now, on the loop Live gave up.
  if (Down("btnGetTrace") && Down("btnOpenCOM") && !state_.closing) {
    DispatchToolbar(QStringLiteral("btnGetTrace"));
  }
}

bool AnalyzerWindow::StopLive() {
  if (!liveRunning_) return false;
  toolbar_["btnLive"].down = false;
  if (refresh_.TraceBusy) transport_.stopRequested = true;
  SyncToolbar();
  return true;
}

}  // namespace vantrel

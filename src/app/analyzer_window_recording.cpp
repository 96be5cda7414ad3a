// The analyzer window's "Recording" and "Play back from PC": the recording controller
// gets the few window operations it needs.
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>

#include "app/analyzer_window.h"
#include "app/marker_panel.h"
#include "app/recording_controller.h"
#include "app/setting_panel.h"
#include "app/toolbar_icons.h"
#include "platform/durable_record_store.h"

namespace vantrel {

void AnalyzerWindow::WireRecording() {
  if (!recordStore_) recordStore_ = std::make_unique<DurableRecordStore>();
  recording_ = std::make_unique<RecordingController>(links_.clock, links_.notifier, state_,
                                                     *recordStore_);
  chooseRecording = [this] {
    return QFileDialog::getOpenFileName(this, QString(), QString(),
                                        QStringLiteral("SA Recording(*.sp3)"));
  };
  RecordingWindow& w = recording_->window;
  w.recordingDown = [this] { return Down("btnGetTrace"); };
  w.playbackDown = [this] { return Down("btnDrawPCStored"); };
  w.emiMode = [this] { return EmiMode(); };
  w.leaveEmiMode = [this] {
    toolbar_["btnEMCMode"].down = false;
    ApplyMode();
  };
  w.closing = [this] { return state_.closing; };
  w.refresh = [this](bool withSettings) {
    const RefreshResult result = refresh_.GetTrace(true, withSettings);
    if (result == RefreshResult::Done || result == RefreshResult::TraceCheckFailed) {
      AddSweepToWaterfall(0);
    }
  };
  w.flushSerial = [this] { transport_.receiveBuffer.clear(); };
  w.stopRequested = [this] { return transport_.stopRequested; };
  w.clearStopRequested = [this] { transport_.stopRequested = false; };
  w.drawGrid = [this] { DrawGrid(); };
  w.endRecordingUi = [this] {
    toolbar_["btnGetTrace"].down = false;
    toolbar_.SetAcquiring(false);
    SyncToolbar();
  };
  w.recordingPeak = [this] { return setting_->chkRecordingPeak->isChecked(); };
  w.peakSearch = [this] {
    marker_->AllToPeaks();
    std::array<PeakMarker, 5> peaks{};
    const MarkerTable& table = marker_->View().table;
    for (std::size_t i = 0; i < peaks.size(); ++i) {
      peaks[i] = {table[i].frequency, table[i].level};
    }
    return peaks;
  };
  w.samplingRate = [this] { return SamplingRate(); };
  w.limitSeconds = [this] { return recordingLimitSeconds_; };
  w.folder = [this] { return setting_->RecordFolder.toStdString(); };
  w.chooseRecording = [this] { return chooseRecording ? chooseRecording() : QString(); };
  w.releasePlayback = [this] {
    toolbar_["btnDrawPCStored"].down = false;
    toolbar_.SetPlayingBack(false);
    SyncToolbar();
  };
  // A played recording starts the waterfall afresh; its rows know their records.
  w.playbackStarting = [this] { history_.Clear(); };
  w.recordShown = [this](std::uint64_t number) { AddSweepToWaterfall(number); };
  refresh_.hooks.appendRecord = [this] { recording_->AppendRecording(); };
}

}  // namespace vantrel

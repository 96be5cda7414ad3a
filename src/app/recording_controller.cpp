#include "app/recording_controller.h"

#include "files/sp3_file.h"
#include "util/notifier.h"

namespace vantrel {

RecordingController::RecordingController(Clock& clock, Notifier& notifier, DisplayState& state,
                                         RecordStore& store)
    : clock_(clock), notifier_(notifier), state_(state), store_(store),
      recorder_(clock, store, notifier, state) {}

void RecordingController::ToggleRecording(const DateTime& startTime) {
  if (!window.recordingDown()) {
    window.endRecordingUi();
    return;
  }
  if (window.emiMode()) return;  // EMI mode records nothing
  RecorderHooks& h = recorder_.hooks;
  h.buttonDown = window.recordingDown;
  h.flushSerial = window.flushSerial;
  h.refresh = window.refresh;
  h.stopRequested = window.stopRequested;
  h.clearStopRequested = window.clearStopRequested;
  h.drawGrid = window.drawGrid;
  h.recordingPeak = window.recordingPeak;
  h.peakSearch = window.peakSearch;
  h.limitReached = window.endRecordingUi;
  recorder_.Run(window.samplingRate, window.limitSeconds(), window.folder(), startTime);
}

void RecordingController::PlayBackFromPc() {
  if (!window.playbackDown()) return;
  const QString chosen = window.chooseRecording ? window.chooseRecording() : QString();
  if (!chosen.isEmpty()) {
    const std::string path = chosen.trimmed().toStdString();
    if (IsRecordingFileName(path)) {
      if (window.emiMode()) window.leaveEmiMode();
      lastPlayedPath_ = path;
      if (window.playbackStarting) window.playbackStarting();
      std::uint64_t shown = 0;
      PlayerHooks hooks;
      hooks.buttonDown = window.playbackDown;
      hooks.closing = window.closing;
      hooks.samplingRate = window.samplingRate;
      hooks.show = [this, &shown](const Sp3Record& record) {
        ApplySp3Record(record, state_.liveTraces, state_.settings);
        // Records are played in order from the first.
        if (window.recordShown) window.recordShown(++shown);
        window.drawGrid();
      };
      const PlayResult result = PlayRecording(clock_, store_, path, hooks);
      if (!result.ok) notifier_.ShowMessage(result.message, MessageIcon::Critical);
    } else {
      notifier_.ShowMessage("Unknew File Type!", MessageIcon::Warning);
    }
  }
  if (!window.closing()) window.releasePlayback();
}

}  // namespace vantrel

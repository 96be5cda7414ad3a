#pragma once
// The analyzer window's recording and playback: the toolbar's "Recording" and "Play back
// from PC" run here, on the recorder and player of the files layer, through the few
// window operations they need.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "files/player.h"
#include "files/recorder.h"

namespace vantrel {

struct RecordingWindow {
  std::function<bool()> recordingDown;  // btnGetTrace
  std::function<bool()> playbackDown;   // btnDrawPCStored
  std::function<bool()> emiMode;
  std::function<void()> leaveEmiMode;   // btnEMCMode up and ApplyMode
  std::function<bool()> closing;
  std::function<void(bool withSettings)> refresh;
  std::function<void()> flushSerial;
  std::function<bool()> stopRequested;
  std::function<void()> clearStopRequested;
  std::function<void()> drawGrid;
  std::function<void()> endRecordingUi;  // btnGetTrace up, toolbar restored
  std::function<bool()> recordingPeak;
  std::function<std::array<PeakMarker, 5>()> peakSearch;
  std::function<double()> samplingRate;
  std::function<int()> limitSeconds;
  std::function<std::string()> folder;
  std::function<QString()> chooseRecording;  // the open-file dialog; empty when cancelled
  std::function<void()> releasePlayback;     // btnDrawPCStored up
  // A playback begins, and its record `number` (from 1) was shown.
  std::function<void()> playbackStarting;
  std::function<void(std::uint64_t number)> recordShown;
};

class RecordingController {
 public:
  RecordingController(Clock& clock, Notifier& notifier, DisplayState& state, RecordStore& store);

  RecordingWindow window;

  // btnGetTrace was clicked (its new state is in recordingDown).
  void ToggleRecording(const DateTime& startTime);
  // Writes the refresh's record while acquiring.
  void AppendRecording() { recorder_.AppendRecording(); }
  // btnDrawPCStored was pressed.
  void PlayBackFromPc();

  const Recorder& GetRecorder() const { return recorder_; }
  // The recording played last; empty before the first playback.
  const std::string& LastPlayedPath() const { return lastPlayedPath_; }

 private:
  Clock& clock_;
  Notifier& notifier_;
  DisplayState& state_;
  RecordStore& store_;
  Recorder recorder_;
  std::string lastPlayedPath_;
};

}  // namespace vantrel

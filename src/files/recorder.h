#pragma once
// Continuous acquisition into a recording: the sampling loop with its pacing, the time
// limit and the stop request, one record per refresh, and the optional peak file. The
// window (or a script) supplies the refresh, the repaint and the peak search.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "display/acquisition_loop.h"
#include "display/display_state.h"
#include "files/record_store.h"
#include "link/clock.h"
#include "util/datetime.h"
#include "util/notifier.h"

namespace vantrel {

struct PeakMarker {
  double frequency = 0;  // MHz
  double level = 0;
};

// The acquisition loop's hooks (the refresh writes the record through
// Recorder::AppendRecording), and the peak file's.
struct RecorderHooks : AcquisitionHooks {
  // "Recording Peak" ticked, and the peak search that fills markers 0..4.
  std::function<bool()> recordingPeak;
  std::function<std::array<PeakMarker, 5>()> peakSearch;
};

class Recorder {
 public:
  Recorder(Clock& clock, RecordStore& store, Notifier& notifier, const DisplayState& state);

  RecorderHooks hooks;

  // The acquisition loop, from the first sample until the button is up, the limit has
  // passed or a refresh ended by a stop request. `samplingRate` is read at every pass.
  void Run(const std::function<double()>& samplingRate, int limitSeconds,
           const std::string& folder, const DateTime& startTime);

  // Writes the state as record RecordCount() + 1 (the last step of a refresh while
  // acquiring). The first record fixes the file names. A failure is reported once per
  // acquisition in the status bar; acquisition goes on.
  void AppendRecording();

  int RecordCount() const { return recordCount_; }
  const std::string& RecordFilePath() const { return recordFilePath_; }
  const std::string& PeakFilePath() const { return peakFilePath_; }

  // The peak file's first line.
  static std::string PeakFileHeader();
  // One line of the peak file for the refresh stamped `timeStamp` ("yyyy/mm/dd hh:mm:ss").
  static std::string PeakFileLine(const std::string& timeStamp,
                                  const std::array<PeakMarker, 5>& peaks);

 private:
  void ChooseFileNames();
  void WritePeaks();
  void Report(const std::string& what, const std::string& error);

  Clock& clock_;
  RecordStore& store_;
  Notifier& notifier_;
  const DisplayState& state_;
  std::string folder_;
  DateTime startTime_;
  int recordCount_ = 0;
  std::string recordFilePath_;
  std::string peakFilePath_;
  bool reported_ = false;
};

}  // namespace vantrel

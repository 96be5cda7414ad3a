#include "files/recorder.h"

#include "display/acquisition_loop.h"
#include "files/sp3_file.h"
#include "util/format.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

// The name after the folder, with the separator the folder is written in: a folder typed
// or picked on Windows as "D:\Data" gives "D:\Data\<name>", not a mixed path in messages.
std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  const bool backslashes = folder.find('\\') != std::string::npos &&
                           folder.find('/') == std::string::npos;
  return folder + (backslashes ? "\\" : "/") + name;
}

}  // namespace

Recorder::Recorder(Clock& clock, RecordStore& store, Notifier& notifier, const DisplayState& state)
    : clock_(clock), store_(store), notifier_(notifier), state_(state) {}

void Recorder::Run(const std::function<double()>& samplingRate, int limitSeconds,
                   const std::string& folder, const DateTime& startTime) {
  folder_ = folder;
  startTime_ = startTime;
  recordCount_ = 0;
  reported_ = false;
  recordFilePath_.clear();
  peakFilePath_.clear();
  AcquisitionHooks loop = hooks;
  // The refresh writes record recordCount_ + 1: the count grows only after a sample.
  loop.sampled = [this](int) {
    if (hooks.recordingPeak && hooks.recordingPeak() && hooks.peakSearch) WritePeaks();
    ++recordCount_;
  };
  // The time limit's progress beside the status text, gone when the acquisition is.
  loop.progress = [this](double seconds, int limit) { notifier_.SetProgress(seconds, limit); };
  struct HideProgress {
    Notifier& notifier;
    ~HideProgress() { notifier.SetProgress(-1, 0); }
  } hide{notifier_};
  RunAcquisition(clock_, loop, samplingRate, limitSeconds);
}

void Recorder::ChooseFileNames() {
  // Two acquisitions started in the same second would share a name; the later one takes
  // the next free one, so the earlier recording is never overwritten.
  const std::string stem = Joined(folder_, FormatDateTime(startTime_, "yyyymmddhhnnss"));
  for (int n = 1;; ++n) {
    const std::string base = n == 1 ? stem : stem + "-" + std::to_string(n);
    if (!store_.Size(base + ".sp3") && !store_.Size(base + ".csv")) {
      recordFilePath_ = base + ".sp3";
      peakFilePath_ = base + ".csv";
      return;
    }
  }
}

void Recorder::AppendRecording() {
  // Names are fixed once per acquisition: a settings change sent before the first sample
  // writes into the file that sample will use.
  if (recordFilePath_.empty()) ChooseFileNames();
  const Sp3Record record =
      MakeSp3Record(state_.liveTraces, state_.settings, ToOleDate(clock_.LocalNow()));
  std::string error;
  if (!WriteSp3Record(store_, recordFilePath_, static_cast<std::uint64_t>(recordCount_) + 1,
                      record, error)) {
    Report("Record " + std::to_string(recordCount_ + 1) + " could not be written", error);
  }
}

void Recorder::WritePeaks() {
  std::string error;
  if (recordCount_ == 0 && !store_.Replace(peakFilePath_, PeakFileHeader(), error)) {
    Report("The peak file could not be written", error);
    return;
  }
  const std::array<PeakMarker, 5> peaks = hooks.peakSearch();
  if (!store_.Append(peakFilePath_, PeakFileLine(state_.settings.TimeStamp, peaks), error)) {
    Report("The peak file could not be written", error);
  }
}

void Recorder::Report(const std::string& what, const std::string& error) {
  if (reported_) return;
  reported_ = true;
  notifier_.SetStatus(what + ": " + error);
}

std::string Recorder::PeakFileHeader() {
  return "Date,Time,PK1_Freq,PK1_Level,PK2_Freq,PK2_Level,PK3_Freq,PK3_Level,PK4_Freq,"
         "PK4_Level,PK5_Freq,PK5_Level\r\n";
}

std::string Recorder::PeakFileLine(const std::string& timeStamp,
                                   const std::array<PeakMarker, 5>& peaks) {
  const std::size_t space = timeStamp.find(' ');
  std::string line = timeStamp.substr(0, space) + "," +
                     (space == std::string::npos ? "" : timeStamp.substr(space + 1));
  for (const PeakMarker& p : peaks) {
    line += "," + FormatShortest(p.frequency) + "," + FormatShortest(p.level);
  }
  return line + "\r\n";
}

}  // namespace vantrel

// vantrel-cli: the analyzer from scripts and test benches, without a window. Every
// command runs on the program's own connection setup, command set, refresh, recording,
// standards and text exports.
#include <QGuiApplication>
#include <QDir>
#include <QSaveFile>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_emi.h"
#include "cli/cli_options.h"
#include "cli/cli_output.h"
#include "platform/binary_stdout.h"
#include "cli/cli_session.h"
#include "cli/cli_waterfall.h"
#include "cli/sp3_to_text_run.h"
#include "display/peaks.h"
#include "emi/standard_list.h"
#include "files/recorder.h"
#include "files/text_tables.h"
#include "platform/durable_record_store.h"
#include "platform/standard_folder.h"

namespace vantrel::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

// Written whole or not at all: a failed write leaves no partial file.
int WriteOut(const std::string& path, const std::string& text) {
  if (path.empty() || path == "-") {
    Print(text);
    return std::ferror(stdout) ? kExitFile : kExitOk;
  }
  QSaveFile file(QString::fromLocal8Bit(path.c_str()));
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
      !file.commit()) {
    std::fprintf(stderr, "vantrel-cli: %s cannot be written: %s\n", path.c_str(),
                 file.errorString().toLocal8Bit().constData());
    return kExitFile;
  }
  return kExitOk;
}

std::vector<Field> SettingsFields(const AnalyzerSettings& s) {
  return {Number("ref_level", s.RefLevel), Text("ref_unit", s.RefUnit), Number("scale", s.Scale),
          Number("freq_start_mhz", s.FreqStart), Number("freq_center_mhz", s.FreqCenter),
          Number("freq_stop_mhz", s.FreqStop), Text("span", s.Span), Text("rbw", s.RBW),
          Text("rbw_mode", s.RBWMode), Text("vbw", s.VBW), Text("vbw_mode", s.VBWMode),
          Text("detection", s.Detection), Text("sweep_time", s.SweepTime),
          Text("time_stamp", s.TimeStamp)};
}

int Identify(CliSession& session, const CliOptions& o) {
  if (!session.Connect()) return kExitLink;
  Print(FormatFields({Text("identity", session.Setup().identity)}, o.json));
  return kExitOk;
}

int Settings(CliSession& session, const CliOptions& o) {
  if (!session.Connect()) return kExitLink;
  if (!session.Refresh(false, true)) return kExitLink;
  Print(FormatFields(SettingsFields(session.State().settings), o.json));
  return kExitOk;
}

int CaptureCommand(CliSession& session, const CliOptions& o) {
  const bool range = o.Has("start") || o.Has("stop");
  const bool centred = o.Has("center") || o.Has("span");
  if (range && centred) throw UsageError{"give --start/--stop or --center/--span, not both"};
  if (!session.Connect()) return kExitLink;
  if (!session.Refresh(false, true)) return kExitLink;
  AnalyzerCommands& c = session.Commands();
  const AnalyzerSettings before = session.State().settings;
  const auto start = o.Number("start"), stop = o.Number("stop");
  // The new range never crosses the old one on the way.
  if (start && stop && *start >= before.FreqStop) {
    c.Set_FreqStop(*stop);
    c.Set_FreqStart(*start);
  } else {
    if (start) c.Set_FreqStart(*start);
    if (stop) c.Set_FreqStop(*stop);
  }
  if (const auto center = o.Number("center")) c.Set_FreqCenter(*center);
  if (const auto span = o.Number("span")) c.Set_Span(*span);
  if (const auto level = o.Number("ref-level")) c.Set_RefLvl(*level, before.RefUnit);
  if (const auto scale = o.Number("scale")) c.Set_Scale(static_cast<int>(*scale));
  if (o.Has("rbw")) c.Set_RBW(o.Value("rbw"), true);
  if (o.Has("vbw")) c.Set_VBW(o.Value("vbw"), true);
  if (o.Has("detector")) c.Set_Detection(o.Value("detector"), true);
  if (session.Transport().linkLost) return kExitLink;
  if (!session.Refresh(true, true)) return kExitLink;
  return WriteOut(o.Value("out"), SaTextTable(session.State()));
}

int Record(CliSession& session, const CliOptions& o) {
  const auto rate = o.Number("rate");
  const auto duration = o.Number("duration");
  const auto records = o.Number("records");
  if (!rate || *rate < 0.1 || *rate > 60) throw UsageError{"--rate needs 0.1 to 60 seconds"};
  if (static_cast<bool>(duration) == static_cast<bool>(records))
    throw UsageError{"give one of --duration SECONDS or --records N"};
  if (!session.Connect()) return kExitLink;
  const std::string folder = o.Has("folder") ? o.Value("folder") : QDir::currentPath().toStdString();
  if (!QDir(QString::fromLocal8Bit(folder.c_str())).exists()) {
    std::fprintf(stderr, "vantrel-cli: the folder %s does not exist\n", folder.c_str());
    return kExitFile;
  }
  DurableRecordStore store;
  DisplayState& state = session.State();
  Recorder recorder(session.GetClock(), store, session.GetNotifier(), state);
  bool limitReached = false;
  RecorderHooks& h = recorder.hooks;
  h.buttonDown = [&] {
    if (interrupted || limitReached || session.Transport().linkLost) return false;
    return !records || recorder.RecordCount() < *records;
  };
  h.flushSerial = [&] { session.Transport().receiveBuffer.clear(); };
  h.refresh = [&](bool withSettings) { session.Refresh(true, withSettings); };
  h.stopRequested = [&] { return session.Transport().stopRequested; };
  h.clearStopRequested = [&] { session.Transport().stopRequested = false; };
  h.drawGrid = [&] { state.UpdateMarkerTrace(); };
  h.recordingPeak = [&] { return o.Has("peaks"); };
  h.peakSearch = [&] {
    std::array<PeakMarker, 5> peaks{};
    const std::vector<PeakPoint> found = FindPeaks(MarkerTracePoints(state));
    for (std::size_t i = 0; i < peaks.size() && i < found.size(); ++i)
      peaks[i] = {found[i].frequency, found[i].level};
    return peaks;
  };
  h.limitReached = [&] { limitReached = true; };
  session.Hooks().recording = [] { return true; };
  session.Hooks().appendRecord = [&] { recorder.AppendRecording(); };
  std::signal(SIGINT, OnInterrupt);
  recorder.Run([&] { return *rate; }, duration ? static_cast<int>(*duration) : 0, folder,
               session.GetClock().LocalNow());
  if (recorder.RecordCount() == 0) {
    std::fprintf(stderr, "vantrel-cli: no record was taken\n");
    return session.Transport().linkLost ? kExitLink : kExitFile;
  }
  std::vector<Field> out{Text("recording", recorder.RecordFilePath()),
                         Number("records", recorder.RecordCount())};
  if (o.Has("peaks")) out.push_back(Text("peaks", recorder.PeakFilePath()));
  Print(FormatFields(out, o.json));
  return session.Transport().linkLost ? kExitLink : kExitOk;
}

int Standards(const CliOptions& o) {
  const QStringList folders = o.standardsDir.empty()
                                  ? StandardFolders()
                                  : QStringList{QString::fromLocal8Bit(o.standardsDir.c_str())};
  const std::vector<StandardFile> files = ReadStandardFolders(folders);
  std::vector<std::string> modes{"Conducted", "Radiation"};
  if (o.Has("mode")) modes = {o.Value("mode")};
  std::string out = o.json ? "[" : "";
  std::vector<FileProblems> problems;
  bool first = true;
  for (const std::string& mode : modes) {
    const StandardListing listing = ListStandards(files, mode);
    problems = listing.problems;
    for (const StandardEntry& e : listing.entries) {
      if (o.json) {
        out += std::string(first ? "" : ", ") + "{\"name\": " + JsonString(e.name) +
               ", \"mode\": " + JsonString(mode) + ", \"regulation\": " + JsonString(e.regulation) +
               ", \"file\": " + JsonString(e.path) + "}";
      } else {
        out += e.name + "\t" + mode + "\t" + e.regulation + "\t" + e.path + "\n";
      }
      first = false;
    }
  }
  if (o.json) out += "]\n";
  Print(out);
  if (!o.Has("check")) return kExitOk;
  const std::vector<std::string> lines = DescribeProblems(problems);
  for (const std::string& line : lines) std::fprintf(stderr, "%s\n", line.c_str());
  return lines.empty() ? kExitOk : kExitFile;
}

int Run(const CliOptions& o) {
  if (o.command == "help") {
    Print(CliUsage());
    return kExitOk;
  }
  if (o.command == "sp3-to-text")
    return RunSp3ToText(o.positional[0], o.positional[1], o.Has("keep-partial"), "vantrel-cli");
  if (o.command == "standards") return Standards(o);
  if (o.command == "waterfall") return WaterfallCommand(o);
  CliSession session(o);
  if (o.command == "identify") return Identify(session, o);
  if (o.command == "settings") return Settings(session, o);
  if (o.command == "capture") return CaptureCommand(session, o);
  if (o.command == "emi") return EmiCommand(session, o);
  if (o.command == "spot") return SpotCommand(session, o);
  return Record(session, o);
}

}  // namespace

}  // namespace vantrel::cli

int main(int argc, char** argv) {
  vantrel::UseBinaryStandardOutput();
  // Qt's notes about the desktop session mean nothing to a script reading standard error.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || text.startsWith(QStringLiteral("QStandardPaths:"))) return;
    std::fprintf(stderr, "vantrel-cli: %s\n", text.toLocal8Bit().constData());
  });
  // Pictures for reports need fonts, not a screen.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
  using namespace vantrel::cli;
  try {
    return Run(ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc)));
  } catch (const UsageError& error) {
    std::fprintf(stderr, "vantrel-cli: %s (see vantrel-cli --help)\n", error.message.c_str());
    return kExitUsage;
  }
}

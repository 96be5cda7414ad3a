#include "cli/cli_emi.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "cli/cli_output.h"
#include "emi/emi_corrections.h"
#include "emi/emi_graph.h"
#include "emi/emi_results.h"
#include "emi/emi_rules.h"
#include "emi/standard_list.h"
#include "files/text_tables.h"
#include "platform/emi_report_writer.h"
#include "platform/qt_canvas.h"
#include "platform/small_file.h"
#include "platform/standard_folder.h"
#include "util/datetime.h"
#include "util/format.h"
#include "util/text.h"

namespace vantrel::cli {

namespace {

QStringList Folders(const std::string& overrideDir, const char* name) {
  if (!overrideDir.empty()) return {QString::fromLocal8Bit(overrideDir.c_str())};
  return DataFolders(QString::fromLatin1(name));
}

// The named standard of the mode, or a usage error listing the names there are.
LimitStandard LoadStandard(const CliOptions& o, const std::string& mode, std::string& name) {
  const std::vector<StandardFile> files = ReadStandardFolders(Folders(o.standardsDir, "standard"));
  const StandardListing listing = ListStandards(files, mode);
  std::string names;
  for (const StandardEntry& e : listing.entries) {
    if (ToLower(e.name) == ToLower(o.Value("standard"))) {
      LimitStandard standard;
      for (const StandardFile& f : files) {
        if (f.path == e.path) ParseStandard(f.bytes, standard);
      }
      name = e.name;
      return standard;
    }
    names += "\n  " + e.name;
  }
  throw UsageError{"no " + mode + " standard is named \"" + o.Value("standard") + "\"; there are:" +
                   (names.empty() ? std::string(" none") : names)};
}

std::vector<CorrectionTable> LoadCorrections(const CliOptions& o) {
  std::vector<CorrectionTable> tables;
  const QStringList paths = FilesInFolders(Folders(o.correctionsDir, "corrections"), QStringLiteral("*.csv"));
  for (const std::string& wanted : o.Values("correction")) {
    bool found = false;
    for (const QString& path : paths) {
      const std::string file = QFileInfo(path).fileName().toStdString();
      if (ToLower(file) != ToLower(wanted) && ToLower(QFileInfo(path).completeBaseName().toStdString()) != ToLower(wanted))
        continue;
      const SmallFileRead read = ReadSmallFile(path);
      CorrectionTable t = ParseCorrectionTable(read.bytes.value_or(std::string()), file);
      if (!t.Usable()) throw UsageError{"the correction table " + file + " cannot be used: " +
                                        (t.problems.empty() ? std::string("no points") : t.problems.back().text)};
      tables.push_back(std::move(t));
      found = true;
    }
    if (!found) throw UsageError{"no correction table is named \"" + wanted + "\""};
  }
  return tables;
}

std::optional<double> HighestLevel(const EmiResults& r) {
  std::optional<double> highest;
  for (const EmiPoint& p : r.trace) {
    if (p.level < kNoLevel && (!highest || p.level > *highest)) highest = p.level;
  }
  return highest;
}

std::optional<double> Spot(EmiSequences& seq, const LimitStandard& standard, double mhz,
                           const std::string& detector, double refLevel) {
  LimitStandard spot = standard;
  SetSpotWindow(spot, mhz);
  spot.detection = detector;
  EmiResults measured;
  if (seq.RunSinglePointTest(spot, refLevel, measured) != EmiOutcome::Done) return std::nullopt;
  return HighestLevel(measured);
}

std::string Opt(const std::optional<double>& v) { return v ? FormatShortest(*v) : "-"; }

std::string ResultsText(const EmiResultsTable& t, bool json) {
  if (json) {
    std::string out = "{\"emissions\": [";
    for (std::size_t i = 0; i < t.emissions.size(); ++i) {
      const EmissionResult& e = t.emissions[i];
      auto num = [](const std::optional<double>& v) { return v ? FormatShortest(*v) : std::string("null"); };
      out += std::string(i ? ", " : "") + "{\"freq_mhz\": " + FormatShortest(e.frequency) +
             ", \"level\": " + FormatShortest(e.level) + ", \"upper_limit\": " + num(e.upperLimit) +
             ", \"upper_margin\": " + num(e.upperMargin) + ", \"lower_limit\": " + num(e.lowerLimit) +
             ", \"lower_margin\": " + num(e.lowerMargin) + ", \"qp\": " + num(e.quasiPeak) +
             ", \"av\": " + num(e.average) + ", \"final\": " + (e.final ? "true" : "false") +
             ", \"verdict\": " + JsonString(VerdictText(e.verdict)) +
             (e.stretchStart ? ", \"note\": " + JsonString(EmissionNote(e)) : std::string()) + "}";
    }
    return out + "], \"overall\": " + JsonString(VerdictText(t.overall)) + "}\n";
  }
  std::string out = "freq_mhz level upper_limit upper_margin lower_limit lower_margin qp av verdict\n";
  for (const EmissionResult& e : t.emissions) {
    out += FormatShortest(e.frequency) + " " + FormatShortest(e.level) + " " + Opt(e.upperLimit) + " " +
           Opt(e.upperMargin) + " " + Opt(e.lowerLimit) + " " + Opt(e.lowerMargin) + " " +
           Opt(e.quasiPeak) + " " + Opt(e.average) + " " + VerdictText(e.verdict) +
           (e.final ? "" : " (prescan)") + (e.stretchStart ? " " + EmissionNote(e) : std::string()) + "\n";
  }
  return out + "overall=" + VerdictText(t.overall) + "\n";
}

QImage Picture(EmiGraphState st) {
  st.printer = true;
  st.lineWidth = 4;  // 2400 pixels across at 300 dpi: lines that read on paper
  QImage picture(2400, 1800, QImage::Format_RGB32);
  picture.fill(Qt::white);
  picture.setDotsPerMeterX(11811);  // 300 dpi, as printed
  picture.setDotsPerMeterY(11811);
  QPainter painter(&picture);
  QtCanvas canvas(painter, QRectF(0, 0, picture.width(), picture.height()));
  EMC_DrawGrid(canvas, st, st.standard->lowerPresent, st.standard->upperPresent, false);
  return picture;
}

int Save(const std::string& path, const std::string& text) {
  QString error;
  if (ReplaceSmallFile(QString::fromLocal8Bit(path.c_str()), text, &error)) return kExitOk;
  std::fprintf(stderr, "vantrel-cli: %s cannot be written: %s\n", path.c_str(), error.toLocal8Bit().constData());
  return kExitFile;
}

}  // namespace

int EmiCommand(CliSession& session, const CliOptions& o) {
  const std::string mode = ToLower(o.Value("mode"));
  if (mode != "conducted" && mode != "radiation") throw UsageError{"--mode must be conducted or radiation"};
  if (!o.Has("standard")) throw UsageError{"emi needs --standard NAME"};
  std::string standardName;
  LimitStandard standard = LoadStandard(o, mode == "conducted" ? "Conducted" : "Radiation", standardName);
  standard.detection = o.Has("detector") ? o.Value("detector")
                                         : AdjustDetector(EmiTestType::WideRangeScan, "", standard.detection).detection;
  const std::vector<CorrectionTable> tables = LoadCorrections(o);
  const double refLevel = o.Number("ref-level").value_or(107);
  if (!session.Connect()) return kExitLink;

  EmiSequences seq(session.Commands());
  EmiResults measured;
  const EmiOutcome outcome = mode == "conducted" ? seq.RunConductedScan(standard, refLevel, measured)
                                                 : seq.RunRadiatedScan(standard, refLevel, measured);
  session.GetNotifier().SetStatus("");
  if (outcome != EmiOutcome::Done || measured.trace.empty()) {
    std::fprintf(stderr, "vantrel-cli: the scan did not complete\n");
    return outcome == EmiOutcome::NothingToMeasure ? kExitFile : kExitLink;
  }
  const EmiResults shown = ApplyCorrections(measured, standard, tables);
  EmiGraphState st;
  st.standard = &standard;
  st.results = &shown;
  st.modeText = mode == "conducted" ? "Conducted" : "Radiation";
  st.emiRefLevel = refLevel;
  st.correctionsCaption = CorrectionsCaption(tables);
  UpdateEmiMarkerPoints(st);
  EmiResultsTable table = ComputeResults(
      FindEmiPeaks(st.markerPoints, kEmiTracePoints), shown.trace, standard,
      mode == "conducted" ? FrequencyAxis::Logarithmic : FrequencyAxis::Linear,
      o.Number("guard-band").value_or(kDefaultGuardBandDb),
      static_cast<int>(o.Number("emissions").value_or(kDefaultEmissionCount)),
      RbwInMHz(measured.header.rbw));
  if (o.Has("remeasure")) {
    for (const std::size_t i : RemeasurePlan(table)) {
      EmissionResult& e = table.emissions[i];
      const double corr = TotalCorrection(tables, e.frequency);
      auto qp = Spot(seq, standard, e.frequency, "QPeak", refLevel);
      auto av = Spot(seq, standard, e.frequency, "AVG", refLevel);
      if (qp) *qp += corr;
      if (av) *av += corr;
      ApplyFinalMeasurement(e, qp, av, table.guardBandDb);
      if (session.Transport().linkLost) break;
    }
    table.overall = Overall(table);
    session.GetNotifier().SetStatus("");
  }
  std::fputs(ResultsText(table, o.json).c_str(), stdout);
  std::fflush(stdout);

  int status = kExitOk;
  if (o.Has("out")) {
    const AnalyzerSettings s = MeasuredSettings(measured.header, standard.scale);
    status = std::max(status, Save(o.Value("out"), EmiTextTable(st.markerPoints, s, standard.freqStart, standard.freqStop)));
  }
  if (o.Has("results")) status = std::max(status, Save(o.Value("results"), ResultsCsv(table)));
  if (o.Has("report")) {
    EmiReportContent c;
    c.dateTime = FormatDateTime(session.GetClock().LocalNow(), "yyyy/mm/dd hh:mm:ss");
    c.standardName = standardName;
    c.mode = st.modeText;
    c.detector = measured.header.detection.empty() ? standard.detection : measured.header.detection;
    c.rbw = measured.header.rbw;
    c.refLevel = refLevel;
    for (const CorrectionTable& t : tables) c.corrections.push_back(t.name);
    c.header = measured.header;
    c.results = table;
    QString error;
    if (!WriteEmiReport(QString::fromLocal8Bit(o.Value("report").c_str()), c, Picture(st), error)) {
      std::fprintf(stderr, "vantrel-cli: %s\n", error.toLocal8Bit().constData());
      status = kExitFile;
    }
  }
  if (status != kExitOk) return status;
  if (session.Transport().linkLost) return kExitLink;
  return o.Has("fail-on-exceed") && table.overall == Verdict::Fail ? kExitExceeded : kExitOk;
}

int SpotCommand(CliSession& session, const CliOptions& o) {
  const auto freq = o.Number("freq");
  if (!freq || *freq <= 0) throw UsageError{"spot needs --freq MHz above 0"};
  if (!o.Has("standard")) throw UsageError{"spot needs --standard NAME"};
  const std::string mode = *freq <= 30 ? "Conducted" : "Radiation";
  std::string standardName;
  LimitStandard standard = LoadStandard(o, mode, standardName);
  const std::vector<CorrectionTable> tables = LoadCorrections(o);
  const std::string detector =
      o.Has("detector") ? o.Value("detector")
                        : AdjustDetector(EmiTestType::SinglePointTest, "", standard.detection).detection;
  if (!session.Connect()) return kExitLink;
  EmiSequences seq(session.Commands());
  const auto level = Spot(seq, standard, *freq, detector, o.Number("ref-level").value_or(107));
  session.GetNotifier().SetStatus("");
  if (!level) {
    std::fprintf(stderr, "vantrel-cli: the single-point test did not complete\n");
    return kExitLink;
  }
  const std::vector<EmiPoint> spot{{*freq, *level + TotalCorrection(tables, *freq), 0}};
  const EmiResultsTable t = ComputeResults(spot, spot, standard, FrequencyAxis::Linear, kDefaultGuardBandDb, 1);
  const EmissionResult& e = t.emissions.front();
  std::vector<Field> out{Number("freq_mhz", e.frequency), Number("level", e.level), Text("detector", detector)};
  auto add = [&](const char* key, const std::optional<double>& v) {
    if (v) out.push_back(Number(key, *v));
  };
  add("upper_limit", e.upperLimit);
  add("upper_margin", e.upperMargin);
  add("lower_limit", e.lowerLimit);
  add("lower_margin", e.lowerMargin);
  out.push_back(Text("verdict", VerdictText(e.verdict)));
  std::fputs(FormatFields(out, o.json).c_str(), stdout);
  return o.Has("fail-on-exceed") && e.verdict == Verdict::Fail ? kExitExceeded : kExitOk;
}

}  // namespace vantrel::cli

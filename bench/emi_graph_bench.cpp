// The EMI picture and its numbers: a full conducted picture at 1920x1080 (three bands,
// both limit lines with their threshold copies, ten markers), the EMI peak search on 501
// points, and the results table of a scan with three correction tables.
//   emi_graph_bench --png FILE [--linear] [--report PDF]   writes a picture of a sample EMI
//   graph (and a sample report with it)
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "emi/correction_table.h"
#include "emi/emi_graph.h"
#include "emi/emi_results.h"
#include "emi/emi_report.h"
#include "platform/emi_report_writer.h"
#include "platform/qt_canvas.h"
#include "util/format.h"

namespace vantrel {
namespace {

struct Sample {
  LimitStandard standard;
  EmiResults results;
  EmiGraphState st;
};

// A device under test: a falling broadband floor, a comb of harmonics and a few spikes.
double RawAt(double mhz) {
  double level = 520 - 60 * std::log10(mhz / 0.15);
  for (double h = 0.25; h < 30; h += 0.5) level = std::max(level, 760 - 40 * std::log10(h) - 9000 * std::fabs(mhz - h));
  return std::clamp(level + 12 * std::sin(mhz * 37), 0.0, 1023.0);
}

void Fill(Sample& s, bool linear) {
  LimitStandard& std = s.standard;
  std.emiMode = linear ? "Radiation" : "Conducted";
  std.freqStart = linear ? 30 : 0.15;
  std.freqStop = linear ? 1000 : 30;
  std.center = (std.freqStart + std.freqStop) / 2;
  std.span = std.freqStop - std.freqStart;
  std.scale = 10;
  if (linear) {
    std.upperLimit = {{30, 40, 230, 40}, {230, 47, 1000, 47}};
    std.lowerLimit = {{30, 30, 230, 30}, {230, 37, 1000, 37}};
  } else {
    std.upperLimit = {{0.15, 66, 0.5, 56}, {0.5, 56, 5, 56}, {5, 60, 30, 60}};
    std.lowerLimit = {{0.15, 56, 0.5, 46}, {0.5, 46, 5, 46}, {5, 50, 30, 50}};
  }
  std.upperPresent = std.lowerPresent = true;
  EmiResults& r = s.results;
  r.header = {"9KHz", "Peak+", "2026/12/09 10:00:00", "dBuV", 107, "30KHz", "771.6 ms"};
  if (linear) {
    r.header.rbw = "120KHz";
    r.liveBuffer.resize(kEmiTracePoints);
    for (int i = 0; i < kEmiTracePoints; ++i) {
      r.liveBuffer[i] = static_cast<std::int16_t>(RawAt(0.15 + i * 0.059) * 0.8);
      r.markerPoints[i] = {30 + i * 1.94, 107 - (1023 - r.liveBuffer[i]) * 80.0 / 1023, r.liveBuffer[i]};
    }
  } else {
    const double bands[][2] = {{0.15, 0.5}, {0.5, 5}, {5, 30}};
    for (const auto& b : bands) {
      for (int k = 0; k <= 500; ++k) {
        const double f = b[0] + k * (b[1] - b[0]) / 500;
        const auto raw = static_cast<std::int16_t>(RawAt(f));
        r.trace.push_back({f, 107 - (1023 - raw) * 80.0 / 1023, raw});
      }
    }
  }
  EmiGraphState& st = s.st;
  st.standard = &s.standard;
  st.results = &s.results;
  st.modeText = std.emiMode;
  st.thresholdOn = true;
  st.threshold = -6;
  UpdateEmiMarkerPoints(st);
  const std::vector<EmiPoint> peaks = FindEmiPeaks(st.markerPoints, kEmiMarkers);
  for (std::size_t i = 0; i < peaks.size(); ++i) st.markers[i] = {true, FormatShortest(peaks[i].frequency)};
}

void Draw(QImage& image, EmiGraphState& st) {
  QPainter painter(&image);
  QtCanvas canvas(painter, QRectF(0, 0, image.width(), image.height()));
  EMC_DrawGrid(canvas, st, true, true, true);
}

void BM_EmiGraphFullHd(benchmark::State& bs) {
  Sample s;
  Fill(s, bs.range(0) != 0);
  QImage image(1920, 1080, QImage::Format_RGB32);
  for (auto _ : bs) {
    Draw(image, s.st);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_EmiGraphFullHd)->ArgName("linear")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindEmiPeaks(benchmark::State& bs) {
  Sample s;
  Fill(s, false);
  for (auto _ : bs) benchmark::DoNotOptimize(FindEmiPeaks(s.st.markerPoints, kEmiMarkers));
}
BENCHMARK(BM_FindEmiPeaks)->Unit(benchmark::kMicrosecond);

void BM_ResultsTableWithCorrections(benchmark::State& bs) {
  Sample s;
  Fill(s, false);
  const std::vector<CorrectionTable> tables{
      ParseCorrectionTable("type=lisn\n0.15,0.1\n30,0.6\n", "lisn.csv"),
      ParseCorrectionTable("type=cable\n0.15,0.05\n1,0.2\n30,0.9\n", "cable.csv"),
      ParseCorrectionTable("type=preamp\n0.15,20\n30,19\n", "preamp.csv")};
  for (auto _ : bs) {
    std::vector<EmiPoint> corrected = s.results.trace;
    for (EmiPoint& p : corrected) p.level += TotalCorrection(tables, p.frequency);
    EmiGraphState st = s.st;
    UpdateEmiMarkerPoints(st);
    const EmiResultsTable table = ComputeResults(FindEmiPeaks(st.markerPoints, kEmiMarkers), corrected,
                                                 s.standard, FrequencyAxis::Logarithmic);
    benchmark::DoNotOptimize(table.overall);
  }
}
BENCHMARK(BM_ResultsTableWithCorrections)->Unit(benchmark::kMicrosecond);

int WritePng(int argc, char** argv) {
  std::string path, report;
  bool linear = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--png") == 0 && i + 1 < argc) path = argv[++i];
    if (std::strcmp(argv[i], "--linear") == 0) linear = true;
    if (std::strcmp(argv[i], "--report") == 0 && i + 1 < argc) report = argv[++i];
  }
  if (path.empty()) {
    std::fputs("usage: emi_graph_bench --png FILE [--linear]\n", stderr);
    return 2;
  }
  Sample s;
  Fill(s, linear);
  QImage image(1600, 1100, QImage::Format_RGB32);
  Draw(image, s.st);
  if (!image.save(QString::fromStdString(path), "PNG")) return 1;
  std::printf("wrote %s\n", path.c_str());
  if (!report.empty()) {
    EmiReportContent content;
    content.device = {"Sample power supply", "PSU-12", "0001", "Bench", "Mains lead 1 m"};
    content.dateTime = "2026/12/09 10:05:00";
    content.standardName = "Sample class B";
    content.mode = s.standard.emiMode;
    content.detector = "Peak+";
    content.rbw = s.results.header.rbw;
    content.refLevel = 107;
    content.header = s.results.header;
    content.results = ComputeResults(FindEmiPeaks(s.st.markerPoints, kEmiTracePoints), s.results.trace,
                                     s.standard, linear ? FrequencyAxis::Linear : FrequencyAxis::Logarithmic);
    QImage print(2400, 1800, QImage::Format_RGB32);
    print.fill(Qt::white);
    print.setDotsPerMeterX(11811);  // 300 dpi, as printed
    print.setDotsPerMeterY(11811);
    s.st.printer = true;
    s.st.lineWidth = 4;  // as the window's report draws it
    {
      QPainter painter(&print);
      QtCanvas canvas(painter, QRectF(0, 0, print.width(), print.height()));
      EMC_DrawGrid(canvas, s.st, true, true, false);
    }
    QString error;
    if (!WriteEmiReport(QString::fromStdString(report), content, print, error)) {
      std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
      return 1;
    }
    std::printf("wrote %s\n", report.c_str());
  }
  return 0;
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--png") == 0) return vantrel::WritePng(argc, argv);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}

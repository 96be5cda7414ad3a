// Painting speed of the spectrum view on a large offscreen image, the refresh's own
// work against the simulated analyzer, and a sample picture of the screen:
//   display_bench [benchmark options]
//   display_bench --png FILE [--width W] [--height H] [--stored N] [--markers]
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands/analyzer_commands.h"
#include "display/spectrum_graph.h"
#include "display/trace_refresh.h"
#include "full_span_settings.h"
#include "own_work.h"
#include "platform/qt_canvas.h"
#include "platform/qt_kept_layer.h"
#include "sim/serial_sim_link.h"

namespace vantrel {
namespace {

constexpr double kRefDbm = -10;

// The window's font factor for a picture this wide (15 twips per pixel).
float FontScaleFor(int widthPx) {
  return std::max(1.0f, static_cast<float>(widthPx * 15.0 / 6015.0 * 0.65));
}

void FillCounts(RawTrace& t, const std::vector<double>& levels, double offsetDb) {
  for (int n = 0; n < kTracePoints; ++n) {
    t.Points()[n] =
        static_cast<std::int16_t>(sim::AnalyzerModel::LevelToCount(levels[n] + offsetDb, kRefDbm));
  }
}

// A full-span view of the default scene: clear-write, max hold and min hold, and
// `stored` stored traces a little apart.
DisplayState SampleState(int stored, int widthPx) {
  DisplayState st;
  SetFullSpanSettings(st.settings, kRefDbm);
  st.fontScale = FontScaleFor(widthPx);

  const sim::SignalScene scene = sim::SignalScene::Default();
  sim::SweepSettings sweepSettings{0, 3e9, 4e6, sim::Detector::Normal, 0};
  std::vector<double> maxHold(kTracePoints, -1e9), minHold(kTracePoints, 1e9), last;
  for (int sweep = 0; sweep < 8; ++sweep) {
    sweepSettings.sweepNumber = static_cast<std::uint64_t>(sweep);
    last = scene.Sweep(sweepSettings);
    for (int n = 0; n < kTracePoints; ++n) {
      maxHold[n] = std::max(maxHold[n], last[n]);
      minHold[n] = std::min(minHold[n], last[n]);
    }
  }
  FillCounts(st.liveTraces[0], last, 0);
  FillCounts(st.liveTraces[1], maxHold, 0);
  FillCounts(st.liveTraces[2], minHold, 0);
  for (int i = 0; i < 3; ++i) {
    st.liveTraces[i].SetMode(static_cast<std::int16_t>(i));
    st.liveTraces[i].SetValid(true);
  }
  for (int k = 0; k < stored && k < kStoredTraceSlots; ++k) {
    sweepSettings.sweepNumber = static_cast<std::uint64_t>(100 + k);
    RawTrace& t = st.storedTraces[k];
    FillCounts(t, scene.Sweep(sweepSettings), -0.4 * k);
    t.SetMode(static_cast<std::int16_t>(k + 1));
    t.SetColour(st.storedColor);
    t.SetValid(true);
  }
  return st;
}

void Paint(QImage& image, DisplayState& st, QtKeptLayer* kept = nullptr) {
  QPainter painter(&image);
  QtCanvas canvas(painter, QRectF(0, 0, image.width(), image.height()));
  canvas.KeepLayer(kept);
  DrawGrid(canvas, st);
  DrawStored(canvas, st);
}

// A repaint of the view with `stored` stored traces; with `kept` 1 they lie on a kept
// layer as in the window (drawn at the first paint, only laid over the picture after),
// with 0 every trace is drawn at every paint.
void BM_DrawGridFullHd(benchmark::State& bs) {
  QImage image(1920, 1080, QImage::Format_RGB32);
  DisplayState st = SampleState(static_cast<int>(bs.range(0)), image.width());
  QtKeptLayer layer;
  QtKeptLayer* kept = bs.range(1) != 0 ? &layer : nullptr;
  for (auto _ : bs) {
    Paint(image, st, kept);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DrawGridFullHd)
    ->ArgNames({"stored", "kept"})
    ->ArgsProduct({{0, 100}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// "Save to PC": a drawn 1920x1080 graph encoded as JPEG (quality 90), BMP or PNG.
void BM_SavePictureFullHd(benchmark::State& bs) {
  static const char* const kFormats[] = {"jpeg", "bmp", "png"};
  const char* format = kFormats[bs.range(0)];
  QImage image(1920, 1080, QImage::Format_RGB32);
  DisplayState st = SampleState(0, image.width());
  st.backColor = MakeRgb(255, 255, 255);
  st.gridColor = MakeRgb(0, 0, 0);
  Paint(image, st);
  for (auto _ : bs) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, format);
    writer.setQuality(90);
    writer.write(image);
    benchmark::DoNotOptimize(out.data().size());
  }
  bs.SetLabel(format);
}
BENCHMARK(BM_SavePictureFullHd)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A full refresh (traces and settings) over the simulated serial link on the virtual
// clock: the real time spent is the program's and the model's own work; capture_ms is
// the virtual time a capture takes on a real link (the waits asked for and the transfer).
void BM_RefreshOwnWork(benchmark::State& bs) {
  sim::SerialSimLink<SilentNotifier> link;
  CountingClock& clock = link.programClock;
  SilentNotifier& notifier = link.notifier;
  sim::SimSerialPort& serial = link.serial;
  AnalyzerCommands commands(link.transport);
  AnalyzerRefreshSource source(commands);
  DisplayState st;
  TraceRefresh refresh(clock, notifier, source, st);
  refresh.hooks.selectedKind = [] { return ConnectionKind::ComPort; };
  refresh.hooks.serialOpen = [&] { return serial.IsOpen(); };
  bench::OwnWork work(clock, bench::OwnWork::Waits::AreVirtual);
  const std::uint32_t startMs = clock.NowMs();
  for (auto _ : bs) work.Run([&] { refresh.GetTrace(true, true); });
  const double virtualMs = static_cast<double>(clock.NowMs() - startMs);
  bs.counters["capture_ms"] = virtualMs / static_cast<double>(bs.iterations());
  work.Report(bs);
}
BENCHMARK(BM_RefreshOwnWork)->Unit(benchmark::kMillisecond);

int WritePng(int argc, char** argv) {
  std::string path;
  int width = 1200, height = 900, stored = 0;
  bool markers = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--png" && i + 1 < argc)
      path = argv[++i];
    else if (a == "--width" && i + 1 < argc)
      width = std::atoi(argv[++i]);
    else if (a == "--height" && i + 1 < argc)
      height = std::atoi(argv[++i]);
    else if (a == "--stored" && i + 1 < argc)
      stored = std::atoi(argv[++i]);
    else if (a == "--markers")
      markers = true;
  }
  if (path.empty() || width < 100 || height < 100) {
    std::fprintf(stderr,
                 "usage: display_bench --png FILE [--width W] [--height H] "
                 "[--stored N] [--markers]\n");
    return 2;
  }
  QImage image(width, height, QImage::Format_RGB32);
  DisplayState st = SampleState(stored, width);
  st.markerEnabled[0] = markers;
  Paint(image, st);
  if (!image.save(QString::fromStdString(path), "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("wrote %s (%dx%d)\n", path.c_str(), width, height);
  return 0;
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  // Fonts need a GUI application object; no window is shown.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--png") == 0) return vantrel::WritePng(argc, argv);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

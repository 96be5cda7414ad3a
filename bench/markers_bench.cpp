// Speed of the marker aids: the peak search behind "All to Peaks" on one trace, and a
// whole repaint of the view as a marker is dragged (grid, limit lines, three live
// traces, five markers with deltas) on a full-HD offscreen image.
//   markers_bench [benchmark options]
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <vector>

#include "full_span_settings.h"
#include "commands/limit_line.h"
#include "display/graph_frame.h"
#include "display/limit_line_drawing.h"
#include "display/markers.h"
#include "display/peaks.h"
#include "display/spectrum_graph.h"
#include "platform/qt_canvas.h"
#include "sim/analyzer_model.h"
#include "sim/signal_scene.h"
#include "util/numbers.h"

namespace vantrel {
namespace {

constexpr double kRefDbm = -10;

// The default scene over the full span, as the analyzer would send it.
DisplayState SceneState() {
  DisplayState st;
  SetFullSpanSettings(st.settings, kRefDbm);
  st.fontScale = 2.0f;
  const sim::SignalScene scene = sim::SignalScene::Default();
  sim::SweepSettings sweep{0, 3e9, 4e6, sim::Detector::Normal, 0};
  for (int i = 0; i < 3; ++i) {
    sweep.sweepNumber = static_cast<std::uint64_t>(i);
    const std::vector<double> levels = scene.Sweep(sweep);
    RawTrace& t = st.liveTraces[i];
    for (int n = 0; n < kTracePoints; ++n) {
      t.Points()[n] =
          static_cast<std::int16_t>(sim::AnalyzerModel::LevelToCount(levels[n], kRefDbm));
    }
    t.SetMode(static_cast<std::int16_t>(i));
    t.SetColour(kLiveTraceColors[i]);
    t.SetValid(true);
  }
  st.markerTrace = {};
  std::copy(st.liveTraces[0].Points().begin(), st.liveTraces[0].Points().end(),
            st.markerTrace.begin());
  return st;
}

std::vector<PeakPoint> PeakInput(const DisplayState& st) {
  std::vector<PeakPoint> points(kTracePoints);
  const std::int16_t ref = RoundToInt16(st.settings.RefLevel);
  for (int n = 0; n < kTracePoints; ++n) {
    points[n].frequency = XToFreqLin(st.settings.FreqStart, st.settings.FreqStop, n);
    points[n].level = PointHeightTodBm(ref, n, st.markerTrace);
    points[n].count = st.markerTrace[n];
  }
  return points;
}

void BM_FindPeaks501(benchmark::State& bs) {
  const std::vector<PeakPoint> points = PeakInput(SceneState());
  std::size_t found = 0;
  for (auto _ : bs) {
    const auto peaks = FindPeaks(points);
    found = peaks.size();
    benchmark::DoNotOptimize(peaks.data());
  }
  bs.counters["peaks"] = static_cast<double>(found);
}
BENCHMARK(BM_FindPeaks501)->Unit(benchmark::kMicrosecond);

// One drag step: the dropped marker's new frequency, then the whole view repainted.
void BM_DragMarkerRedrawFullHd(benchmark::State& bs) {
  DisplayState st = SceneState();
  st.higherLimitChecked = st.higherLimitLoaded = true;
  st.lowerLimitChecked = st.lowerLimitLoaded = true;
  const LimitLine higher = {{0, -25}, {1000, -25}, {1000, -35}, {3000, -35}};
  const LimitLine lower = {{0, -75}, {3000, -75}};
  MarkerView view;
  const char* deltas[kMarkers] = {"N", "0", "0", "1", "2"};
  for (int i = 0; i < kMarkers; ++i) {
    view.rows[i] = {true, MarkerFrequencyText(st.settings, 60 + 90 * i), deltas[i]};
    st.markerEnabled[i] = true;
  }
  GraphLayers layers;
  layers.markerCalculate = [&](Canvas& c, std::span<const std::int16_t> counts) {
    MarkerCalculate(&c, counts, st.settings, view);
  };
  layers.drawHigherLimit = [&](Canvas& c) {
    DrawLimitLine(c, higher, kHigherLimitColor, st.backColor, st.settings);
  };
  layers.drawLowerLimit = [&](Canvas& c) {
    DrawLimitLine(c, lower, kLowerLimitColor, st.backColor, st.settings);
  };

  QImage image(1920, 1080, QImage::Format_RGB32);
  double x = 0;
  for (auto _ : bs) {
    x = x >= 498 ? 0 : x + 7.3;
    view.rows[0].frequencyText = MarkerFrequencyText(st.settings, DropPoint(x));
    QPainter painter(&image);
    QtCanvas canvas(painter, QRectF(0, 0, image.width(), image.height()));
    DrawGrid(canvas, st, layers);
    canvas.Flush();
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_DragMarkerRedrawFullHd)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

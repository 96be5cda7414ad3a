// The analyzer window against the simulated analyzer in process, on the virtual clock:
// what one change cycle (Enter in a frequency box) costs beyond the waits it must make,
// and how long a resize of the maximised window takes to lay out and repaint the graph.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "app/graph_picture.h"
#include "app/process_globals.h"
#include "app/setting_panel.h"
#include "app/waterfall_picture.h"
#include "link/counting_clock.h"
#include "link/virtual_clock.h"
#include "own_work.h"
#include "platform/qt_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_serial_port.h"
#include "widgets_main.h"

namespace vantrel {
namespace {

struct Rig {
  Rig() : model(clock) {
    DontShowEMISteps = 1;
    auto serial = std::make_unique<sim::SimSerialPort>(clock, model);
    window = std::make_unique<AnalyzerWindow>(AnalyzerLinks{
        programClock, notifier, std::move(serial), std::make_unique<testing::FakeGpib>(false),
        std::make_unique<testing::NoHidDevices>()});
    window->ToolbarAction("btnOpenCOM")->trigger();
  }
  VirtualClock clock;
  // The window's clock: the simulator's time, with the waits the program asks for counted.
  CountingClock programClock{clock};
  testing::RecordingNotifier notifier;
  sim::AnalyzerModel model;
  std::unique_ptr<AnalyzerWindow> window;
};

void BM_ChangeCycleFrequencyEnter(benchmark::State& state) {
  Rig rig;
  if (!rig.window->Identified()) {
    state.SkipWithError("the simulated analyzer did not answer");
    return;
  }
  auto* box = rig.window->findChild<QLineEdit*>("txtFreqStart");
  // On the virtual clock the waits take no real time: the real time measured is the
  // program's own work (and the simulated analyzer's).
  bench::OwnWork work(rig.programClock, bench::OwnWork::Waits::AreVirtual);
  int round = 0;
  for (auto _ : state) {
    box->setText(QString::number(100 + (round++ % 50)));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    work.Run([&] { QApplication::sendEvent(box, &enter); });
  }
  work.Report(state);
}
BENCHMARK(BM_ChangeCycleFrequencyEnter)->Unit(benchmark::kMillisecond);

void BM_ResizeRedrawMaximised(benchmark::State& state) {
  Rig rig;
  rig.window->ToolbarAction("btnCapture")->trigger();
  GraphPicture& pic = rig.window->Graph();
  const QSize sizes[] = {QSize(1366, 700), QSize(1920, 1040)};
  int round = 0;
  for (auto _ : state) {
    rig.window->resize(sizes[round++ % 2]);
    // Maximised as a state too, or the resize event the render sends lays it out normal.
    rig.window->setWindowState(Qt::WindowMaximized);
    rig.window->FormResize(FormState::Maximized);
    QImage image(pic.size(), QImage::Format_RGB32);
    pic.render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ResizeRedrawMaximised)->Unit(benchmark::kMillisecond);

// The picture of one Live sweep at 1920x1080 with a full waterfall: the graph and a
// 500-row waterfall painted after the sweep was added (the sweep itself is not timed).
// The waterfall's rows are coloured again at each sweep, as a new row arrives.
void BM_GraphAndWaterfallPerSweep(benchmark::State& state) {
  Rig rig;
  AnalyzerWindow& window = *rig.window;
  // Maximised as a state, not only laid out so: every later layout (a pending resize
  // event, the waterfall shown) follows the window's state.
  window.resize(1920, 1080);
  window.setWindowState(Qt::WindowMaximized);  // after the resize, which would clear it
  window.FormResize(FormState::Maximized);
  window.findChild<QCheckBox*>("chkWaterfall")->setChecked(true);
  window.Settings().SamplingRate = 0.1;
  QAction* live = window.ToolbarAction("btnLive");
  // Live until the history has changed `sweeps` more times.
  const auto liveFor = [&](std::uint64_t sweeps) {
    const std::uint64_t until = window.History().Generation() + sweeps;
    rig.clock.onEvents = [&] {
      if (window.History().Generation() >= until && live->isChecked()) live->trigger();
    };
    live->trigger();
    rig.clock.onEvents = nullptr;
  };
  liveFor(kDefaultWaterfallRows);
  if (window.History().Size() != kDefaultWaterfallRows) {
    state.SkipWithError("Live did not fill the waterfall");
    return;
  }
  GraphPicture& pic = window.Graph();
  QWidget& waterfall = window.Waterfall();
  QImage graphImage(pic.size(), QImage::Format_RGB32);
  QImage waterfallImage(waterfall.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    state.PauseTiming();
    liveFor(1);
    state.ResumeTiming();
    if (state.range(0) != 2) pic.render(&graphImage);
    if (state.range(0) != 1) waterfall.render(&waterfallImage);
    benchmark::DoNotOptimize(waterfallImage.constBits());
  }
  state.counters["graph_px"] = pic.width() * pic.height();
  state.counters["waterfall_px"] = waterfall.width() * waterfall.height();
}
// 0: both; 1: the graph alone; 2: the waterfall alone.
BENCHMARK(BM_GraphAndWaterfallPerSweep)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("part")
    ->Unit(benchmark::kMillisecond);

// Resident memory of the process in kB (Linux), 0 where it cannot be read.
long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// An hour of Live at one sweep a second on the virtual clock, waterfall shown: the
// resident memory after the first ten minutes and at the end of the hour.
void BM_LiveHourMemory(benchmark::State& state) {
  DontShowEMISteps = 1;
  VirtualClock clock;
  SilentNotifier notifier;
  sim::AnalyzerModel model(clock);
  AnalyzerWindow window(AnalyzerLinks{
      clock, notifier, std::make_unique<sim::SimSerialPort>(clock, model),
      std::make_unique<testing::FakeGpib>(false), std::make_unique<testing::NoHidDevices>()});
  window.ToolbarAction("btnOpenCOM")->trigger();
  window.findChild<QCheckBox*>("chkWaterfall")->setChecked(true);
  QAction* live = window.ToolbarAction("btnLive");
  for (auto _ : state) {
    const std::uint32_t start = clock.NowMs();
    long tenMinutesKb = 0;
    clock.onEvents = [&] {
      const std::uint32_t ran = clock.NowMs() - start;
      if (tenMinutesKb == 0 && ran >= 600000) tenMinutesKb = ResidentKb();
      if (ran >= 3600000 && live->isChecked()) live->trigger();
    };
    live->trigger();
    clock.onEvents = nullptr;
    state.counters["rss_kb_10min"] = static_cast<double>(tenMinutesKb);
    state.counters["rss_kb_60min"] = static_cast<double>(ResidentKb());
    state.counters["rows"] = static_cast<double>(window.History().Size());
  }
}
BENCHMARK(BM_LiveHourMemory)->Iterations(1)->Unit(benchmark::kSecond);

// On the real clock: a capture stalls on a silent analyzer; Escape (or a disconnect)
// arrives 300 ms into the stalled query. Measured: wall time from the key to the end
// of the capture, which must stay within one wait step.
void BM_StopStalledCapture(benchmark::State& state) {
  DontShowEMISteps = 1;
  QtClock clock;
  testing::RecordingNotifier notifier;
  sim::AnalyzerModel model(clock);
  auto serial = std::make_unique<sim::SimSerialPort>(clock, model);
  AnalyzerWindow window(AnalyzerLinks{clock, notifier, std::move(serial),
                                      std::make_unique<testing::FakeGpib>(false),
                                      std::make_unique<testing::NoHidDevices>()});
  QAction* open = window.ToolbarAction("btnOpenCOM");
  const bool disconnect = state.range(0) == 1;
  double worstMs = 0, totalMs = 0;
  for (auto _ : state) {
    model.Faults() = {};
    if (!open->isChecked()) open->trigger();
    if (!window.Identified()) {
      state.SkipWithError("the simulated analyzer did not answer");
      return;
    }
    model.Faults().silentAfter = 6;  // the stop frequency gets no answer
    std::optional<std::chrono::steady_clock::time_point> stalled, stopped;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      const auto now = std::chrono::steady_clock::now();
      if (!stalled && notifier.statuses.back() == "Getting stop freq.") stalled = now;
      if (stalled && !stopped && now - *stalled >= std::chrono::milliseconds(300)) {
        stopped = now;
        if (disconnect) {
          open->trigger();
        } else {
          QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
          QApplication::sendEvent(&window, &escape);
        }
      }
    });
    watch.start(5);
    window.ToolbarAction("btnCapture")->trigger();
    const auto ended = std::chrono::steady_clock::now();
    watch.stop();
    if (!stopped) {
      state.SkipWithError("the capture never stalled");
      return;
    }
    const double ms = std::chrono::duration<double, std::milli>(ended - *stopped).count();
    worstMs = std::max(worstMs, ms);
    totalMs += ms;
  }
  state.counters["stop_to_end_ms_mean"] = totalMs / static_cast<double>(state.iterations());
  state.counters["stop_to_end_ms_worst"] = worstMs;
}
BENCHMARK(BM_StopStalledCapture)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("disconnect")
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  return vantrel::bench::RunWidgetBenchmarks(argc, argv);
}

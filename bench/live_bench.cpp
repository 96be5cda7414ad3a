// Live's sweep rate against the simulated analyzer in process, on the real clock, at the
// fastest sampling rate (0.1 s): over the serial link paced by its baud rate (115200,
// all three traces, 10 bits a byte on the clock), over USB with each report's transfer
// time, and over GPIB with an adapter's turnaround. Counted between the first and the last sweep of the run,
// so the first sweep's settings read stays out. Counters:
//   sweeps_per_s        sweeps added to the waterfall per second
//   ms_per_sweep        the real time of one sweep
//   prescribed_wait_ms  per sweep, the waits the program asked its Clock for
//   link_ms             per sweep, the simulated link's blocking transfers (USB reports)
//   own_work_ms         per sweep, the rest: parsing and drawing, and any answer travel
//                       the program did not wait for (near 0 means the link sets the pace)
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QTimer>
#include <chrono>
#include <optional>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "app/process_globals.h"
#include "app/setting_panel.h"
#include "link/counting_clock.h"
#include "platform/qt_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_gpib_library.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"
#include "widgets_main.h"

namespace vantrel {
namespace {

constexpr int kRunMs = 6000;
// Over USB the analyzer's time shows in the reports: each control transfer blocks for
// the simulator's 2 ms. The program reads the block's first report right after the
// command, so an answer that became readable only later would read as empty.
constexpr int kUsbLatencyMs = 0;
// An IEEE-488 adapter turns a query around in a few milliseconds.
constexpr int kGpibLatencyMs = 5;

AnalyzerLinks Links(ConnectionKind kind, int usbReportMs, Clock& simClock, Clock& programClock,
                    Notifier& notifier, sim::AnalyzerModel& model) {
  auto hid = std::make_unique<sim::SimHidBackend>(simClock, 1);
  hid->Analyzer(0).latencyMs = kUsbLatencyMs;
  hid->Analyzer(0).transferMs = usbReportMs;
  std::unique_ptr<GpibLibrary> gpib = std::make_unique<testing::FakeGpib>(false);
  if (kind == ConnectionKind::Gpib) {
    gpib = std::make_unique<sim::SimGpibLibrary>(simClock, model,
                                                 sim::SimGpibOptions{.latencyMs = kGpibLatencyMs});
  }
  return AnalyzerLinks{programClock, notifier,
                       std::make_unique<sim::SimSerialPort>(simClock, model), std::move(gpib),
                       std::move(hid), {}, {}, {}, {}, {}};
}

// `usbReportMs`: how long each USB report's control transfer blocks (2 ms, the simulator's
// default; 1 ms, one full-speed frame).
void LiveRate(benchmark::State& state, ConnectionKind kind, int usbReportMs = 2) {
  DontShowEMISteps = 1;
  QtClock clock;
  // The window's clock: real time, with the waits the program asks for counted.
  CountingClock programClock{clock};
  // The simulator's: the time its transfers block for, counted apart.
  CountingClock simClock{clock};
  testing::RecordingNotifier notifier;
  sim::AnalyzerModel model(simClock);
  AnalyzerWindow window(Links(kind, usbReportMs, simClock, programClock, notifier, model));
  SettingPanel& panel = window.Settings();
  (kind == ConnectionKind::Usb    ? panel.optUSB
   : kind == ConnectionKind::Gpib ? panel.optGPIB
                                  : panel.OptCOM)
      ->setChecked(true);
  window.ToolbarAction("btnOpenCOM")->trigger();
  if (!window.Identified() || window.SelectedKind() != kind) {
    state.SkipWithError("the simulated analyzer did not answer on the chosen link");
    return;
  }
  panel.SamplingRate = 0.1;
  QAction* live = window.ToolbarAction("btnLive");

  using Steady = std::chrono::steady_clock;
  struct Mark {
    Steady::time_point at;
    double askedMs = 0;
    double linkMs = 0;
  };
  for (auto _ : state) {
    // Each sweep added to the history, seen at once from inside the loop's waits.
    std::optional<Mark> first, last;
    int sweeps = 0;
    std::uint64_t seen = window.History().Generation();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (window.History().Generation() == seen) return;
      seen = window.History().Generation();
      const Mark mark{Steady::now(), programClock.AskedMs(), simClock.AskedMs()};
      if (!first) first = mark;
      last = mark;
      ++sweeps;
    });
    watch.start(1);
    QTimer::singleShot(kRunMs, [&] {
      if (live->isChecked()) live->trigger();
    });
    live->trigger();
    watch.stop();
    if (sweeps < 3) {
      state.SkipWithError("Live made fewer than three sweeps");
      return;
    }
    const double n = sweeps - 1;
    const double ms = std::chrono::duration<double, std::milli>(last->at - first->at).count();
    const double asked = last->askedMs - first->askedMs;
    const double link = last->linkMs - first->linkMs;
    state.counters["sweeps_per_s"] = n * 1000 / ms;
    state.counters["ms_per_sweep"] = ms / n;
    state.counters["prescribed_wait_ms"] = asked / n;
    state.counters["link_ms"] = link / n;
    state.counters["own_work_ms"] = (ms - asked - link) / n;
  }
}

void BM_LiveRateSerial115200(benchmark::State& state) {
  LiveRate(state, ConnectionKind::ComPort);
}
void BM_LiveRateUsb(benchmark::State& state) {
  LiveRate(state, ConnectionKind::Usb);
}
void BM_LiveRateUsbOneMsReports(benchmark::State& state) {
  LiveRate(state, ConnectionKind::Usb, 1);
}
void BM_LiveRateGpib(benchmark::State& state) {
  LiveRate(state, ConnectionKind::Gpib);
}
BENCHMARK(BM_LiveRateSerial115200)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_LiveRateUsb)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_LiveRateUsbOneMsReports)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_LiveRateGpib)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  return vantrel::bench::RunWidgetBenchmarks(argc, argv);
}

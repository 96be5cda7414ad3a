// The program's window connected to vantrel-sim over a real pty: how much processor it
// uses while connected and idle, and what identification costs against the waits the
// connection procedure prescribes.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <fstream>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "e2e/sim_process.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"

namespace vantrel {
namespace {

// Waits of a serial connect at 115200 baud: 57600 tried first (open wait 500, query
// settle 500, polling up to 1000 ms after the start, a second settle of 500), then
// 115200 (open wait 500, settle 500, answer), then 200 before the identity check.
constexpr double kPrescribedConnectMs = 500 + 1500 + 500 + 500 + 200;
// One "*IDN?" query with the identification's 500 ms settle time.
constexpr double kPrescribedQueryMs = 500;

struct Rig {
  Rig() : sim(dir.filePath("link")) {
    std::ofstream(dir.filePath("ComPorts.ini").toStdString())
        << "COM1=" << dir.filePath("link").toStdString() << "\n";
    auto serial = std::make_unique<QtSerialPort>(dir.filePath("ComPorts.ini").toStdString());
    window = std::make_unique<AnalyzerWindow>(AnalyzerLinks{
        clock, notifier, std::move(serial), std::make_unique<testing::FakeGpib>(false),
        std::make_unique<testing::NoHidDevices>()});
  }
  QAction* Connect() { return window->ToolbarAction("btnOpenCOM"); }

  QTemporaryDir dir;
  testing::SimProcess sim;
  QtClock clock;
  testing::RecordingNotifier notifier;
  std::unique_ptr<AnalyzerWindow> window;
};

void BM_ConnectOverPty(benchmark::State& state) {
  Rig rig;
  if (!rig.sim.Ready()) {
    state.SkipWithError("vantrel-sim did not start");
    return;
  }
  double total = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    rig.Connect()->trigger();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    state.SetIterationTime(ms / 1000);
    total += ms;
    if (!rig.window->Identified()) {
      state.SkipWithError("not identified");
      return;
    }
    rig.Connect()->trigger();  // disconnect, outside the measured time
  }
  const double mean = total / static_cast<double>(state.iterations());
  state.counters["prescribed_ms"] = kPrescribedConnectMs;
  state.counters["measured_ms"] = mean;
  state.counters["over_prescribed_pct"] = (mean / kPrescribedConnectMs - 1) * 100;
}

void BM_IdentifyQueryOverPty(benchmark::State& state) {
  Rig rig;
  rig.Connect()->trigger();
  if (!rig.sim.Ready() || !rig.window->Identified()) {
    state.SkipWithError("no connection to vantrel-sim");
    return;
  }
  double total = 0;
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    const std::string answer = rig.window->Transport().SendQuery("*IDN?", 500);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    state.SetIterationTime(ms / 1000);
    total += ms;
    if (!ConnectionSetup::NamesAnalyzer(answer)) {
      state.SkipWithError("identity answer missing");
      return;
    }
  }
  const double mean = total / static_cast<double>(state.iterations());
  state.counters["prescribed_ms"] = kPrescribedQueryMs;
  state.counters["measured_ms"] = mean;
  state.counters["over_prescribed_pct"] = (mean / kPrescribedQueryMs - 1) * 100;
}

void BM_IdleWhileConnected(benchmark::State& state) {
  Rig rig;
  rig.Connect()->trigger();
  if (!rig.sim.Ready() || !rig.window->Identified()) {
    state.SkipWithError("no connection to vantrel-sim");
    return;
  }
  rig.window->show();
  const int idleMs = static_cast<int>(state.range(0));
  double cpuPercent = 0;
  for (auto _ : state) {
    const std::clock_t cpuStart = std::clock();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(idleMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double wallMs = static_cast<double>(wall.elapsed());
    state.SetIterationTime(wallMs / 1000);
    cpuPercent = 100.0 * cpuMs / wallMs;
  }
  state.counters["cpu_pct_of_core"] = cpuPercent;
}

BENCHMARK(BM_ConnectOverPty)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdentifyQueryOverPty)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleWhileConnected)
    ->Arg(3000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

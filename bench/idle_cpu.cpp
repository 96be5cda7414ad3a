// The program's window connected to vantrel-sim over a real pty: how much processor it
// uses while connected and idle, and what connecting, one query, a capture and a settings
// change cost beyond the waits the program asks for (counted as they happen).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <fstream>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "app/setting_panel.h"
#include "e2e/sim_process.h"
#include "link/counting_clock.h"
#include "own_work.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"

namespace vantrel {
namespace {

struct Rig {
  Rig() : sim(dir.filePath("link")) {
    std::ofstream(dir.filePath("ComPorts.ini").toStdString())
        << "COM1=" << dir.filePath("link").toStdString() << "\n";
    auto serial = std::make_unique<QtSerialPort>(dir.filePath("ComPorts.ini").toStdString());
    window = std::make_unique<AnalyzerWindow>(AnalyzerLinks{
        clock, notifier, std::move(serial), std::make_unique<testing::FakeGpib>(false),
        std::make_unique<testing::NoHidDevices>()});
  }
  // Connects, or marks the benchmark skipped when the simulator is not there.
  bool Connected(benchmark::State& state) {
    Connect()->trigger();
    if (sim.Ready() && window->Identified()) return true;
    state.SkipWithError("no connection to vantrel-sim");
    return false;
  }
  QAction* Connect() { return window->ToolbarAction("btnOpenCOM"); }

  QTemporaryDir dir;
  testing::SimProcess sim;
  QtClock realClock;
  CountingClock clock{realClock};
  testing::RecordingNotifier notifier;
  std::unique_ptr<AnalyzerWindow> window;
};

void BM_ConnectOverPty(benchmark::State& state) {
  Rig rig;
  if (!rig.sim.Ready()) {
    state.SkipWithError("vantrel-sim did not start");
    return;
  }
  bench::OwnWork work(rig.clock, bench::OwnWork::Waits::TakeRealTime);
  for (auto _ : state) {
    state.SetIterationTime(work.Run([&] { rig.Connect()->trigger(); }) / 1000);
    if (!rig.window->Identified()) {
      state.SkipWithError("not identified");
      return;
    }
    rig.Connect()->trigger();  // disconnect, outside the measured time
  }
  work.Report(state);
}

void BM_IdentifyQueryOverPty(benchmark::State& state) {
  Rig rig;
  if (!rig.Connected(state)) return;
  bench::OwnWork work(rig.clock, bench::OwnWork::Waits::TakeRealTime);
  for (auto _ : state) {
    std::string answer;
    state.SetIterationTime(
        work.Run([&] { answer = rig.window->Transport().SendQuery("*IDN?", 500); }) / 1000);
    if (!ConnectionSetup::NamesAnalyzer(answer)) {
      state.SkipWithError("identity answer missing");
      return;
    }
  }
  work.Report(state);
}

void BM_CaptureOverPty(benchmark::State& state) {
  Rig rig;
  if (!rig.Connected(state)) return;
  bench::OwnWork work(rig.clock, bench::OwnWork::Waits::TakeRealTime);
  for (auto _ : state) {
    rig.window->Display().liveTraces[0].SetValid(false);
    state.SetIterationTime(work.Run([&] { rig.window->ToolbarAction("btnCapture")->trigger(); }) /
                           1000);
    if (!rig.window->Display().liveTraces[0].Valid()) {
      state.SkipWithError("no trace captured");
      return;
    }
  }
  work.Report(state);
}

// Enter in the start frequency box: the command, its verification and the refresh of
// every setting that follows.
void BM_SettingsChangeOverPty(benchmark::State& state) {
  Rig rig;
  if (!rig.Connected(state)) return;
  auto* box = rig.window->findChild<QLineEdit*>("txtFreqStart");
  bench::OwnWork work(rig.clock, bench::OwnWork::Waits::TakeRealTime);
  int round = 0;
  for (auto _ : state) {
    box->setText(QString::number(100 + (round++ % 50)));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    state.SetIterationTime(work.Run([&] { QApplication::sendEvent(box, &enter); }) / 1000);
  }
  work.Report(state);
}

// Live at the fastest sampling rate (0.1 s) over the pty, vantrel-sim pacing its answers
// by the baud rate (115200, all three traces on): sweeps per second between the first and
// the last sweep of a six-second run, and the waits the program asked for per sweep.
void BM_LiveOverPty(benchmark::State& state) {
  Rig rig;
  if (!rig.Connected(state)) return;
  rig.window->Settings().SamplingRate = 0.1;
  QAction* live = rig.window->ToolbarAction("btnLive");
  for (auto _ : state) {
    int sweeps = 0;
    std::uint64_t seen = rig.window->History().Generation();
    QElapsedTimer wall;
    double firstMs = 0, lastMs = 0, firstAsked = 0, lastAsked = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (rig.window->History().Generation() == seen) return;
      seen = rig.window->History().Generation();
      if (sweeps++ == 0) {
        wall.start();
        firstAsked = rig.clock.AskedMs();
      }
      lastMs = static_cast<double>(wall.elapsed());
      lastAsked = rig.clock.AskedMs();
    });
    watch.start(1);
    QTimer::singleShot(6000, [&] {
      if (live->isChecked()) live->trigger();
    });
    live->trigger();
    if (sweeps < 3) {
      state.SkipWithError("Live made fewer than three sweeps");
      return;
    }
    const double n = sweeps - 1;
    state.counters["sweeps_per_s"] = n * 1000 / (lastMs - firstMs);
    state.counters["prescribed_wait_ms"] = (lastAsked - firstAsked) / n;
  }
}

void BM_IdleWhileConnected(benchmark::State& state) {
  Rig rig;
  if (!rig.Connected(state)) return;
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
BENCHMARK(BM_CaptureOverPty)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsChangeOverPty)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiveOverPty)->Iterations(1)->Unit(benchmark::kSecond);
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

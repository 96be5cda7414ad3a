// One identification exchange over the in-process simulated analyzer. The clock is
// virtual, so the prescribed waits (settle time, polling) cost no real time: the
// measured time is the program's own work (plus the simulator's, an upper bound), and
// the counter "prescribed_wait_ms" shows the waits the program asked for.
#include <benchmark/benchmark.h>

#include <string>

#include "link/command_transport.h"
#include "link/connection_setup.h"
#include "link/counting_clock.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"
#include "own_work.h"
#include "sim/sim_gpib_library.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"

namespace vantrel {
namespace {

struct Link {
  VirtualClock clock;
  // The program's clock: the simulator's time, with the waits the program asks for counted.
  CountingClock programClock{clock};
  SilentNotifier notifier;
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort serial{clock, model};
  sim::SimGpibLibrary gpib{clock, model};
  sim::SimHidBackend hid{clock, 1};
  UsbHid usb{hid, notifier};
  CommandTransport transport{LinkPorts{programClock, notifier, serial, gpib, usb}};
  ConnectionSetup setup{transport};
  explicit Link(ConnectionKind kind) {
    transport.selectedKind = [kind] { return kind; };
  }
};

void Exchange(benchmark::State& state, ConnectionKind kind) {
  Link link(kind);
  if (link.setup.Connect() != ConnectOutcome::Identified) {
    state.SkipWithError("the simulated analyzer was not identified");
    return;
  }
  bench::OwnWork work(link.programClock, bench::OwnWork::Waits::AreVirtual);
  std::size_t answered = 0;
  for (auto _ : state) {
    work.Run([&] {
      const std::string answer = link.transport.SendQuery("*IDN?", 500);
      answered += ConnectionSetup::NamesAnalyzer(answer) ? 1 : 0;
      benchmark::DoNotOptimize(answer);
    });
  }
  if (answered != static_cast<std::size_t>(state.iterations())) {
    state.SkipWithError("an exchange did not identify the analyzer");
  }
  work.Report(state);
}

void BM_IdentifySerial(benchmark::State& state) {
  Exchange(state, ConnectionKind::ComPort);
}
void BM_IdentifyUsb(benchmark::State& state) {
  Exchange(state, ConnectionKind::Usb);
}

// A whole connect: both serial settings, the waits of the connect steps.
void BM_ConnectSerial(benchmark::State& state) {
  double asked = 0;
  for (auto _ : state) {
    Link link(ConnectionKind::ComPort);
    if (link.setup.Connect() != ConnectOutcome::Identified) {
      state.SkipWithError("the simulated analyzer was not identified");
      return;
    }
    asked += link.programClock.AskedMs();
  }
  state.counters["prescribed_wait_ms"] =
      benchmark::Counter(asked, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_IdentifySerial);
BENCHMARK(BM_IdentifyUsb);
BENCHMARK(BM_ConnectSerial);

}  // namespace
}  // namespace vantrel

BENCHMARK_MAIN();

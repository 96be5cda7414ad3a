// One identification exchange over the in-process simulated analyzer. The clock is
// virtual, so the prescribed waits (settle time, polling) cost no real time: the
// measured CPU time is the program's own work (plus the simulator's, an upper bound),
// and the counter "prescribed_wait_ms" shows the waits the exchange would take.
#include <benchmark/benchmark.h>

#include <string>

#include "link/command_transport.h"
#include "link/connection_setup.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"
#include "sim/sim_gpib_library.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"

namespace vantrel {
namespace {

struct Link {
  VirtualClock clock;
  SilentNotifier notifier;
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort serial{clock, model};
  sim::SimGpibLibrary gpib{clock, model};
  sim::SimHidBackend hid{clock, 1};
  UsbHid usb{hid, notifier};
  CommandTransport transport{LinkPorts{clock, notifier, serial, gpib, usb}};
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
  const std::uint64_t sleptBefore = link.clock.SleptMs();
  std::size_t answered = 0;
  for (auto _ : state) {
    const std::string answer = link.transport.SendQuery("*IDN?", 500);
    answered += ConnectionSetup::NamesAnalyzer(answer) ? 1 : 0;
    benchmark::DoNotOptimize(answer);
  }
  if (answered != static_cast<std::size_t>(state.iterations())) {
    state.SkipWithError("an exchange did not identify the analyzer");
  }
  state.counters["prescribed_wait_ms"] = benchmark::Counter(
      static_cast<double>(link.clock.SleptMs() - sleptBefore), benchmark::Counter::kAvgIterations);
}

void BM_IdentifySerial(benchmark::State& state) {
  Exchange(state, ConnectionKind::ComPort);
}
void BM_IdentifyUsb(benchmark::State& state) {
  Exchange(state, ConnectionKind::Usb);
}

// A whole connect: both serial settings, the waits of the connect steps.
void BM_ConnectSerial(benchmark::State& state) {
  std::uint64_t slept = 0;
  for (auto _ : state) {
    Link link(ConnectionKind::ComPort);
    if (link.setup.Connect() != ConnectOutcome::Identified) {
      state.SkipWithError("the simulated analyzer was not identified");
      return;
    }
    slept += link.clock.SleptMs();
  }
  state.counters["prescribed_wait_ms"] =
      benchmark::Counter(static_cast<double>(slept), benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_IdentifySerial);
BENCHMARK(BM_IdentifyUsb);
BENCHMARK(BM_ConnectSerial);

}  // namespace
}  // namespace vantrel

BENCHMARK_MAIN();

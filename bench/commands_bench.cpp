// Decoding speed of live and stored trace answers, and what a settings refresh costs
// the program itself next to the waits the protocol prescribes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "commands/analyzer_commands.h"
#include "commands/analyzer_settings.h"
#include "commands/stored_trace.h"
#include "commands/trace_block.h"
#include "link/command_transport.h"
#include "link/counting_clock.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"
#include "own_work.h"
#include "sim/analyzer_model.h"
#include "sim/sim_gpib_library.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"

namespace vantrel {
namespace {

std::vector<std::uint8_t> FullSerialBlock() {
  std::vector<std::uint8_t> block;
  for (int t = 0; t < 3; ++t) {
    block.push_back('#');
    block.push_back(static_cast<std::uint8_t>(0x41 + t));
    block.push_back(13);
  }
  for (int t = 0; t < 3; ++t) {
    for (int k = 0; k < kTracePoints; ++k) {
      const int v = (k * 7 + t * 100) % 1024;
      block.push_back(static_cast<std::uint8_t>(v >> 8));
      block.push_back(static_cast<std::uint8_t>(v & 0xFF));
      block.push_back(13);
    }
  }
  return block;
}

void BM_DecodeThreeTraceBlock(benchmark::State& state) {
  const std::vector<std::uint8_t> block = FullSerialBlock();
  std::vector<RawTrace> traces(3);
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeTraceBlock(block, TraceFraming::SerialUsb, traces));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DecodeThreeTraceBlock)->Unit(benchmark::kMicrosecond);

void BM_ParseStoredTraceText(benchmark::State& state) {
  std::string text = "{";
  for (int k = 0; k < kTracePoints; ++k) {
    if (k > 0) text += ',';
    text += std::to_string(k % 3 == 0 ? 65535 - k : (k * 13) % 1024);
  }
  text += '}';
  RawTrace record;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseStoredTraceText(text, record.Points()));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ParseStoredTraceText)->Unit(benchmark::kMicrosecond);

// The refresh's query sequence over the in-process analyzer on the serial link. The
// virtual clock makes the prescribed waits free, so the time measured is the
// program's own work (plus the simulator's); "prescribed_wait_ms" is what it asked for.
void BM_SettingsRefresh(benchmark::State& state) {
  VirtualClock clock;
  SilentNotifier notifier;
  sim::AnalyzerModel model(clock);
  sim::SimSerialPort serial(clock, model);
  sim::SimGpibLibrary gpib(clock, model);
  sim::SimHidBackend hid(clock);
  UsbHid usb(hid, notifier);
  serial.SetSettings("115200,N,8,1");
  serial.Open();
  CountingClock programClock(clock);
  CommandTransport transport(LinkPorts{programClock, notifier, serial, gpib, usb});
  AnalyzerCommands c(transport);
  AnalyzerSettings s;
  bench::OwnWork work(programClock, bench::OwnWork::Waits::AreVirtual);
  for (auto _ : state) {
    work.Run([&] {
      s.RefUnit = c.Get_RefUnit();
      c.Get_SweepTime_str();
      s.Scale = c.Get_Scale();
      s.FreqStart = c.Get_FreqStart();
      s.FreqCenter = c.Get_FreqCenter();
      s.FreqStop = c.Get_FreqStop();
      s.Span = c.Get_SPAN();
      s.RefLevel = c.Get_RefLevel();
      s.RBWMode = c.Get_RBWMode();
      s.RBW = c.Get_RBW();
      s.SweepTime = c.Get_SweepTime_str();
      s.VBWMode = c.Get_VBWMode();
      s.VBW = c.Get_VBW();
      benchmark::DoNotOptimize(s);
    });
  }
  work.Report(state);
}
BENCHMARK(BM_SettingsRefresh)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel

BENCHMARK_MAIN();

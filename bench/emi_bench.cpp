// EMI mode: what listing and loading the standards costs (a typical file, and the
// 1 MB a hostile file is cut to), what a conducted scan costs the program itself
// against the simulated analyzer on the virtual clock (the waits cost nothing there), and
// judging every point of a three-band scan against both limit lines (under 0.1 ms).
#include <benchmark/benchmark.h>

#include <cmath>

#include "commands/sim_link.h"
#include "emi/emi_results.h"
#include "emi/emi_sequences.h"
#include "emi/standard_list.h"

namespace vantrel {
namespace {

const char kConducted[] =
    "[general]\nname=CISPR 32 Class B Conducted\ndescription=Conducted Emission 0.15-30MHz\n"
    "emimode=Conducted\nregulation=CISPR 32 Class B\ndetection=QPeak\nfreq start=0.15\n"
    "freq stop=30\nscale=10\n[band]\n1=0.15,0.5\n2=0.5,5\n3=5,30\n[limitlower]\n"
    "1=0.15,56,0.5,46\n2=0.5,46,5,46\n3=5,50,30,50\n[limitupper]\n1=0.15,66,0.5,56\n"
    "2=0.5,56,5,56\n3=5,60,30,60\n";

void BM_ListEighteenStandards(benchmark::State& state) {
  const std::vector<StandardFile> files(18, StandardFile{"s.txt", kConducted, ""});
  for (auto _ : state) benchmark::DoNotOptimize(ListStandards(files, "Conducted"));
}
BENCHMARK(BM_ListEighteenStandards);

void BM_ListAHostileTenMegabyteFile(benchmark::State& state) {
  std::string huge(10 << 20, '1');
  for (std::size_t i = 80; i < huge.size(); i += 81) huge[i] = '\n';
  huge.replace(0, 7, "[band]\n");
  const std::vector<StandardFile> files{{"huge.txt", huge, ""}};
  for (auto _ : state) benchmark::DoNotOptimize(ListStandards(files, "Conducted"));
}
BENCHMARK(BM_ListAHostileTenMegabyteFile)->Unit(benchmark::kMillisecond);

void BM_ConductedScanThreeBands(benchmark::State& state) {
  testing::SimLink link(ConnectionKind::ComPort);
  AnalyzerCommands commands(link.transport);
  EmiSequences sequences(commands);
  LimitStandard standard;
  ParseStandard(kConducted, standard);
  EmiResults results;
  for (auto _ : state) {
    sequences.RunConductedScan(standard, 107, results);
    link.notifier.statuses.clear();
  }
  state.counters["virtual_s"] = static_cast<double>(link.clock.SleptMs()) / 1000 /
                                static_cast<double>(state.iterations());
}
BENCHMARK(BM_ConductedScanThreeBands)->Unit(benchmark::kMillisecond);

// A three-band scan whose floor rises into the lower line now and then, so the verdict
// also builds stretches.
void BM_JudgeEveryPointOfThreeBands(benchmark::State& state) {
  LimitStandard standard;
  ParseStandard(kConducted, standard);
  std::vector<EmiPoint> points;
  for (const ScanBand& band : standard.bands) {
    for (int k = 0; k < kEmiTracePoints; ++k) {
      const double f = band.start + k * (band.stop - band.start) / 500;
      points.push_back({f, 40 + 8 * std::sin(f * 40), 0});
    }
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(JudgeMeasuredPoints(points, standard, FrequencyAxis::Logarithmic,
                                                 kDefaultGuardBandDb));
  }
  state.counters["points"] = static_cast<double>(points.size());
}
BENCHMARK(BM_JudgeEveryPointOfThreeBands)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel

BENCHMARK_MAIN();

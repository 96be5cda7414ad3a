// The EMI sequences against the simulated analyzer on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "commands/sim_link.h"
#include "emi/emi_rules.h"
#include "emi/emi_sequences.h"

namespace vantrel {
namespace {

using testing::SimLink;

LimitStandard ConductedStandard() {
  LimitStandard s;
  s.emiMode = "Conducted";
  s.detection = "Peak+";
  s.scale = 10;
  s.freqStart = 0.15;
  s.freqStop = 30;
  s.bands = {{0.15, 0.5}, {0.5, 30}};
  return s;
}

struct Bench {
  SimLink link{ConnectionKind::ComPort};
  AnalyzerCommands commands{link.transport};
  EmiSequences sequences{commands};
  EmiResults results;
};

std::vector<std::string> Settles(const std::vector<std::string>& statuses) {
  std::vector<std::string> out;
  for (const auto& s : statuses) {
    if (s.starts_with("Waitting")) out.push_back(s);
  }
  return out;
}

TEST(EmiSequences, ConductedScanSweepsEachBand) {
  Bench run;
  ASSERT_EQ(run.sequences.RunConductedScan(ConductedStandard(), 107, run.results),
            EmiOutcome::Done);
  const auto& trace = run.results.trace;
  ASSERT_EQ(trace.size(), 1002u);
  EXPECT_DOUBLE_EQ(trace[501].frequency, 0.5);
  EXPECT_DOUBLE_EQ(trace[1001].frequency, 30);
  // Each point keeps the trace value its level was computed from.
  EXPECT_NEAR(trace[1001].level, 107 - (1023 - trace[1001].raw) * 80.0 / 1023, 1e-9);
  EXPECT_LE(std::max_element(trace.begin(), trace.end(), [](auto& a, auto& b) {
              return a.level < b.level;
            })->level, 107);
  EXPECT_EQ(Settles(run.link.notifier.statuses),
            (std::vector<std::string>{"Waitting 2.0 Sec for wave settle.",
                                      "Waitting 6.6 Sec for wave settle."}));
  EXPECT_EQ(run.results.header.rbw, "9KHz");
  EXPECT_EQ(run.results.header.timeStamp.size(), 19u);
  EXPECT_EQ(run.link.notifier.statuses.back(), "");
  EXPECT_EQ(run.link.Count("MEAS:FREQ:STP 30 MHz"), 1);
  // Progress beside the texts: band by band, weighed by the settle times, then gone.
  EXPECT_EQ(run.link.notifier.progress,
            (std::vector<std::string>{"?", "0/8555", "2000/8555", "2000/8555", "8555/8555", "-"}));
}

TEST(EmiSequences, TheAnalyzerSeesTheSettingsThenTheSettledSweep) {
  Bench run;
  std::vector<std::pair<std::uint32_t, std::string>> heard;  // the analyzer's side, timed
  std::size_t seen = 0;
  run.link.clock.onEvents = [&] {
    const auto& r = run.link.serial.Received();
    for (; seen < r.size(); ++seen) heard.emplace_back(run.link.clock.NowMs(), r[seen]);
  };
  LimitStandard s = ConductedStandard();
  s.freqStart = 30;
  s.freqStop = 230;
  ASSERT_EQ(run.sequences.RunRadiatedScan(s, 50, run.results), EmiOutcome::Done);
  std::vector<std::string> commands;
  std::uint32_t lastSet = 0, read = 0;
  for (const auto& [ms, line] : heard) {
    if (line.ends_with('?')) {
      if (line == "meas:tra:read 1?") read = ms;
      continue;
    }
    commands.push_back(line);
    lastSet = ms;
    if (read) break;
  }
  EXPECT_EQ(commands, (std::vector<std::string>{"MEAS:TRA:DET 3", "MEAS:REFL:SCALE 1",
                                                "MEAS:REFL:UNIT 3", "MEAS:REFL 50",
                                                "CON:RBW:MAN 6", "MEAS:FREQ:ST 30 MHz",
                                                "MEAS:FREQ:STP 230 MHz"}));
  EXPECT_GE(read - lastSet, 3000 + kMinSettleMs);
  // Reference 50 dBuV: counts raised by 90 before they become levels.
  const auto& raw = run.results.liveBuffer;
  EXPECT_GE(*std::min_element(raw.begin(), raw.end()), 90);
  EXPECT_EQ(run.results.markerPoints[500].frequency, 230);
}

TEST(EmiSequences, RefusalsAndStops) {
  Bench run;
  LimitStandard noBands = ConductedStandard();
  noBands.bands.clear();
  EXPECT_EQ(run.sequences.RunConductedScan(noBands, 107, run.results),
            EmiOutcome::NothingToMeasure);
  EXPECT_EQ(run.link.notifier.messages.size(), 1u);
  EXPECT_TRUE(run.link.Received().empty());

  EmiOutcome nested = EmiOutcome::Done;
  bool disconnected = false;
  run.link.clock.onEvents = [&] {
    if (run.results.trace.size() == 501 && !disconnected) {
      nested = run.sequences.RunRadiatedScan(ConductedStandard(), 107, run.results);
      disconnected = true;
    }
  };
  run.sequences.stopped = [&] { return disconnected; };
  EXPECT_EQ(run.sequences.RunConductedScan(ConductedStandard(), 107, run.results),
            EmiOutcome::Stopped);
  EXPECT_EQ(nested, EmiOutcome::Busy);
  EXPECT_EQ(run.results.trace.size(), 501u);
  EXPECT_EQ(run.link.Count("MEAS:FREQ:STP 30 MHz"), 0);  // the second band never began
  EXPECT_EQ(run.link.notifier.messages.size(), 1u);
  EXPECT_EQ(run.link.notifier.statuses.back(), "");
  EXPECT_FALSE(run.sequences.Running());
}

TEST(EmiSequences, SinglePointWaitsForTheDetector) {
  Bench run;
  LimitStandard s = ConductedStandard();
  s.detection = "QPeak";
  EXPECT_EQ(SetSpotWindow(s, 15), "Conducted");
  ASSERT_EQ(run.sequences.RunSinglePointTest(s, 107, run.results), EmiOutcome::Done);
  EXPECT_EQ(Settles(run.link.notifier.statuses),
            std::vector<std::string>{"Waitting 3.2 Sec for wave settle."});
  EXPECT_EQ(run.link.Count("MEAS:SPAN 0.001 MHz"), 1);
  EXPECT_EQ(run.link.Count("MEAS:FREQ:CEN 15 MHz"), 1);
  EXPECT_NEAR(run.results.trace[500].frequency, 15.0005, 1e-12);
}

TEST(EmiSequences, TheEmiSceneShowsOnTheConductedScan) {
  Bench run;
  run.link.model.Scene() = sim::SignalScene::Emi();
  ASSERT_EQ(run.sequences.RunConductedScan(ConductedStandard(), 107, run.results),
            EmiOutcome::Done);
  double strongest = -1e9;
  for (int i = 0; i < kEmiTracePoints; ++i) strongest = std::max(strongest, run.results.trace[i].level);
  EXPECT_GT(strongest, 66);  // above the class B limits at the supply's low harmonics
  EXPECT_LT(strongest, 70);
}

}  // namespace
}  // namespace vantrel

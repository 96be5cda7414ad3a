// The EMI sequences against the simulated analyzer on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "commands/sim_link.h"
#include "emi/emi_results.h"
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

  // The measurement on show before the scan that is stopped.
  run.results.trace = {{1, 40, 700}};
  run.results.header.timeStamp = "2026/01/02 03:04:05";
  EmiOutcome nested = EmiOutcome::Done;
  bool disconnected = false;
  run.link.clock.onEvents = [&] {
    const auto& st = run.link.notifier.statuses;
    if (!disconnected && std::count(st.begin(), st.end(), "Getting wave data.") == 1) {
      nested = run.sequences.RunRadiatedScan(ConductedStandard(), 107, run.results);
      disconnected = true;
    }
  };
  run.sequences.stopped = [&] { return disconnected; };
  EXPECT_EQ(run.sequences.RunConductedScan(ConductedStandard(), 107, run.results),
            EmiOutcome::Stopped);
  EXPECT_EQ(nested, EmiOutcome::Busy);
  // Stopped after its first band: the previous measurement stays whole, and the status
  // bar says why nothing new is shown.
  ASSERT_EQ(run.results.trace.size(), 1u);
  EXPECT_EQ(run.results.header.timeStamp, "2026/01/02 03:04:05");
  EXPECT_EQ(run.link.Count("MEAS:FREQ:STP 30 MHz"), 0);  // the second band never began
  EXPECT_EQ(run.link.notifier.messages.size(), 1u);
  EXPECT_EQ(run.link.notifier.statuses.back(), kEmiStoppedStatus);
  EXPECT_FALSE(run.sequences.Running());
}

TEST(EmiSequences, EachMeasurementRunsOnItsOwnCopyOfTheStandardAndReferenceLevel) {
  for (const bool conducted : {true, false}) {
    Bench run;
    LimitStandard standard = ConductedStandard();
    if (!conducted) {
      standard.freqStart = 30;
      standard.freqStop = 230;
    }
    double refLevel = 97;
    bool changed = false;
    // Inside a wait the window's standard is loaded afresh from another file (its band
    // list reallocated) and the reference level typed anew.
    run.link.clock.onEvents = [&] {
      if (changed || run.link.clock.NowMs() < 5000) return;
      changed = true;
      standard.bands = {{1, 2}, {2, 3}, {3, 4}, {4, 5}};
      standard.freqStart = 500;
      standard.freqStop = 1000;
      standard.detection = "Sample";
      refLevel = 60;
    };
    const EmiOutcome outcome = conducted ? run.sequences.RunConductedScan(standard, refLevel, run.results)
                                         : run.sequences.RunRadiatedScan(standard, refLevel, run.results);
    ASSERT_EQ(outcome, EmiOutcome::Done);
    ASSERT_TRUE(changed);
    const auto& trace = run.results.trace;
    ASSERT_EQ(trace.size(), conducted ? 1002u : 501u);
    EXPECT_DOUBLE_EQ(trace.front().frequency, conducted ? 0.15 : 30);
    EXPECT_DOUBLE_EQ(trace.back().frequency, conducted ? 30 : 230);
    EXPECT_EQ(run.results.refLevel, 97);
    EXPECT_EQ(run.link.Count("MEAS:REFL 60"), 0);
    EXPECT_EQ(run.link.Count("MEAS:TRA:DET 2"), 0);
  }
}

TEST(EmiSequences, AStopMeantForAnEarlierRefreshDoesNotEndTheNext) {
  Bench run;
  run.link.transport.stopRequested = true;  // Escape pressed during a spectrum refresh
  run.link.transport.receiveBuffer = "late answer";
  ASSERT_EQ(run.sequences.RunConductedScan(ConductedStandard(), 107, run.results), EmiOutcome::Done);
  EXPECT_EQ(run.results.trace.size(), 1002u);
  EXPECT_EQ(run.link.notifier.statuses.back(), "");
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

TEST(EmiSequences, TheDefaultSceneShowsAnEmissionThatPassesClassB) {
  Bench run;
  LimitStandard classB;
  ParseStandard(
      "[general]\nemimode=Conducted\ndetection=Normal\nfreq start=0.15\nfreq stop=30\nscale=10\n"
      "[band]\n1=0.15,0.5\n2=0.5,5\n3=5,30\n[limitlower]\n1=0.15,56,0.5,46\n2=0.5,46,5,46\n"
      "3=5,50,30,50\n[limitupper]\n1=0.15,66,0.5,56\n2=0.5,56,5,56\n3=5,60,30,60\n",
      classB);
  ASSERT_EQ(run.sequences.RunConductedScan(classB, 107, run.results), EmiOutcome::Done);
  const auto& trace = run.results.trace;
  const auto strongest = std::max_element(trace.begin(), trace.end(), [](auto& a, auto& b) { return a.level < b.level; });
  EXPECT_GT(strongest->level, 35);  // above the graph's bottom line at 27 dBuV
  // Passed with 6 dB to spare everywhere, twice the usual guard band.
  const PointsJudgement judged = JudgeMeasuredPoints(trace, classB, FrequencyAxis::Logarithmic, 6);
  EXPECT_EQ(VerdictText(judged.overall), "Pass") << "within 6 dB of a limit at " << judged.stretches.front().worst.frequency;
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

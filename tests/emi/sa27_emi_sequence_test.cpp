// The 2.7 GHz model's EMI capture against the simulated older analyzer on the virtual clock.
#include "emi/sa27_emi_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "emi/emi_rules.h"
#include "emi/sa27_emi_rules.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/legacy_dialect.h"
#include "sim/sim_serial_port.h"
#include "support/recording_notifier.h"

namespace vantrel {
namespace {

// Keeps each status with the virtual time it was shown at.
class TimedNotifier : public testing::RecordingNotifier {
 public:
  explicit TimedNotifier(VirtualClock& clock) : clock_(clock) {}
  void SetStatus(const std::string& text) override {
    RecordingNotifier::SetStatus(text);
    at.push_back(clock_.NowMs());
  }
  std::vector<double> at;

 private:
  VirtualClock& clock_;
};

struct Rig {
  Rig() {
    model.UseLegacyDialect(sim::LegacyOptions{});
    model.Scene() = sim::SignalScene::Quiet();
    model.Scene().tones.push_back({100e6, -20});
    EXPECT_TRUE(link.Connect());
    serial.ClearReceived();
  }
  VirtualClock clock;
  TimedNotifier notifier{clock};
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort serial{clock, model, sim::SimSerialOptions{.instrumentBaud = 57600}};
  Sa27Link link{clock, notifier, serial};
  Sa27Commands commands{link};
  Sa27EmiSequence sequence{commands};
};

LimitStandard TwoBands() {
  LimitStandard s;
  s.scale = 10;
  s.rbw = "120KHz";
  s.bands = {{30, 80}, {80, 130}};
  return s;
}

TEST(Sa27EmiSequence, SendsTheOlderModelsCommandsInOrder) {
  Rig rig;
  EmiResults out;
  ASSERT_EQ(rig.sequence.Run(TwoBands(), 107, out), EmiOutcome::Done);
  const std::vector<std::string> band = {"CONtrol:SWEEPtime?", "MEAS:TRA:READ?"};
  std::vector<std::string> expected = {"MEAS:REFL:SCAL 10", "MEAS:REFL:UNIT dBuV", "MEAS:REFL 107",
                                       "CON:RBW 5", "MEAS:TRA:SWITCH:LIVE", "control:system:clock?",
                                       "MEAS:FREQ:ST 30 MHz", "MEAS:FREQ:STP 80 MHz"};
  expected.insert(expected.end(), band.begin(), band.end());
  expected.insert(expected.end(), {"MEAS:FREQ:ST 80 MHz", "MEAS:FREQ:STP 130 MHz"});
  expected.insert(expected.end(), band.begin(), band.end());
  expected.insert(expected.end(), {"MEAS:REFL:UNIT?", "MEAS:REFL?", "MEAS:REFL:SCALE?", "CON:RBW?",
                                   "CON:VBW?", "CON:SWEEP?"});
  EXPECT_EQ(rig.serial.Received(), expected);
}

// The settle wait is twice the sweep time, at least 3 s, and the trace is read after it.
TEST(Sa27EmiSequence, WaitsTheSettleTimeBeforeEachTrace) {
  Rig rig;
  EmiResults out;
  ASSERT_EQ(rig.sequence.Run(TwoBands(), 107, out), EmiOutcome::Done);
  const auto& st = rig.notifier.statuses;
  const auto settle = std::find_if(st.begin(), st.end(), [](const std::string& s) {
    return s.rfind("Waitting ", 0) == 0;
  });
  ASSERT_NE(settle, st.end());
  EXPECT_EQ(*settle, "Waitting 3.0 Sec for wave settle.");
  const auto i = static_cast<std::size_t>(settle - st.begin());
  EXPECT_EQ(st[i + 1], "Getting wave data.");
  EXPECT_GE(rig.notifier.at[i + 1] - rig.notifier.at[i], 3000);
  EXPECT_EQ(st.back(), "");
}

TEST(Sa27EmiSequence, ConvertsEachBandTo501PointsInDbuv) {
  Rig rig;
  EmiResults out;
  ASSERT_EQ(rig.sequence.Run(TwoBands(), 107, out), EmiOutcome::Done);
  ASSERT_EQ(out.trace.size(), 2u * kEmiTracePoints);
  EXPECT_DOUBLE_EQ(out.trace[kEmiTracePoints].frequency, 80);
  const auto top = std::max_element(out.trace.begin(), out.trace.end(),
                                    [](const EmiPoint& a, const EmiPoint& b) { return a.level < b.level; });
  EXPECT_NEAR(top->frequency, 100, 0.3);
  EXPECT_NEAR(top->level, 87, 3);  // -20 dBm is 87 dBuV
  EXPECT_EQ(out.header.ampUnit, "dBuV");
  EXPECT_FALSE(out.header.timeStamp.empty());
}

TEST(Sa27EmiSequence, ASilentAnalyzerKeepsTheLastMeasurementAndSaysSo) {
  Rig rig;
  EmiResults out;
  out.trace.assign(3, EmiPoint{1, 2, 3});
  rig.model.Faults().silent = true;
  EXPECT_EQ(rig.sequence.Run(TwoBands(), 107, out), EmiOutcome::Stopped);
  EXPECT_EQ(out.trace.size(), 3u);
  EXPECT_EQ(rig.notifier.messages.size(), 1u);
}

TEST(Sa27EmiSequence, AStandardWithoutBandsIsMeasuredOverItsRange) {
  Rig rig;
  LimitStandard s = TwoBands();
  s.bands.clear();
  s.freqStart = 30;
  s.freqStop = 1000;
  EmiResults out;
  ASSERT_EQ(rig.sequence.Run(s, 107, out), EmiOutcome::Done);
  EXPECT_EQ(out.trace.size(), static_cast<std::size_t>(kEmiTracePoints));
  s.freqStop = 30;
  EXPECT_EQ(rig.sequence.Run(s, 107, out), EmiOutcome::NothingToMeasure);
}

TEST(Sa27EmiRules, SettleTimeAndTypedRanges) {
  EXPECT_EQ(Sa27SettleMs(1000), 3000);
  EXPECT_EQ(Sa27SettleMs(2500), 5000);
  EXPECT_EQ(Sa27SettleMs(-1), 3000);
  EXPECT_EQ(Sa27SettleMs(1e12), kMaxSettleMs);
  const struct {
    std::optional<MarkerInputProblem> (*check)(const std::string&);
    const char* text;
    const char* corrected;  // nullptr: accepted
  } cases[] = {{CheckSa27EmiRefLevel, "56", "57"},      {CheckSa27EmiRefLevel, "128", "127"},
               {CheckSa27EmiRefLevel, "90", nullptr},   {CheckSa27EmiRefLevel, "x", ""},
               {CheckSa27EmiThreshold, "-81", "-80"},   {CheckSa27EmiThreshold, "80", nullptr},
               {CheckSa27EmiMarker, "0", "0.001"},      {CheckSa27EmiMarker, "2700.5", "2700"},
               {CheckSa27EmiMarker, "0.001", nullptr}};
  for (const auto& c : cases) {
    const auto problem = c.check(c.text);
    ASSERT_EQ(problem.has_value(), c.corrected != nullptr) << c.text;
    if (problem) {
      EXPECT_EQ(problem->correctedText, c.corrected) << c.text;
    }
  }
  EXPECT_EQ(CheckSa27EmiMarker("3000")->message,
            "Marker Freq. range is from 0.001 to 2700 (MHz)!\r\nPlease key in a correct number.");
  EXPECT_EQ(CheckSa27EmiRefLevel("1")->message,
            "Ref. level  range is from 57 to 127!\r\nPlease key in a correct number.");
}

}  // namespace
}  // namespace vantrel

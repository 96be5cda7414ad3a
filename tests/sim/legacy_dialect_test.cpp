// The simulated analyzer as the older 2.7 GHz model.
#include "sim/legacy_dialect.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim_test_helpers.h"

namespace vantrel::sim {
namespace {

using testing::Ask;

class LegacyModelTest : public ::testing::Test {
 protected:
  void SetUp() override { model.UseLegacyDialect(LegacyOptions{}); }
  VirtualClock clock;
  AnalyzerModel model{clock};
};

TEST_F(LegacyModelTest, AnswersInItsOwnForms) {
  const struct {
    const char* setup;
    const char* query;
    const char* answer;
  } cases[] = {
      {"", "CON:SYS:VER?", "VER=1.10"},
      {"", "MEAS:FREQ:STP?", "2700000 kHz"},  // its range ends at 2.7 GHz
      {"MEAS:FREQ:STP 2900 MHz", "MEAS:FREQ:STP?", "2700000 kHz"},
      {"CON:RBW 5", "CON:RBW?", "120KHZ"},
      {"CON:RBW 7", "CON:RBW?", "4MHZ"},
      {"MEAS:REFL:SCAL 2", "MEAS:REFL:SCALE?", "2"},
      {"MEAS:REFL:UNIT dBuV", "MEAS:REFL:UNIT?", "dBuV"},
      {"CON:SWEEP Man", "CON:SWEEP?", "MAN"},
      {"", "meas:hlimit:freq 3?", "2700"},
      {"", "meas:llimit:level 1?", "-75"},
      {"", "meas:llimit:freq 2?", " "},  // past the last point: blank
      {"", "*IDN?", "<none>"},           // the 3 GHz identification is not its own
      {"", "meas:tra:read all?", "<none>"},
  };
  for (const auto& c : cases) {
    model.Reset();
    if (*c.setup) model.Execute(c.setup, Framing::Serial);
    EXPECT_EQ(Ask(model, c.query), c.answer) << c.setup << " / " << c.query;
  }
}

TEST_F(LegacyModelTest, SweepTimeNamesItsUnitApart) {
  const struct {
    double ms;
    const char* answer;
  } cases[] = {{0.2, "200 US"}, {150, "150 MS"}, {2500, "2.5 S"}};
  for (const auto& c : cases) {
    model.State().sweepTimeOverrideMs = c.ms;
    EXPECT_EQ(Ask(model, "CONtrol:SWEEPtime?"), c.answer);
  }
}

TEST_F(LegacyModelTest, TraceReadFollowsTheSwitch) {
  const std::string live = Ask(model, "MEAS:TRA:READ?");
  EXPECT_EQ(std::count(live.begin(), live.end(), ','), kTracePoints - 1);
  model.Execute("meas:tra:switch:stored 7", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:TRA:READ?").substr(0, 6), "{0,0,0");  // slot 7 is empty
}

TEST_F(LegacyModelTest, OldFirmwareAnswersEveryCommand) {
  EXPECT_EQ(Ask(model, "CON:SWEEP Auto"), "<none>");
  model.Legacy()->Options().firmwareVersion = 1.05;
  EXPECT_EQ(Ask(model, "CON:SWEEP Auto"), kLegacyAcknowledgement);
}

}  // namespace
}  // namespace vantrel::sim

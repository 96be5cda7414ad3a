// The 2.7 GHz model's link and dialect against the simulated older analyzer.
#include "commands/sa27_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "commands/trace_text.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/legacy_dialect.h"
#include "sim/sim_serial_port.h"
#include "support/recording_notifier.h"

namespace vantrel {
namespace {

struct Sa27Rig {
  explicit Sa27Rig(double firmware = 1.10) { model.UseLegacyDialect(sim::LegacyOptions{firmware}); }
  VirtualClock clock;
  testing::RecordingNotifier notifier;
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort serial{clock, model, sim::SimSerialOptions{.instrumentBaud = 57600}};
  Sa27Link link{clock, notifier, serial};
  Sa27Commands commands{link};
};

TEST(Sa27Link, ConnectOpensAt57600AndReadsTheVersion) {
  Sa27Rig rig(1.05);
  ASSERT_TRUE(rig.link.Connect());
  EXPECT_EQ(rig.serial.Settings(), "57600,N,8,1");
  EXPECT_EQ(rig.serial.ReceiveBufferSize(), 3072);
  EXPECT_DOUBLE_EQ(rig.link.Version(), 1.05);
}

TEST(Sa27Link, ConnectWithoutAnAnswerClosesThePort) {
  Sa27Rig rig;
  rig.model.Faults().silent = true;
  EXPECT_FALSE(rig.link.Connect());
  EXPECT_FALSE(rig.link.IsOpen());
}

TEST(Sa27Link, VersionNumberComesFromUpToSevenCharactersAfterTheEquals) {
  const struct {
    const char* answer;
    double version;
  } cases[] = {{"VER=1.05", 1.05}, {"VER=1.0512345", 1.05123}, {"1.07", 1.07},   {"A=B=2", 0},
               {"VER=", 0},        {"Version 2.0", 0},         {"V=  1.2x", 1.2}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Sa27VersionNumber(c.answer), c.version) << c.answer;
}

// Older firmware answers every command; that answer must not become the next query's.
TEST(Sa27Link, CommandAnswerIsDroppedOnlyForOldFirmware) {
  for (double firmware : {1.05, 1.10}) {
    Sa27Rig rig(firmware);
    ASSERT_TRUE(rig.link.Connect());
    const auto before = rig.clock.NowMs();
    rig.commands.Set_SweepMode(false);
    const bool waited = rig.clock.NowMs() - before >= 20;
    EXPECT_EQ(waited, firmware < 1.06) << firmware;
    EXPECT_EQ(rig.commands.Get_SweepMode(), "MAN") << firmware;
  }
}

TEST(Sa27Link, SilentLineTimesOutThenFailsForGood) {
  Sa27Rig rig;
  ASSERT_TRUE(rig.link.Connect());
  rig.model.Faults().silent = true;
  EXPECT_EQ(rig.commands.Get_RefLevel(), 0);
  EXPECT_NE(std::find(rig.notifier.statuses.begin(), rig.notifier.statuses.end(), "Time Out"),
            rig.notifier.statuses.end());
  EXPECT_TRUE(rig.link.CommunicationFailed());
  // From now on nothing touches the port, even once the line answers again.
  rig.model.Faults().silent = false;
  const auto heard = rig.serial.Received().size();
  std::array<std::int16_t, kTracePoints> points{};
  EXPECT_EQ(rig.commands.Get_RBW(), "");
  EXPECT_EQ(rig.commands.ReadTrace(kSa27LiveTraceWaitMs, points), 1);
  EXPECT_TRUE(rig.commands.ReadLimitLine(Sa27LimitKind::Higher).empty());
  EXPECT_EQ(rig.serial.Received().size(), heard);
}

TEST(Sa27Link, AnswerAfterALoneCrIsStillRead) {
  Sa27Rig rig;
  ASSERT_TRUE(rig.link.Connect());
  rig.serial.InjectBytes({'\r'});
  EXPECT_EQ(rig.commands.Get_SweepMode(), "AUTO");
  rig.model.Faults().overrides["CON:SWEEP?"] = {"\rMAN", 1};
  EXPECT_EQ(rig.commands.Get_SweepMode(), "MAN");
}

TEST(Sa27Dialect, SweepTimeUnitsGiveMilliseconds) {
  const struct {
    const char* answer;
    double ms;
  } cases[] = {{"200 US", 0.2}, {"150 MS", 150}, {"2.5 S", 2500}, {" 40 ms ", 40},
               {"7", 7},        {"", 0},         {"1.5S", 1.5}};  // "5S" names no unit
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Sa27SweepTimeMs(c.answer), c.ms) << c.answer;

  Sa27Rig rig;
  ASSERT_TRUE(rig.link.Connect());
  rig.model.State().sweepTimeOverrideMs = 2500;
  EXPECT_DOUBLE_EQ(rig.commands.Get_SweepTime(), 2500);
}

TEST(Sa27Dialect, SettingsGoOutInTheOlderForms) {
  Sa27Rig rig;
  ASSERT_TRUE(rig.link.Connect());
  rig.commands.Set_FreqStart(100);
  rig.commands.Set_FreqStop(2900);  // beyond the range: the analyzer keeps 2700
  rig.commands.Set_RBW("120khz");
  rig.commands.Set_RBW("10KHZ");  // not in this model's table: nothing sent
  EXPECT_DOUBLE_EQ(rig.commands.Get_FreqStart(), 100);
  EXPECT_DOUBLE_EQ(rig.commands.Get_FreqStop(), 2700);
  EXPECT_EQ(rig.commands.Get_RBW(), "120KHZ");
  EXPECT_EQ(std::count(rig.serial.Received().begin(), rig.serial.Received().end(), "CON:RBW 5"), 1);
  EXPECT_EQ(rig.serial.Received().size(), 7u);  // version, 3 commands, 3 queries
}

TEST(Sa27Dialect, TraceTextIsRoundedAndClamped) {
  const struct {
    const char* text;
    int count;
    std::array<int, 4> first;
  } cases[] = {
      {"{1,2.5,3.5,-4}", 4, {1, 2, 4, 0}},
      {"{2000,1e999,-1e999,abc}", 4, {1023, 1023, 0, 0}},
      {"x{7,8", 2, {7, 8, 0, 0}},
      {"9,10", 2, {9, 10, 0, 0}},  // no "{": the whole text
      {"", 1, {0, 0, 0, 0}},
      {"{,,5}", 3, {0, 0, 5, 0}},
  };
  std::array<std::int16_t, kTracePoints> points{};
  for (const auto& c : cases) {
    EXPECT_EQ(ParseTraceTextPoints(c.text, points), c.count) << c.text;
    EXPECT_TRUE(std::equal(c.first.begin(), c.first.end(), points.begin())) << c.text;
  }
  std::string many = "{";
  for (int i = 0; i < 700; ++i) many += "600,";
  EXPECT_EQ(ParseTraceTextPoints(many, points), kTracePoints);
  EXPECT_EQ(points[kTracePoints - 1], 600);
}

TEST(Sa27Dialect, LiveTraceShowsTheToneAtItsFrequency) {
  Sa27Rig rig;
  ASSERT_TRUE(rig.link.Connect());
  rig.commands.SwitchToLive();
  std::array<std::int16_t, kTracePoints> points{};
  ASSERT_EQ(rig.commands.ReadTrace(kSa27LiveTraceWaitMs, points), kTracePoints);
  // 0..2700 MHz over 500 steps: the -20 dBm tone at 100 MHz is point 18.5 -> 18 or 19.
  const auto peak = std::max_element(points.begin(), points.begin() + 60) - points.begin();
  EXPECT_NEAR(static_cast<double>(peak), 18.5, 1.0);
}

TEST(Sa27Dialect, LimitListsEndAtTheFirstEmptyFrequency) {
  Sa27Rig rig;
  ASSERT_TRUE(rig.link.Connect());
  EXPECT_EQ(rig.commands.ReadLimitLine(Sa27LimitKind::Higher).size(), 4u);
  const LimitLine lower = rig.commands.ReadLimitLine(Sa27LimitKind::Lower);
  EXPECT_EQ(lower, (LimitLine{{0, -75}, {2700, -75}}));
  EXPECT_EQ(rig.notifier.statuses.back(), "LLim 1:  2700MHz,  -75dBm");
  EXPECT_NE(std::find(rig.notifier.statuses.begin(), rig.notifier.statuses.end(),
                      "Reading limit line data ..."),
            rig.notifier.statuses.end());
}

}  // namespace
}  // namespace vantrel

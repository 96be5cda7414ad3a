// The command set and the transfers against the simulated analyzer on every link.
#include <algorithm>
#include <array>

#include <gtest/gtest.h>

#include "commands/analyzer_commands.h"
#include "commands/limit_line.h"
#include "commands/live_traces.h"
#include "commands/stored_trace.h"
#include "sim/sim_faults.h"
#include "sim_link.h"
#include "util/text.h"

namespace vantrel::testing {
namespace {

TEST(SimSettings, ReadAndChangeEverySettingOnEveryLink) {
  for (ConnectionKind kind : kEveryLink) {
    SCOPED_TRACE(ConnectionKindText(kind));
    SimLink link(kind);
    AnalyzerCommands c(link.transport);
    c.Set_FreqStart(100);
    c.Set_FreqStop(250.5);
    c.Set_RefLvl(-20, "dBm");
    c.Set_AmpUnit("dBm");
    c.Set_Scale(5);
    EXPECT_DOUBLE_EQ(c.Get_FreqStart(), 100);
    EXPECT_DOUBLE_EQ(c.Get_FreqStop(), 250.5);
    EXPECT_DOUBLE_EQ(c.Get_FreqCenter(), 175.25);
    EXPECT_EQ(c.Get_SPAN(), "150.5MHz");
    EXPECT_FLOAT_EQ(c.Get_RefLevel(), -20);
    EXPECT_EQ(c.Get_RefUnit(), "dBm");
    EXPECT_FLOAT_EQ(c.Get_Scale(), 5);
    c.Set_RBW("120 kHz", true);
    c.Set_VBW("3KHz", true);
    c.Set_Detection("sample", true);
    EXPECT_EQ(link.Count("CON:RBW:MAN 6"), 1);
    EXPECT_EQ(link.Count("MEAS:TRA:DET 2"), 1);
    EXPECT_EQ(c.Get_RBW(), "120KHz");
    EXPECT_EQ(c.Get_VBW(), "3KHz");
    EXPECT_EQ(c.Get_Detection(), "Sample");
    EXPECT_TRUE(Contains(ToUpper(c.Get_RBWMode()), "MANU"));
    c.Set_RBWAuto(1);
    EXPECT_TRUE(Contains(ToUpper(c.Get_RBWMode()), "AUTO"));
    EXPECT_FALSE(c.Get_SweepTime_str().empty());
    EXPECT_GT(c.Get_SweepTime(), 0.0f);
    EXPECT_EQ(c.Get_Clock().size(), 19u);
  }
}

TEST(SimSettings, BareNumbersOutOfTableAndSilence) {
  for (ConnectionKind kind : kEveryLink) {
    SCOPED_TRACE(ConnectionKindText(kind));
    SimLink link(kind);
    AnalyzerCommands c(link.transport);
    c.Set_FreqStart(1);
    link.Model().Faults().bareNumbers = 4;
    link.Model().Faults().bareNumbersQuery = "MEAS:FREQ:ST?";
    EXPECT_DOUBLE_EQ(c.Get_FreqStart(), 1.0);
    EXPECT_EQ(link.Count("MEAS:FREQ:ST?"), 5);

    link.Model().Faults().bareNumbers = 5;
    EXPECT_DOUBLE_EQ(c.Get_FreqStart(), 1.0);  // the fifth bare number taken as it is
    EXPECT_EQ(link.Count("MEAS:FREQ:ST?"), 10);

    link.Model().Faults().overrides["CON:RBW?"] = {"9", -1};
    EXPECT_EQ(c.Get_RBW(), "");
    EXPECT_EQ(link.Count("CON:RBW?"), 5);

    link.Model().Faults().silent = true;
    EXPECT_FLOAT_EQ(c.Get_RefLevel(), 0);
    EXPECT_EQ(c.Get_RefUnit(), "");
  }
}

TEST(SimTraces, LiveTracesOnEveryLink) {
  for (ConnectionKind kind : kEveryLink) {
    SCOPED_TRACE(ConnectionKindText(kind));
    SimLink link(kind);
    std::vector<RawTrace> traces(3);
    std::string log;
    ReadAllTraces(link.transport, traces, {&log, true});
    EXPECT_EQ(link.Count("meas:tra:read all?"), 1);
    for (const RawTrace& t : traces) {
      EXPECT_TRUE(t.Valid());
      long long sum = 0;
      for (std::int16_t p : t.Points()) sum += p;
      EXPECT_GT(sum, 0);
    }
    EXPECT_EQ(traces[1].Mode(), 1);
    EXPECT_EQ(log.find("讀回資料有誤"), std::string::npos);

    link.Model().Faults().onlyTrace2 = true;
    link.Model().Faults().point0400 = 17;
    ReadAllTraces(link.transport, traces);
    EXPECT_FALSE(traces[0].Valid());
    EXPECT_TRUE(traces[1].Valid());
    EXPECT_FALSE(traces[2].Valid());
    EXPECT_EQ(traces[0].Points()[100], 0);
    EXPECT_EQ(traces[1].Points()[17], 1024);

    link.Model().Faults().onlyTrace2 = false;
    std::vector<std::int16_t> one;
    EXPECT_TRUE(GetTraceRawData(link.transport, one));
    EXPECT_EQ(one[17], 1023);

    link.Model().Faults().statusBytes = {0xC1, 0xC5, -1};
    link.Model().Faults().badCheckBytes = 2;
    log.clear();
    ReadAllTraces(link.transport, traces, {&log, false});
    EXPECT_EQ(link.Count("meas:tra:read all?"), 5);
    EXPECT_NE(log.find("再讀第2次"), std::string::npos);
    EXPECT_TRUE(traces[0].Valid());
    EXPECT_EQ(traces[0].Mode(), 3);
    EXPECT_FALSE(traces[1].Valid());
    EXPECT_EQ(traces[1].Mode(), 3);
  }
}

TEST(SimTraces, VanishingOrSilentLinkDuringTransfer) {
  for (ConnectionKind kind : kEveryLink) {
    SCOPED_TRACE(ConnectionKindText(kind));
    SimLink link(kind);
    std::vector<RawTrace> traces(3);
    link.Model().Faults().vanishAfter = 0;
    const std::uint32_t before = link.clock.NowMs();
    ReadAllTraces(link.transport, traces);
    EXPECT_FALSE(traces[0].Valid() && traces[1].Valid() && traces[2].Valid());
    // Fifteen reads at the most, each bounded by its own waits.
    EXPECT_LT(link.clock.NowMs() - before, 15u * 5000u);
    std::vector<std::int16_t> one;
    EXPECT_FALSE(GetTraceRawData(link.transport, one));

    SimLink garbage(kind);
    garbage.Model().Faults().garbageAnswers = 1;
    ReadAllTraces(garbage.transport, traces);
    EXPECT_LE(garbage.Count("meas:tra:read all?"), 15);
  }
}

TEST(SimStoredAndLimits, WholeStoredTraceArrivesOnEveryLink) {
  std::vector<std::array<std::int16_t, kTracePoints>> read;
  for (ConnectionKind kind : kEveryLink) {
    SCOPED_TRACE(ConnectionKindText(kind));
    SimLink link(kind);
    RawTrace stored;
    ReadStoredTrace(link.transport, "1", stored, {});
    EXPECT_TRUE(link.notifier.messages.empty());
    std::array<std::int16_t, kTracePoints> points{};
    std::copy(stored.Points().begin(), stored.Points().end(), points.begin());
    EXPECT_NE(points[500], 0);
    read.push_back(points);
  }
  EXPECT_EQ(read[1], read[0]);  // USB as serial
  EXPECT_EQ(read[2], read[0]);  // GPIB as serial
}

TEST(SimStoredAndLimits, StoredTraceAndLimitLinesOnEveryLink) {
  for (ConnectionKind kind : kEveryLink) {
    SCOPED_TRACE(ConnectionKindText(kind));
    SimLink link(kind);
    ASSERT_EQ(sim::ApplyFaultOption(link.Model(), "stored-65535=5"), "");
    RawTrace stored;
    int drawn = 0;
    ReadStoredTrace(link.transport, "5", stored, {nullptr, [&] { ++drawn; }, nullptr, nullptr});
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(stored.Mode(), 5);
    EXPECT_EQ(stored.Points()[0], -1);
    EXPECT_EQ(stored.Points()[1], 1);
    EXPECT_EQ(stored.Points()[2], 2);
    EXPECT_EQ(stored.Points()[3], 0);
    ReadStoredTrace(link.transport, "50", stored, {});
    EXPECT_EQ(link.notifier.messages.back().text, "Stored trace (50) is empty.");

    LimitLine upper;
    ReadLimitLine(link.transport, 1, upper);
    ASSERT_EQ(upper.size(), 4u);
    EXPECT_DOUBLE_EQ(upper[3].frequencyMHz, 3000);
    link.Model().Faults().shortLimitLines = 1;
    LimitLine lower;
    ReadLimitLine(link.transport, 0, lower);
    EXPECT_EQ(link.Count("MEAS:LMTLINE 0?"), 2);
    EXPECT_EQ(lower.size(), 2u);
  }
}

}  // namespace
}  // namespace vantrel::testing

#include "display/trace_refresh.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display_test_support.h"
#include "link/link_error.h"
#include "link/virtual_clock.h"

namespace vantrel {
namespace {

const std::vector<std::string> kSettingsStatuses = {"Getting amplitude unit.",
                                                    "Getting amplitude scale.",
                                                    "Getting start freq.",
                                                    "Getting center freq.",
                                                    "Getting stop freq.",
                                                    "Getting span.",
                                                    "Getting reference level.",
                                                    "Getting RBW mode.",
                                                    "Getting RBW.",
                                                    "Getting sweep time.",
                                                    "Getting VBW mode.",
                                                    "Getting VBW.",
                                                    ""};

struct RefreshRig {
  VirtualClock clock{1000};
  RecordingNotifier notifier;
  DisplayState state;
  FakeRefreshSource source{clock};
  TraceRefresh refresh{clock, notifier, source, state};
  ConnectionKind kind = ConnectionKind::ComPort;
  bool serialOpen = true;
  std::string ioLog = "old lines";

  RefreshRig() {
    refresh.hooks.selectedKind = [this] { return kind; };
    refresh.hooks.serialOpen = [this] { return serialOpen; };
    refresh.hooks.ioMessageLog = &ioLog;
  }
  std::vector<std::uint32_t> CallTimes() const {
    std::vector<std::uint32_t> t;
    for (const auto& c : source.calls) t.push_back(c.atMs - 1000);
    return t;
  }
};

TEST(GetTraceSettings, SerialPausesAndStatusOrder) {
  RefreshRig rig;
  rig.refresh.GetTrace(false, true);
  EXPECT_EQ(rig.clock.SleptMs(), 100u + 12 * 70);
  EXPECT_EQ(rig.notifier.statuses, kSettingsStatuses);
  const std::vector<std::uint32_t> expected = {100, 170, 240, 310, 380, 450, 520,
                                               590, 660, 730, 800, 870, 940};
  EXPECT_EQ(rig.CallTimes(), expected);
  EXPECT_EQ(rig.source.CountOf("Traces"), 0);
  EXPECT_EQ(rig.source.CountOf("SweepTime"), 2);
  const AnalyzerSettings& s = rig.state.settings;
  EXPECT_EQ(s.RefUnit, "dBm");
  EXPECT_EQ(s.Span, "100MHz");
  EXPECT_EQ(s.FreqCenter, 1000);
  EXPECT_EQ(s.RBW, "100KHz");
  EXPECT_EQ(s.VBWMode, "AUTO");
  EXPECT_EQ(s.SweepTime, "100 ms");
  EXPECT_EQ(s.TimeStamp, "2026/01/02 03:04:05");  // stamped before the first pause
  EXPECT_EQ(rig.ioLog, "");
  EXPECT_FALSE(rig.refresh.TraceBusy);
  rig.refresh.GetTrace(false, true);
  EXPECT_EQ(s.TimeStamp, "2026/01/02 03:04:05");
  rig.refresh.GetTrace(false, false);  // 1880 ms of pauses later: stamped afresh
  EXPECT_EQ(s.TimeStamp, "2026/01/02 03:04:06");
}

TEST(GetTraceSettings, UsbAndGpibPauses) {
  for (ConnectionKind kind : {ConnectionKind::Usb, ConnectionKind::Gpib}) {
    RefreshRig rig;
    rig.kind = kind;
    rig.serialOpen = false;  // not needed off the serial port
    rig.refresh.GetTrace(false, true);
    EXPECT_EQ(rig.clock.SleptMs(), 13u * 50);
    EXPECT_EQ(rig.CallTimes().front(), 0u);
    EXPECT_EQ(rig.CallTimes().back(), 600u);  // the last 50 ms come after step m
    EXPECT_EQ(rig.notifier.statuses, kSettingsStatuses);
  }
}

TEST(GetTraceSettings, FrequencyBlockRepeatsAtMostFiveTimes) {
  RefreshRig rig;
  rig.source.stop = 1050.5;  // never consistent with centre and span
  rig.refresh.GetTrace(false, true);
  EXPECT_EQ(rig.source.CountOf("FreqStart"), 5);
  EXPECT_EQ(rig.source.CountOf("Span"), 5);
  EXPECT_EQ(rig.source.CountOf("RefLevel"), 1);
  EXPECT_EQ(rig.clock.SleptMs(), 100u + (12 + 4 * 4) * 70);  // four more passes of 4 pauses

  // Consistent on the second pass: two passes.
  RefreshRig second;
  int spans = 0;
  second.source.onCall = [&](const std::string& name) {
    if (name == "Span" && ++spans == 1) second.source.stop = 1050;
  };
  second.source.stop = 1049;
  second.source.span = "100MHz";
  // The stop answer of pass 1 is 1049; fixed before pass 2's stop query.
  second.refresh.GetTrace(false, true);
  EXPECT_EQ(second.source.CountOf("FreqStop"), 2);
}

TEST(GetTraceSettings, ScaleFallbackAndNoTransport) {
  RefreshRig rig;
  rig.source.scale = 0;
  rig.refresh.GetTrace(false, true);
  EXPECT_EQ(rig.state.settings.Scale, 10);

  RefreshRig closed;
  closed.serialOpen = false;
  closed.refresh.GetTrace(true, true);
  EXPECT_TRUE(closed.source.calls.empty());
  EXPECT_EQ(closed.notifier.statuses, std::vector<std::string>{""});
  EXPECT_EQ(closed.clock.SleptMs(), 0u);
  EXPECT_EQ(closed.ioLog, "");
  EXPECT_EQ(closed.state.settings.TimeStamp, "");
}

TEST(GetTraceTraces, TracesFirstThenSettingsThenHooks) {
  RefreshRig rig;
  std::vector<std::string> order;
  rig.source.traces = [&](std::span<RawTrace> t) {
    EXPECT_TRUE(rig.refresh.TraceBusy);
    t[1].SetValid(true);
    order.push_back("traces");
  };
  rig.refresh.hooks.refreshLimitLines = [&] { order.push_back("limits"); };
  bool recording = false;
  rig.refresh.hooks.recording = [&] { return recording; };
  rig.refresh.hooks.appendRecord = [&] { order.push_back("record"); };
  rig.refresh.GetTrace(true, true);
  EXPECT_EQ(rig.notifier.statuses.front(), "Getting trace data.");
  EXPECT_EQ(order, (std::vector<std::string>{"traces", "limits"}));
  EXPECT_TRUE(rig.state.liveTraces[1].Valid());

  order.clear();
  recording = true;
  rig.refresh.GetTrace(true, false);
  EXPECT_EQ(order, (std::vector<std::string>{"traces", "record"}));
  EXPECT_EQ(rig.source.CountOf("RefUnit"), 1);  // no settings the second time
}

TEST(GetTraceTraces, LowReferenceCorrection) {
  RefreshRig rig;
  rig.source.refLevel = -60;
  rig.source.traces = [](std::span<RawTrace> t) {
    for (int i = 0; i < 3; ++i) {
      for (auto& p : t[i].Points()) p = 500;
      t[i].SetValid(i != 2);
      t[i].SetMode(1);
    }
  };
  rig.refresh.GetTrace(true, true);
  EXPECT_EQ(rig.state.liveTraces[0].Points()[0], 628);
  EXPECT_EQ(rig.state.liveTraces[1].Points()[500], 628);
  EXPECT_EQ(rig.state.liveTraces[2].Points()[0], 500);  // invalid: untouched
  EXPECT_EQ(rig.state.liveTraces[0].Mode(), 1);         // only the points move

  // A settings-only call leaves the traces already corrected as they are; the next
  // transfer is corrected once.
  rig.refresh.GetTrace(false, true);
  EXPECT_EQ(rig.state.liveTraces[0].Points()[0], 628);
  rig.refresh.GetTrace(true, false);
  EXPECT_EQ(rig.state.liveTraces[0].Points()[0], 628);

  DisplayState st;
  st.settings.RefUnit = " dBuV";
  st.settings.RefLevel = 60;
  st.liveTraces[0].SetValid(true);
  st.liveTraces[0].Points()[0] = 10;
  TraceRefresh::ApplyLowReferenceCorrection(st);
  EXPECT_EQ(st.liveTraces[0].Points()[0], 10);
  st.settings.RefLevel = 56;  // 1 dB below 57: 12.7875 -> 13
  TraceRefresh::ApplyLowReferenceCorrection(st);
  EXPECT_EQ(st.liveTraces[0].Points()[0], 23);
  st.settings.RefUnit = "dbmv";
  st.settings.RefLevel = -3.5f;  // 6.39375 -> 6
  TraceRefresh::ApplyLowReferenceCorrection(st);
  EXPECT_EQ(st.liveTraces[0].Points()[0], 29);
  st.settings.RefUnit = "";
  st.settings.RefLevel = -1000;
  TraceRefresh::ApplyLowReferenceCorrection(st);
  EXPECT_EQ(st.liveTraces[0].Points()[0], 29);
  // A huge shift holds the counts at the 16-bit top instead of wrapping.
  st.settings.RefUnit = "dBm";
  st.settings.RefLevel = -1e30f;
  TraceRefresh::ApplyLowReferenceCorrection(st);
  EXPECT_EQ(st.liveTraces[0].Points()[0], 32767);
}

// A refresh that does not end well leaves the last good picture: settings, traces and
// time stamp as they were; a stop ends it after the pause it arrived in.
TEST(GetTraceFaults, OnlyAGoodRefreshWritesTheState) {
  struct Case {
    const char* name;
    TraceReadResult traces;
    std::string unanswered;
    const char* stopAt;  // the stop (or loss) arrives during this query
    bool lost;
    RefreshResult result;
    bool written;
    std::string lastStatus;
  };
  const std::vector<Case> cases = {
      {"good", TraceReadResult::Good, "", nullptr, false, RefreshResult::Done, true, ""},
      {"check failed", TraceReadResult::CheckFailed, "", nullptr, false,
       RefreshResult::TraceCheckFailed, true, TraceRefresh::kTraceCheckFailedText},
      {"no trace block", TraceReadResult::NoData, "", nullptr, false, RefreshResult::Unanswered,
       false, TraceRefresh::UnansweredText("meas:tra:read all?")},
      {"silent query", TraceReadResult::Good, "MEAS:FREQ:STP?", nullptr, false,
       RefreshResult::Unanswered, false, TraceRefresh::UnansweredText("MEAS:FREQ:STP?")},
      {"stopped", TraceReadResult::Good, "", "FreqCenter", false, RefreshResult::Stopped, false,
       ""},
      {"link lost", TraceReadResult::Good, "", "FreqCenter", true, RefreshResult::LinkLost, false,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RefreshRig rig;
    rig.state.settings.FreqStart = 1;
    rig.state.settings.TimeStamp = "2025/12/31 23:59:59";
    rig.state.liveTraces[0].SetValid(true);
    rig.state.liveTraces[0].Points()[7] = 321;
    bool stop = false, lost = false;
    int lostCalls = 0;
    rig.refresh.hooks.stopRequested = [&] { return stop; };
    rig.refresh.hooks.linkLost = [&] { return lost; };
    rig.refresh.hooks.onLinkLost = [&] { ++lostCalls; };
    rig.source.traceResult = c.traces;
    rig.source.traces = [](std::span<RawTrace> t) {
      t[0].SetValid(true);
      t[0].Points()[7] = 900;
    };
    rig.source.onCall = [&](const std::string& name) {
      if (name == "FreqStop") rig.source.unanswered = c.unanswered;
      if (c.stopAt != nullptr && name == c.stopAt) {
        stop = true;
        lost = c.lost;
      }
    };
    const RefreshResult result = rig.refresh.GetTrace(true, true);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(rig.state.settings.FreqStart == 950, c.written);
    EXPECT_EQ(rig.state.settings.TimeStamp != "2025/12/31 23:59:59", c.written);
    EXPECT_EQ(rig.state.liveTraces[0].Points()[7], c.written ? 900 : 321);
    EXPECT_EQ(rig.notifier.statuses.back(), c.lastStatus);
    EXPECT_EQ(lostCalls, c.lost ? 1 : 0);
    if (c.stopAt != nullptr) {
      EXPECT_EQ(rig.source.calls.back().name, c.stopAt);
    }
  }
}

TEST(GetTraceErrors, ErrorEndsRefreshWithItsDescription) {
  RefreshRig rig;
  rig.source.onCall = [](const std::string& name) {
    if (name == "RBW") throw LinkError("Device I/O error");
  };
  rig.refresh.GetTrace(false, true);
  ASSERT_EQ(rig.notifier.messages.size(), 1u);
  EXPECT_EQ(rig.notifier.messages[0].text, "Device I/O error");
  EXPECT_EQ(rig.notifier.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(rig.notifier.statuses.back(), "");
  EXPECT_FALSE(rig.refresh.TraceBusy);
  EXPECT_EQ(rig.state.settings.RefLevel, -20);  // read before the failure: kept
  EXPECT_EQ(rig.state.settings.RBW, "");
  EXPECT_EQ(rig.source.CountOf("VBW"), 0);
}

}  // namespace
}  // namespace vantrel

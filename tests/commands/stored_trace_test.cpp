#include "commands/stored_trace.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "support/scripted_analyzer.h"

namespace vantrel::testing {
namespace {

TEST(StoredTraceText, SignsClampAndMissingFields) {
  RawTrace r;
  auto p = r.Points();
  EXPECT_EQ(ParseStoredTraceText("{65535,1,2}", p), StoredTraceParse::Filled);
  EXPECT_EQ(p[0], -1);
  EXPECT_EQ(p[1], 1);
  EXPECT_EQ(p[2], 2);
  EXPECT_EQ(p[3], 0);
  EXPECT_EQ(p[500], 0);

  // Above 1023 is clamped; 32768 reads as -32768; text before "{" is skipped.
  EXPECT_EQ(ParseStoredTraceText("MEAS 5,6 {2000,32768,1023", p), StoredTraceParse::Filled);
  EXPECT_EQ(p[0], 1023);
  EXPECT_EQ(p[1], -32768);
  EXPECT_EQ(p[2], 1023);

  // More than 501 fields: the rest is ignored, no write past the record's points.
  std::string many = "{";
  for (int i = 0; i < 600; ++i) many += std::to_string(i % 7 + 1) + ",";
  r.SetColour(0x123456);
  r.SetMode(42);
  EXPECT_EQ(ParseStoredTraceText(many + "}", p), StoredTraceParse::Filled);
  EXPECT_EQ(p[500], 500 % 7 + 1);
  EXPECT_EQ(r.words[RawTrace::kSpareWord], 0);
  EXPECT_EQ(r.Colour(), 0x123456u);
  EXPECT_EQ(r.Mode(), 42);

  EXPECT_EQ(ParseStoredTraceText("{0,0,0}", p), StoredTraceParse::Empty);
  EXPECT_EQ(ParseStoredTraceText("garbage", p), StoredTraceParse::Empty);
  EXPECT_EQ(ParseStoredTraceText("", p), StoredTraceParse::Empty);
  EXPECT_EQ(ParseStoredTraceText("{5,99999,7}", p), StoredTraceParse::Overflow);
  EXPECT_EQ(p[0], 5);
  EXPECT_EQ(ParseStoredTraceText("{1e300}", p), StoredTraceParse::Overflow);
  EXPECT_EQ(ParseStoredTraceText("{-40000}", p), StoredTraceParse::Overflow);
}

struct StoredRead : ::testing::Test {
  ScriptedAnalyzer a;
  std::vector<std::string> calls;
  StoredTraceHooks hooks{[&] { calls.push_back("empty graph"); }, [&] { calls.push_back("draw"); },
                         [&] { calls.push_back("markers"); }, [&] { calls.push_back("remember"); }};
};

TEST_F(StoredRead, FilledTraceIsDrawnAndEmptyOneReported) {
  a.answers["MEAS:TRA:READ?"] = {"{65535,1,2}", "{0,0}"};
  RawTrace r;
  ReadStoredTrace(a.Transport(ConnectionKind::ComPort), "7", r, hooks);
  EXPECT_EQ(a.commands, (std::vector<std::string>{"meas:tra:switch:stored 7", "MEAS:TRA:READ?"}));
  EXPECT_EQ(r.Mode(), 7);
  EXPECT_EQ(r.Points()[0], -1);
  EXPECT_EQ(calls, (std::vector<std::string>{"empty graph", "draw", "markers", "remember"}));
  EXPECT_TRUE(a.notifier.messages.empty());
  EXPECT_EQ(a.notifier.busyChanges, (std::vector<bool>{true, false}));

  calls.clear();
  ReadStoredTrace(a.Transport(ConnectionKind::Gpib), "12", r, hooks);
  EXPECT_EQ(r.Mode(), 12);
  EXPECT_EQ(a.notifier.Texts(), std::vector<std::string>{"Stored trace (12) is empty."});
  EXPECT_EQ(calls, (std::vector<std::string>{"empty graph", "markers"}));
}

TEST_F(StoredRead, UsbAnswerIsJoinedFromAsManyReportsAsItTakes) {
  std::string text = "{";
  for (int i = 0; i < 501; ++i) text += std::to_string(100 + i) + (i < 500 ? "," : "}");
  a.answers["MEAS:TRA:READ?"] = {text};
  RawTrace r;
  ReadStoredTrace(a.Transport(ConnectionKind::Usb), "2", r, hooks);
  EXPECT_EQ(r.Points()[15], 115);
  EXPECT_EQ(r.Points()[250], 350);
  EXPECT_EQ(r.Points()[500], 600);
  EXPECT_EQ(a.featureReads, static_cast<int>((text.size() + 1 + 63) / 64));  // with the CR
  EXPECT_EQ(calls, (std::vector<std::string>{"empty graph", "draw", "markers", "remember"}));
  // An answer that stops short of its brace ends at the first empty report.
  ScriptedAnalyzer cut;
  cut.answers["MEAS:TRA:READ?"] = {text.substr(0, 100)};
  ReadStoredTrace(cut.Transport(ConnectionKind::Usb), "2", r, {});
  EXPECT_EQ(cut.featureReads, 3);
  EXPECT_EQ(r.Points()[20], 120);
  EXPECT_EQ(r.Points()[30], 0);
  // A device that repeats its last report is not stitched into a trace.
  ScriptedAnalyzer stuck;
  stuck.repeatLastReport = true;
  stuck.answers["MEAS:TRA:READ?"] = {text.substr(0, 1000)};
  ReadStoredTrace(stuck.Transport(ConnectionKind::Usb), "2", r, {});
  EXPECT_EQ(stuck.notifier.Texts(), std::vector<std::string>{"Stored trace (2) is empty."});
  EXPECT_LT(stuck.featureReads, 64);  // not the 128 the size limit would allow
  // A flat trace repeats every 64 characters and is still a trace.
  std::string flat = "{";
  for (int i = 0; i < 501; ++i) flat += std::string("512") + (i < 500 ? "," : "}");
  ScriptedAnalyzer level;
  level.repeatLastReport = true;
  level.answers["MEAS:TRA:READ?"] = {flat};
  ReadStoredTrace(level.Transport(ConnectionKind::Usb), "3", r, {});
  EXPECT_TRUE(level.notifier.messages.empty());
  EXPECT_EQ(r.Points()[500], 512);
}

TEST_F(StoredRead, OverflowClosedPortAndVanishedLink) {
  a.answers["MEAS:TRA:READ?"] = {"{1,2,70000000}"};
  RawTrace r;
  ReadStoredTrace(a.Transport(ConnectionKind::Usb), "3", r, {});
  EXPECT_EQ(a.notifier.Texts(), std::vector<std::string>{"Stored trace (3) is empty."});

  ScriptedAnalyzer closed;
  closed.SetSerialOpen(false);
  ReadStoredTrace(closed.Transport(ConnectionKind::ComPort), "3", r, hooks);
  EXPECT_TRUE(closed.commands.empty());
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(closed.notifier.busyChanges.empty());

  // The USB device gone: no answer, reported as empty, no crash.
  ScriptedAnalyzer gone;
  gone.vanished = true;
  ReadStoredTrace(gone.Transport(ConnectionKind::Usb), "4", r, {});
  EXPECT_EQ(gone.notifier.Texts(), std::vector<std::string>{"Stored trace (4) is empty."});
  EXPECT_EQ(gone.notifier.busyChanges, (std::vector<bool>{true, false}));
  // A failure while drawing ends the read quietly and still restores the pointer.
  ScriptedAnalyzer draw;
  draw.answers["MEAS:TRA:READ?"] = {"{1,2,3}"};
  StoredTraceHooks failing;
  failing.drawStoredTraces = [] { throw std::runtime_error("no canvas"); };
  EXPECT_NO_THROW(ReadStoredTrace(draw.Transport(ConnectionKind::ComPort), "5", r, failing));
  EXPECT_EQ(draw.notifier.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_TRUE(draw.notifier.messages.empty());
}

}  // namespace
}  // namespace vantrel::testing

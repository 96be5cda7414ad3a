#include "commands/limit_line.h"

#include <gtest/gtest.h>

#include "support/scripted_analyzer.h"

namespace vantrel::testing {
namespace {

TEST(LimitLineText, FieldCountsAndNumericChecks) {
  LimitLine line{{1, 1}};
  EXPECT_EQ(ParseLimitLineText("2,100,-20,200", line), LimitLineParse::Rejected);
  EXPECT_TRUE(line.empty());
  EXPECT_EQ(ParseLimitLineText("2,100,-20,200,-30", line), LimitLineParse::Good);
  EXPECT_EQ(line, (LimitLine{{100, -20}, {200, -30}}));
  // The last level may carry trailing text; other fields may not.
  EXPECT_EQ(ParseLimitLineText("1,100,-20 dBm", line), LimitLineParse::Good);
  EXPECT_EQ(ParseLimitLineText("2,100,-20x,200,-30", line), LimitLineParse::Doubtful);
  EXPECT_EQ(ParseLimitLineText("1,-5,-20", line), LimitLineParse::Doubtful);
  EXPECT_EQ(line, (LimitLine{{-5, -20}}));
  EXPECT_EQ(ParseLimitLineText("0,1,2", line), LimitLineParse::Rejected);
  line = {{3, 4}};
  EXPECT_EQ(ParseLimitLineText("0.4,1,2", line), LimitLineParse::Rejected);  // no whole point
  EXPECT_TRUE(line.empty());
  EXPECT_EQ(ParseLimitLineText("x,1,2", line), LimitLineParse::Rejected);
  EXPECT_EQ(ParseLimitLineText("100000000,1,2", line), LimitLineParse::Rejected);
  line = {{3, 4}};
  EXPECT_EQ(ParseLimitLineText("no fields", line), LimitLineParse::NoFields);
  EXPECT_EQ(line, (LimitLine{{3, 4}}));
}

TEST(ReadLimitLine, ThreeAttemptsOnSerialAndGpib) {
  for (ConnectionKind kind : {ConnectionKind::ComPort, ConnectionKind::Gpib}) {
    ScriptedAnalyzer a;
    a.answers["MEAS:LMTLINE 1?"] = {"2,100,-20,200", "2,100,-20,200,-30"};
    LimitLine line;
    ReadLimitLine(a.Transport(kind), 1, line);
    EXPECT_EQ(a.Count("MEAS:LMTLINE 1?"), 2);
    EXPECT_EQ(line.size(), 2u);
    EXPECT_EQ(a.notifier.statuses, (std::vector<std::string>{"Getting limit line data.", ""}));

    a.answers["MEAS:LMTLINE 0?"] = {"1,-1,5"};
    ReadLimitLine(a.Transport(kind), 0, line);
    EXPECT_EQ(a.Count("MEAS:LMTLINE 0?"), 3);
    EXPECT_EQ(line, (LimitLine{{-1, 5}}));  // what the last attempt left
  }
}

TEST(ReadLimitLine, UsbAnswerSpansReportsAndStopEndsIt) {
  ScriptedAnalyzer a;
  std::string text = "5";
  for (int i = 1; i <= 5; ++i)
    text += "," + std::to_string(i * 100) + ".125,-" + std::to_string(i * 10) + ".5";
  ASSERT_GT(text.size(), 64u);
  a.answers["MEAS:LMTLINE 1?"] = {text};
  LimitLine line;
  ReadLimitLine(a.Transport(ConnectionKind::Usb), 1, line);
  ASSERT_EQ(line.size(), 5u);
  EXPECT_DOUBLE_EQ(line[4].frequencyMHz, 500.125);
  EXPECT_DOUBLE_EQ(line[4].level, -50.5);
  EXPECT_EQ(a.Count("MEAS:LMTLINE 1?"), 1);
  EXPECT_EQ(a.featureReads, 3);

  // A first report without "," ends the reading after one report.
  ScriptedAnalyzer b;
  b.answers["MEAS:LMTLINE 1?"] = {"ERR"};
  ReadLimitLine(b.Transport(ConnectionKind::Usb), 1, line);
  EXPECT_EQ(b.Count("MEAS:LMTLINE 1?"), 3);
  EXPECT_EQ(b.featureReads, 3);  // one report per attempt
  EXPECT_EQ(line.size(), 5u);  // untouched

  ScriptedAnalyzer c;
  c.answers["MEAS:LMTLINE 1?"] = {text};
  c.clock.onEvents = [&] {
    if (c.clock.NowMs() > 300) c.transport->stopRequested = true;
  };
  LimitLine other{{7, 7}};
  ReadLimitLine(c.Transport(ConnectionKind::Usb), 1, other);
  EXPECT_EQ(c.notifier.statuses, std::vector<std::string>{"Getting limit line data."});
  EXPECT_EQ(other, (LimitLine{{7, 7}}));
  EXPECT_EQ(c.Count("MEAS:LMTLINE 1?"), 1);
}

}  // namespace
}  // namespace vantrel::testing

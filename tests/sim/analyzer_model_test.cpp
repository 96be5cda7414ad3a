#include "sim/analyzer_model.h"

#include <gtest/gtest.h>

#include "link/virtual_clock.h"
#include "sim_test_helpers.h"
#include "util/datetime.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel::sim {
namespace {

using testing::Ask;

class ModelTest : public ::testing::Test {
 protected:
  VirtualClock clock;
  AnalyzerModel model{clock};
};

// The program's own acceptance rules, written out from the command set's definition.
bool FreqStartStopAccepted(const std::string& a) {
  return Position(ToUpper(a), "HZ") >= 3;
}
bool CentreAccepted(const std::string& a) {
  return NumericValue(a) != 0 && Contains(ToUpper(a), "KHZ");
}
bool SpanAccepted(const std::string& a) {
  return Position(ToUpper(a), "HZ") >= 2;
}
bool SweepAccepted(const std::string& a) {
  return Position(ToUpper(a), "S") >= 2;
}

TEST_F(ModelTest, SettingsAnswersPassTheProgramsAcceptanceTests) {
  const std::string idn = Ask(model, "*IDN?");
  EXPECT_TRUE(Contains(ToUpper(idn), "V61") || Contains(ToUpper(idn), "3GHZ")) << idn;
  EXPECT_EQ(Ask(model, "*idn?"), idn);  // case-insensitive

  EXPECT_TRUE(IsNumeric(Ask(model, "MEAS:REFL?")));
  EXPECT_EQ(Ask(model, "MEAS:REFL:UNIT?"), "1");
  EXPECT_EQ(Ask(model, "MEAS:REFL:SCALE?"), "1");

  EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), "0 kHz");
  EXPECT_TRUE(FreqStartStopAccepted(Ask(model, "MEAS:FREQ:ST?")));
  EXPECT_EQ(Ask(model, "MEAS:FREQ:STP?"), "3000000 kHz");
  EXPECT_EQ(Ask(model, "meas:freq:cen?"), "1500000 kHz");
  EXPECT_TRUE(CentreAccepted(Ask(model, "meas:freq:cen?")));
  EXPECT_EQ(Ask(model, "MEAS:SPAN?"), "3000000kHz");
  EXPECT_TRUE(SpanAccepted(Ask(model, "MEAS:SPAN?")));

  const std::string rbw = Ask(model, "CON:RBW?");
  ASSERT_TRUE(IsNumeric(rbw));
  EXPECT_GE(NumericValue(rbw), 0);
  EXPECT_LE(NumericValue(rbw), 8);
  const std::string vbw = Ask(model, "CON:VBW?");
  ASSERT_TRUE(IsNumeric(vbw));
  EXPECT_LE(NumericValue(vbw), 10);
  EXPECT_EQ(Ask(model, "CON:RBW:Mode?"), "AUTO");
  EXPECT_EQ(Ask(model, "CON:VBW:Mode?"), "AUTO");
  EXPECT_TRUE(SweepAccepted(Ask(model, "CON:SWT?")));
  EXPECT_EQ(Ask(model, "MEAS:TRA:DET?"), "1");
  EXPECT_EQ(Ask(model, "MEAS:MARK:MODE?"), "OFF");

  // Date and time: spaces become "/" and ":" on the program's side.
  clock.epoch = DateTime{2026, 12, 8, 12, 30, 45};
  const std::string date = Ask(model, "con:sys:clock:date?");
  const std::string time = Ask(model, "con:sys:clock:time?");
  EXPECT_EQ(date, "2026 12 08");
  EXPECT_EQ(time, "12 30 45");
  EXPECT_TRUE(ParseDate(ReplaceAll(date.substr(0, 10), " ", "/")).has_value());
  EXPECT_TRUE(ParseTime(ReplaceAll(time, " ", ":")).has_value());

  // Marker answers: the number after the first ":".
  const std::string mf = Ask(model, "MEAS:MARK:FREQ?");
  ASSERT_NE(mf.find(':'), std::string::npos);
  EXPECT_DOUBLE_EQ(NumericValue(mf.substr(mf.find(':') + 1)), 1500);
  const std::string ml = Ask(model, "MEAS:MARK:LEVEL?");
  ASSERT_NE(ml.find(':'), std::string::npos);
  EXPECT_LT(NumericValue(ml.substr(ml.find(':') + 1)), 0);
}

TEST_F(ModelTest, SettingCommandsChangeWhatTheQueriesAnswer) {
  model.Execute("MEAS:REFL -20", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:REFL?"), "-20");
  model.Execute("MEAS:REFL:UNIT 3", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:REFL:UNIT?"), "3");
  EXPECT_EQ(Ask(model, "MEAS:REFL?"), "87");  // -20 dBm in dBuV
  model.Execute("MEAS:REFL:UNIT 2", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:REFL?"), "27");      // dBmV
  model.Execute("MEAS:REFL 0", Framing::Serial);  // in the current unit
  model.Execute("MEAS:REFL:UNIT 1", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:REFL?"), "-47");
  model.Execute("MEAS:REFL:UNIT 4", Framing::Serial);  // not in the table: ignored
  EXPECT_EQ(Ask(model, "MEAS:REFL:UNIT?"), "1");

  model.Execute("MEAS:REFL:SCALE 3", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:REFL:SCALE?"), "3");
  model.Execute("MEAS:REFL:SCALE 5", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:REFL:SCALE?"), "3");

  model.Execute("MEAS:TRA:DET 3", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:TRA:DET?"), "3");
  model.Execute("MEAS:TRA:DET 6", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:TRA:DET?"), "3");

  model.Execute("meas:mark:mode on", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:MARK:MODE?"), "ON");
  model.Execute("MEAS:MARK:SEL 3", Framing::Serial);
  model.Execute("MEAS:MARK:FREQ 433.92 MHz", Framing::Serial);
  const std::string mf = Ask(model, "MEAS:MARK:FREQ?");
  EXPECT_EQ(mf.substr(0, mf.find(':')), "MKR3");
  EXPECT_DOUBLE_EQ(NumericValue(mf.substr(mf.find(':') + 1)), 433.92);
  // The marker sits on the -35 dBm tone: its level reads close to it.
  const std::string ml = Ask(model, "MEAS:MARK:LEVEL?");
  EXPECT_NEAR(NumericValue(ml.substr(ml.find(':') + 1)), -35, 1.5);
}

TEST_F(ModelTest, StartCentreStopAndSpanStayConsistent) {
  auto check = [&](const char* start, const char* centre, const char* stop, const char* span) {
    EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), start);
    EXPECT_EQ(Ask(model, "meas:freq:cen?"), centre);
    EXPECT_EQ(Ask(model, "MEAS:FREQ:STP?"), stop);
    EXPECT_EQ(Ask(model, "MEAS:SPAN?"), span);
  };
  model.Execute("MEAS:FREQ:ST 100 MHz", Framing::Serial);
  model.Execute("MEAS:FREQ:STP 200 MHz", Framing::Serial);
  check("100000 kHz", "150000 kHz", "200000 kHz", "100000kHz");

  model.Execute("MEAS:SPAN 20 MHz", Framing::Serial);  // centre kept
  check("140000 kHz", "150000 kHz", "160000 kHz", "20000kHz");

  model.Execute("MEAS:FREQ:CEN 433.92 MHz", Framing::Serial);  // span kept
  check("423920 kHz", "433920 kHz", "443920 kHz", "20000kHz");

  model.Execute("MEAS:FREQ:CEN 5 MHz", Framing::Serial);  // cannot go below 0 Hz
  check("0 kHz", "5000 kHz", "10000 kHz", "10000kHz");

  model.Execute("meas:freq:st 2.5 ghz", Framing::Serial);  // beyond stop: stop follows
  EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), "2500000 kHz");
  EXPECT_GT(NumericValue(Ask(model, "MEAS:FREQ:STP?")), 2500000);

  model.Execute("MEAS:SPAN 5000 MHz", Framing::Serial);  // clamped to the full range
  check("0 kHz", "1500000 kHz", "3000000 kHz", "3000000kHz");

  model.Execute("MEAS:FREQ:STP 1500 kHz", Framing::Serial);
  check("0 kHz", "750 kHz", "1500 kHz", "1500kHz");

  model.Execute("MEAS:FREQ:ST nonsense", Framing::Serial);  // no number: ignored
  EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), "0 kHz");
}

TEST_F(ModelTest, BandwidthsAndSweepTimeFollowSpanLikeAnAnalyzer) {
  // AUTO: the RBW narrows with the span, VBW follows RBW, the sweep slows down.
  const int wideRbw = static_cast<int>(NumericValue(Ask(model, "CON:RBW?")));
  EXPECT_EQ(wideRbw, 8);  // 4 MHz at full span
  model.Execute("MEAS:SPAN 20 MHz", Framing::Serial);
  EXPECT_EQ(Ask(model, "CON:RBW?"), "5");  // 100 kHz
  EXPECT_EQ(Ask(model, "CON:VBW?"), "8");  // 100 kHz
  model.Execute("MEAS:SPAN 1 MHz", Framing::Serial);
  EXPECT_EQ(Ask(model, "CON:RBW?"), "1");  // 3 kHz

  model.Execute("CON:RBW:MAN 6", Framing::Serial);
  EXPECT_EQ(Ask(model, "CON:RBW?"), "6");
  EXPECT_EQ(Ask(model, "CON:RBW:MODE?"), "MANUAL");
  model.Execute("MEAS:SPAN 100 MHz", Framing::Serial);  // manual RBW stays
  EXPECT_EQ(Ask(model, "CON:RBW?"), "6");
  model.Execute("CON:RBW:MAN 9", Framing::Serial);  // not in the table
  EXPECT_EQ(Ask(model, "CON:RBW?"), "6");
  model.Execute("CON:VBW:MAN 2", Framing::Serial);
  EXPECT_EQ(Ask(model, "CON:VBW?"), "2");
  EXPECT_EQ(Ask(model, "CON:VBW:MODE?"), "MANUAL");
  model.Execute("CON:VBW:MAN 11", Framing::Serial);
  EXPECT_EQ(Ask(model, "CON:VBW?"), "2");

  // Narrow RBW and VBW over a wide span: a sweep of seconds, written with " s".
  model.Execute("CON:RBW:MAN 1", Framing::Serial);
  const std::string slow = Ask(model, "CON:SWT?");
  EXPECT_TRUE(Contains(slow, " s")) << slow;
  model.Execute("CON:RBW:AUTO", Framing::Serial);
  model.Execute("CON:VBW:AUTO", Framing::Serial);
  EXPECT_EQ(Ask(model, "CON:RBW:MODE?"), "AUTO");
  const std::string fast = Ask(model, "CON:SWT?");
  EXPECT_TRUE(Contains(fast, " ms")) << fast;

  model.State().sweepTimeOverrideMs = 1500;
  EXPECT_EQ(Ask(model, "CON:SWT?"), "1.5 s");
  model.State().sweepTimeOverrideMs = 0.2;
  EXPECT_EQ(Ask(model, "CON:SWT?"), "200 us");
  model.State().sweepTimeOverrideMs = 100;
  EXPECT_EQ(Ask(model, "CON:SWT?"), "100 ms");
}

TEST_F(ModelTest, UnknownCommandsAreIgnoredAndUnknownQueriesUnanswered) {
  EXPECT_EQ(Ask(model, "FOO:BAR?"), "<none>");
  EXPECT_EQ(Ask(model, "MEAS:LMTLINE 7?"), "<none>");
  EXPECT_FALSE(model.Execute("FOO:BAR 12", Framing::Serial).has_value());
  EXPECT_FALSE(model.Execute("", Framing::Serial).has_value());
  EXPECT_FALSE(model.Execute("*cls", Framing::Gpib).has_value());
  model.Execute("*sre 16", Framing::Gpib);
  EXPECT_EQ(model.State().serviceRequestEnable, 16);
  EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), "0 kHz");  // nothing changed
  // GPIB text answers end in LF, serial ones in CR.
  auto gpib = model.Execute("*IDN?", Framing::Gpib);
  ASSERT_TRUE(gpib);
  EXPECT_EQ(gpib->bytes.back(), '\n');
  auto serial = model.Execute("*IDN?;", Framing::Serial);
  ASSERT_TRUE(serial);
  EXPECT_EQ(serial->bytes.back(), '\r');
}

TEST_F(ModelTest, CountsFollowTheReferenceLevelWithTheLowReferenceQuirk) {
  EXPECT_EQ(AnalyzerModel::LevelToCount(0, 0), 1023);
  EXPECT_EQ(AnalyzerModel::LevelToCount(-80, 0), 0);
  EXPECT_EQ(AnalyzerModel::LevelToCount(-90, 0), 0);
  EXPECT_EQ(AnalyzerModel::LevelToCount(5, 0), 1023);
  EXPECT_EQ(AnalyzerModel::LevelToCount(-40, 0), 512);  // 511.5 rounds to the even 512
  EXPECT_EQ(AnalyzerModel::LevelToCount(-30, -20), 895);
  // Below -50 dBm the counts stay relative to -50 dBm: the program adds
  // (-50 - ref) * 1023 / 80 = 128 counts for a -60 dBm reference.
  EXPECT_EQ(AnalyzerModel::LevelToCount(-60, -60), 895);
  EXPECT_EQ(AnalyzerModel::LevelToCount(-50, -60), 1023);
  EXPECT_EQ(AnalyzerModel::LevelToCount(-60, -50), 895);

  // Through the trace data: a tone at the reference level reads 1023 down to -50 dBm,
  // and stays 1023 - 128 below it.
  model.Scene() = SignalScene::Quiet();
  model.Scene().tones = {{1000e6, -60}};
  model.Execute("MEAS:FREQ:CEN 1000 MHz", Framing::Serial);
  model.Execute("MEAS:SPAN 10 MHz", Framing::Serial);
  model.Execute("MEAS:REFL -60", Framing::Serial);
  auto live = model.TakeLiveTraces();
  EXPECT_EQ(live[0][250], 895);
  model.Execute("MEAS:REFL:UNIT 3", Framing::Serial);  // same reference in dBuV
  EXPECT_EQ(Ask(model, "MEAS:REFL?"), "47");
  live = model.TakeLiveTraces();
  EXPECT_EQ(live[0][250], 895);
  model.Execute("MEAS:REFL 57", Framing::Serial);  // -50 dBm: no quirk any more
  live = model.TakeLiveTraces();
  EXPECT_EQ(live[0][250], 895);
  model.Execute("MEAS:REFL 47", Framing::Serial);
  model.Execute("MEAS:REFL:UNIT 1", Framing::Serial);
  model.Execute("MEAS:REFL -60", Framing::Serial);
  model.Scene().tones.clear();
  model.Execute("CON:RBW:MAN 8", Framing::Serial);
  const int floorWide = model.TakeLiveTraces()[0][100];
  model.Execute("CON:RBW:MAN 5", Framing::Serial);
  const int floorNarrow = model.TakeLiveTraces()[0][100];
  // 4 MHz against 100 kHz: 16 dB of noise, 16 * 1023 / 80 = 205 counts.
  EXPECT_NEAR(floorWide - floorNarrow, 205, 3);
}

TEST_F(ModelTest, SpectrumShowsTheDefaultSignalsRepeatably) {
  AnalyzerModel other(clock);
  const auto a = model.TakeLiveTraces();
  const auto b = other.TakeLiveTraces();
  EXPECT_EQ(a[0], b[0]);  // seeded: the same data in every run
  // Full span, 6 MHz a point: the 100 MHz, -20 dBm tone at point 17 (of 0 dBm ref).
  const int tone = a[0][17];
  EXPECT_NEAR(tone, AnalyzerModel::LevelToCount(-20, 0), 15);
  // The 2.4 GHz tone rises above the default upper limit line (-35 dBm there).
  EXPECT_GT(a[0][400], AnalyzerModel::LevelToCount(-35, 0));
  // Floor well below the tones but above the graph's bottom.
  EXPECT_GT(a[0][60], 0);
  EXPECT_LT(a[0][60], AnalyzerModel::LevelToCount(-60, 0));
  // Max hold (trace 2) never below clear-write (trace 1) on later sweeps.
  const auto next = model.TakeLiveTraces();
  for (int n = 0; n < kTracePoints; ++n) {
    ASSERT_GE(next[1][n], next[0][n]);
    ASSERT_LE(next[2][n], next[0][n]);
  }
}

}  // namespace
}  // namespace vantrel::sim

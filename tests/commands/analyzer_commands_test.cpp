#include "commands/analyzer_commands.h"

#include <gtest/gtest.h>

#include "support/scripted_analyzer.h"

namespace vantrel::testing {
namespace {

struct Commands : ::testing::Test {
  ScriptedAnalyzer analyzer;
  AnalyzerCommands commands{analyzer.Transport(ConnectionKind::ComPort)};
  void Answer(const std::string& query, std::deque<std::string> texts) {
    analyzer.answers[query] = std::move(texts);
  }
};

TEST_F(Commands, FrequencyQueriesAskAgainAndTakeTheFifthAnswerUntested) {
  // "kHz" alone has "HZ" at position 2: too early to carry a number.
  Answer("MEAS:FREQ:ST?", {"5", "kHz", "5", "5", "1000 kHz"});
  EXPECT_DOUBLE_EQ(commands.Get_FreqStart(), 1.0);
  EXPECT_EQ(analyzer.Count("MEAS:FREQ:ST?"), 5);
  EXPECT_EQ(analyzer.commands.size(), 5u);  // asks again without a drain in between

  analyzer.commands.clear();
  Answer("MEAS:FREQ:STP?", {"2000"});
  EXPECT_DOUBLE_EQ(commands.Get_FreqStop(), 2.0);
  EXPECT_EQ(analyzer.Count("MEAS:FREQ:STP?"), 5);

  analyzer.commands.clear();
  Answer("MEAS:FREQ:STP?", {"2700000 kHz"});
  EXPECT_DOUBLE_EQ(commands.Get_FreqStop(), 2700.0);
  EXPECT_EQ(analyzer.commands.size(), 1u);

  // Center: a zero value or a missing "kHz" is rejected and drained.
  analyzer.commands.clear();
  Answer("meas:freq:cen?", {"0 kHz", "1500", "1500 kHz"});
  EXPECT_DOUBLE_EQ(commands.Get_FreqCenter(), 1.5);
  EXPECT_EQ(analyzer.Count("meas:freq:cen?"), 3);
}

TEST_F(Commands, SpanAndSweepTimeAreParsedWithTheirUnits) {
  Answer("MEAS:SPAN?", {"2500000kHz"});
  EXPECT_EQ(commands.Get_SPAN(), "2.5GHz");
  Answer("MEAS:SPAN?", {"20000kHz"});
  EXPECT_EQ(commands.Get_SPAN(), "20MHz");
  Answer("MEAS:SPAN?", {"500kHz"});
  EXPECT_EQ(commands.Get_SPAN(), "500KHz");
  Answer("MEAS:SPAN?", {"1500kHz"});
  EXPECT_EQ(commands.Get_SPAN(), "1.5MHz");

  Answer("CON:SWT?", {"1.5 s"});
  EXPECT_FLOAT_EQ(commands.Get_SweepTime(), 1500.0f);
  Answer("CON:SWT?", {"200 us"});
  EXPECT_FLOAT_EQ(commands.Get_SweepTime(), 0.2f);
  Answer("CON:SWT?", {"100 ms"});
  EXPECT_FLOAT_EQ(commands.Get_SweepTime(), 100.0f);
  Answer("CON:SWT?", {"100 ms"});
  EXPECT_EQ(commands.Get_SweepTime_str(), "100 ms");

  // A bare number lacks the "S" after the first character: asked five times.
  analyzer.commands.clear();
  Answer("CON:SWT?", {"100"});
  commands.Get_SweepTime_str();
  EXPECT_EQ(analyzer.Count("CON:SWT?"), 5);
}

TEST_F(Commands, TableQueriesRejectValuesOutsideTheTable) {
  Answer("CON:RBW?", {"9"});
  EXPECT_EQ(commands.Get_RBW(), "");
  EXPECT_EQ(analyzer.Count("CON:RBW?"), 5);
  Answer("CON:RBW?", {"x", "6"});
  EXPECT_EQ(commands.Get_RBW(), "120KHz");
  Answer("CON:VBW?", {"10"});
  EXPECT_EQ(commands.Get_VBW(), "1MHz");
  Answer("CON:VBW?", {"0"});
  EXPECT_EQ(commands.Get_VBW(), "10Hz");

  Answer("MEAS:REFL:UNIT?", {"2"});
  EXPECT_EQ(commands.Get_RefUnit(), "dBmV");
  Answer("MEAS:REFL:UNIT?", {"4"});
  EXPECT_EQ(commands.Get_RefUnit(), "");
  Answer("MEAS:REFL:SCALE?", {"3"});
  EXPECT_FLOAT_EQ(commands.Get_Scale(), 2.0f);
  Answer("MEAS:REFL:SCALE?", {"7"});
  EXPECT_FLOAT_EQ(commands.Get_Scale(), 0.0f);

  Answer("MEAS:TRA:DET?", {"5"});
  EXPECT_EQ(commands.Get_Detection(), "QPeak");
  analyzer.commands.clear();
  Answer("MEAS:TRA:DET?", {"0", "7", "3"});
  EXPECT_EQ(commands.Get_Detection(), "Peak+");
  EXPECT_EQ(analyzer.Count("MEAS:TRA:DET?"), 3);
  // First digit 3, but 35 is no detector.
  Answer("MEAS:TRA:DET?", {"35"});
  EXPECT_EQ(commands.Get_Detection(), "");

  Answer("CON:RBW:Mode?", {"MANUAL"});
  EXPECT_EQ(commands.Get_RBWMode(), "MANUAL");
  Answer("CON:VBW:Mode?", {"nothing", "Auto"});
  EXPECT_EQ(commands.Get_VBWMode(), "Auto");
}

TEST_F(Commands, NumericQueriesDrainARejectedAnswer) {
  Answer("MEAS:REFL?", {"dBm", "-20.5"});
  const std::uint32_t before = analyzer.clock.NowMs();
  EXPECT_FLOAT_EQ(commands.Get_RefLevel(), -20.5f);
  EXPECT_EQ(analyzer.Count("MEAS:REFL?"), 2);
  // The drain waited at least its 20 ms settle and the 50 ms pause.
  EXPECT_GE(analyzer.clock.NowMs() - before, 200u + 70u + 200u);

  Answer("MEAS:REFL?", {"-10 dBm"});
  EXPECT_FLOAT_EQ(commands.Get_RefLevel(), -10.0f);  // last answer parsed leniently
  EXPECT_EQ(analyzer.Count("MEAS:REFL?"), 7);
}

TEST_F(Commands, ClockAndMarkerQueries) {
  Answer("con:sys:clock:date?", {"bad", "2007 04 26"});
  Answer("con:sys:clock:time?", {"12 30 45"});
  EXPECT_EQ(commands.Get_Clock(), "2007/04/26 12:30:45");
  Answer("con:sys:clock:date?", {"2007 13 40"});
  EXPECT_EQ(commands.Get_Clock(), "");

  Answer("MEAS:MARK:MODE?", {"ON"});
  EXPECT_TRUE(commands.Get_MM_MODE());
  Answer("MEAS:MARK:MODE?", {"OFF"});
  EXPECT_FALSE(commands.Get_MM_MODE());

  Answer("MEAS:MARK:FREQ?", {"M1: 1234.5"});
  EXPECT_DOUBLE_EQ(commands.Get_MarkerFreq(), 1234.5);
  Answer("MEAS:MARK:LEVEL?", {"-33.25"});
  EXPECT_DOUBLE_EQ(commands.Get_MarkerLevel(), -33.25);
}

TEST_F(Commands, StopRequestedShortCircuitsQueriesButNotTheDetector) {
  Answer("MEAS:REFL?", {"-20"});
  Answer("MEAS:TRA:DET?", {"2"});
  analyzer.transport->stopRequested = true;
  EXPECT_FLOAT_EQ(commands.Get_RefLevel(), 0.0f);
  EXPECT_EQ(commands.Get_RBW(), "");
  EXPECT_DOUBLE_EQ(commands.Get_FreqStart(), 0.0);
  EXPECT_EQ(commands.Get_Clock(), "");
  commands.Set_MarkerSelect(2);
  EXPECT_TRUE(analyzer.commands.empty());
  EXPECT_EQ(commands.Get_Detection(), "Sample");
  EXPECT_EQ(analyzer.commands, std::vector<std::string>{"MEAS:TRA:DET?"});

  // A disconnect arriving inside a wait ends the asking at the next attempt.
  analyzer.transport->stopRequested = false;
  analyzer.commands.clear();
  Answer("CON:RBW?", {"9"});
  analyzer.clock.onEvents = [&] {
    if (analyzer.Count("CON:RBW?") == 2) analyzer.transport->stopRequested = true;
  };
  EXPECT_EQ(commands.Get_RBW(), "");
  EXPECT_EQ(analyzer.Count("CON:RBW?"), 2);
}

TEST_F(Commands, CommandsSendExactTextInShortestForm) {
  commands.Set_RefLvl(-20, "dBm");
  commands.Set_FreqStart(1500);
  commands.Set_FreqStop(2.5);
  commands.Set_FreqCenter(0.15);
  commands.Set_Span(20);
  commands.Set_AmpUnit(" dbuv ");
  commands.Set_AmpUnit("volts");
  commands.Set_Scale(3);
  commands.Set_Scale(5);
  commands.Set_Scale(1);
  commands.Set_RBWAuto(1);
  commands.Set_RBWAuto(0);
  commands.Set_VBWAuto(1);
  commands.Set_SweepAuto(true);
  const std::vector<std::string> expected{"MEAS:REFL -20",         "MEAS:FREQ:ST 1500 MHz",
                                          "MEAS:FREQ:STP 2.5 MHz", "MEAS:FREQ:CEN 0.15 MHz",
                                          "MEAS:SPAN 20 MHz",      "MEAS:REFL:UNIT 3",
                                          "MEAS:REFL:SCALE 2",     "MEAS:REFL:SCALE 4",
                                          "CON:RBW:AUTO",          "CON:VBW:AUTO"};
  EXPECT_EQ(analyzer.commands, expected);

  analyzer.commands.clear();
  const std::uint32_t before = analyzer.clock.NowMs();
  commands.Set_MarkerSelect(3);
  EXPECT_EQ(analyzer.commands, std::vector<std::string>{"MEAS:MARK:SEL 3"});
  EXPECT_GE(analyzer.clock.NowMs() - before, 1000u);
}

TEST_F(Commands, VerifiedSettingsNormaliseAndSendAtMostFiveTimes) {
  commands.Set_RBW("3 kHz", false);
  EXPECT_EQ(analyzer.commands, std::vector<std::string>{"CON:RBW:MAN 1"});

  analyzer.commands.clear();
  Answer("CON:RBW?", {"1"});
  commands.Set_RBW("3.5KHz", true);
  EXPECT_EQ(analyzer.Count("CON:RBW:MAN 1"), 0);
  EXPECT_EQ(analyzer.commands.size(), 5u);  // five read-backs, nothing sent
  EXPECT_EQ(analyzer.Count("CON:RBW?"), 5);

  // Confirmed at the first read-back: sent once.
  analyzer.commands.clear();
  Answer("CON:VBW?", {"4"});
  commands.Set_VBW("1khz", true);
  EXPECT_EQ(analyzer.Count("CON:VBW:MAN 4"), 1);
  EXPECT_EQ(analyzer.Count("CON:VBW?"), 1);

  // Confirmed at the third pass.
  analyzer.commands.clear();
  Answer("CON:RBW?", {"0", "0", "6"});
  commands.Set_RBW("120KHz", true);
  EXPECT_EQ(analyzer.Count("CON:RBW:MAN 6"), 3);

  // "Peak" goes out as code 3, but "Peak+" read back never equals "PEAK".
  analyzer.commands.clear();
  Answer("MEAS:TRA:DET?", {"3"});
  commands.Set_Detection("Peak", true);
  EXPECT_EQ(analyzer.Count("MEAS:TRA:DET 3"), 5);
  EXPECT_EQ(analyzer.Count("MEAS:TRA:DET?"), 5);
  analyzer.commands.clear();
  commands.Set_Detection(" qp ", false);
  EXPECT_EQ(analyzer.commands, std::vector<std::string>{"MEAS:TRA:DET 5"});
}

TEST(CommandsOverEveryLink, QueriesAndCommandsWorkOnUsbAndGpib) {
  for (ConnectionKind kind : {ConnectionKind::Usb, ConnectionKind::Gpib}) {
    ScriptedAnalyzer analyzer;
    AnalyzerCommands commands(analyzer.Transport(kind));
    analyzer.answers["MEAS:FREQ:ST?"] = {"100000 kHz"};
    analyzer.answers["CON:RBW?"] = {"9", "9", "8"};
    EXPECT_DOUBLE_EQ(commands.Get_FreqStart(), 100.0) << static_cast<int>(kind);
    EXPECT_EQ(commands.Get_RBW(), "4MHz");
    commands.Set_RBW("4MHz", false);
    EXPECT_EQ(analyzer.commands.back(), "CON:RBW:MAN 8");
  }
}

}  // namespace
}  // namespace vantrel::testing

#include "app/control_panel_rules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

TEST(ControlPanelRules, ReferenceLevelClampsFollowTheUnit) {
  EXPECT_EQ(ClampedRefLevelText("150", "dBuV"), "127");
  EXPECT_EQ(ClampedRefLevelText("-4", " dbuv "), "-3");
  EXPECT_EQ(ClampedRefLevelText("30", "dBm"), "20");
  EXPECT_EQ(ClampedRefLevelText("-111", "dBm"), "-110");
  EXPECT_EQ(ClampedRefLevelText("68", "dBmV"), "67");
  EXPECT_EQ(ClampedRefLevelText("-64", "DBMV"), "-63");
  // Unknown units take the dBm range.
  EXPECT_EQ(ClampedRefLevelText("21", "volts"), "20");
  EXPECT_EQ(ClampedRefLevelText("1e999", "dBm"), "20");
  EXPECT_EQ(ClampedRefLevelText("-1e999", "dBuV"), "-3");
  // In range, or no number at all (reads as 0, inside every range but dBuV's bottom).
  EXPECT_EQ(ClampedRefLevelText("-30.5", "dBm"), std::nullopt);
  EXPECT_EQ(ClampedRefLevelText("abc", "dBm"), std::nullopt);
  EXPECT_EQ(ClampedRefLevelText("", "dBuV"), std::nullopt);
  EXPECT_EQ(ClampedRefLevelText("127", "dBuV"), std::nullopt);
}

TEST(ControlPanelRules, FrequencyBoxesClampToTheAnalyzersRange) {
  EXPECT_EQ(ClampedFrequencyText("-5"), "0");
  EXPECT_EQ(ClampedFrequencyText("4000"), "3000");
  EXPECT_EQ(ClampedFrequencyText("1e999"), "3000");
  EXPECT_EQ(ClampedFrequencyText("-1e999"), "0");
  EXPECT_EQ(ClampedFrequencyText("3000"), std::nullopt);
  EXPECT_EQ(ClampedFrequencyText("0"), std::nullopt);
  EXPECT_EQ(ClampedFrequencyText("-0"), std::nullopt);
  EXPECT_EQ(ClampedFrequencyText("letters"), std::nullopt);
  EXPECT_EQ(ClampedFrequencyText("12abc"), std::nullopt);
  // A negative zero goes out as a plain 0.
  EXPECT_FALSE(std::signbit(BoxValue("-0")));
  EXPECT_EQ(BoxValue("-0"), 0.0);
  EXPECT_EQ(BoxValue(" 12.5MHz"), 12.5);
  EXPECT_EQ(BoxValue(""), 0.0);
}

TEST(ControlPanelRules, OkButtonSendsOnlyWhatDiffersInItsOrder) {
  AnalyzerSettings s;
  s.FreqStart = 100;
  s.FreqStop = 200;
  s.FreqCenter = 150;
  s.Span = "100MHz";
  s.RefUnit = "dBm";
  s.RefLevel = -30.5f;
  s.RBW = "120KHz";
  s.RBWMode = "MANU";
  s.VBW = "1MHz";
  s.VBWMode = "AUTO";
  const PanelTexts same = PanelTextsOf(s);
  EXPECT_EQ(same.rbw, "120KHz");
  EXPECT_EQ(same.vbw, "Auto");
  EXPECT_TRUE(ChangedFields(same, s).empty());

  PanelTexts all = same;
  all.freqStart = "110";
  all.freqStop = "190";
  all.freqCenter = "140";
  all.span = "50";
  all.ampUnit = "dBuV";
  all.refLevel = "-20";
  all.rbw = "Auto";
  all.vbw = "300KHz";
  const std::vector<PanelChange> expected = {
      {PanelCommand::FreqStart, 110, ""},  {PanelCommand::FreqStop, 190, ""},
      {PanelCommand::FreqCenter, 140, ""}, {PanelCommand::Span, 50, ""},
      {PanelCommand::AmpUnit, 0, "dBuV"},  {PanelCommand::RefLvl, -20, ""},
      {PanelCommand::RbwAuto, 1, ""},      {PanelCommand::Vbw, 0, "300KHz"}};
  EXPECT_EQ(ChangedFields(all, s), expected);

  // Letter case does not count as a change; the span is compared with stop - start.
  PanelTexts cased = same;
  cased.ampUnit = "DBM";
  cased.rbw = "120khz";
  cased.vbw = "auto";
  EXPECT_TRUE(ChangedFields(cased, s).empty());
  s.Span = "bogus";
  EXPECT_TRUE(ChangedFields(cased, s).empty());
  // The level is compared in single precision.
  PanelTexts level = same;
  level.refLevel = "-30.50000001";
  EXPECT_TRUE(ChangedFields(level, s).empty());
}

TEST(ControlPanelRules, SettingsBecomePanelTexts) {
  AnalyzerSettings s;
  s.FreqStart = 1000;
  s.FreqStop = 2.5;
  s.FreqCenter = 1501.25;
  s.Span = "2.7GHz";
  s.RefLevel = -20.5f;
  s.RefUnit = "dBuV";
  s.Scale = 5;
  s.RBWMode = "auto";
  s.RBW = "4MHz";
  s.VBWMode = "MANU";
  s.VBW = "30KHz";
  const PanelTexts t = PanelTextsOf(s);
  EXPECT_EQ(t.freqStart, "1000");
  EXPECT_EQ(t.freqStop, "2.5");
  EXPECT_EQ(t.freqCenter, "1501.25");
  EXPECT_EQ(t.span, "2700");
  EXPECT_EQ(t.refLevel, "-20.5");
  EXPECT_EQ(t.refLevelUpDown, -20);  // halves to even
  EXPECT_EQ(t.ampUnit, "dBuV");
  EXPECT_EQ(t.ampScale, "5");
  EXPECT_EQ(t.rbw, "Auto");
  EXPECT_EQ(t.vbw, "30KHz");
  s.RefLevel = 1e9f;  // beyond the arrows' own range
  EXPECT_EQ(PanelTextsOf(s).refLevelUpDown, kUpDownHighest);
}

TEST(ControlPanelRules, BandwidthPicks) {
  EXPECT_EQ(RbwPick("300KHz"), (PanelChange{PanelCommand::Rbw, 0, "300KHz"}));
  EXPECT_EQ(RbwPick("Auto"), (PanelChange{PanelCommand::RbwAuto, 1, ""}));
  EXPECT_EQ(RbwPick(""), (PanelChange{PanelCommand::RbwAuto, 1, ""}));
  EXPECT_EQ(VbwPick("10hz"), (PanelChange{PanelCommand::Vbw, 0, "10hz"}));
  EXPECT_EQ(VbwPick("Auto"), (PanelChange{PanelCommand::VbwAuto, 1, ""}));
  const std::vector<std::string> rbw = RbwListItems();
  ASSERT_EQ(rbw.size(), 10u);
  EXPECT_EQ(rbw.front(), "Auto");
  EXPECT_EQ(rbw[6], "9KHz");
  EXPECT_EQ(rbw.back(), "300Hz");
}

TEST(ControlPanelRules, RecordingLimitInSeconds) {
  EXPECT_EQ(RecordingLimitSeconds("Hr.", "None"), 0);
  EXPECT_EQ(RecordingLimitSeconds("Min.", "10"), 600);
  EXPECT_EQ(RecordingLimitSeconds(" MIN ", "10"), 600);
  EXPECT_EQ(RecordingLimitSeconds("hr", "2"), 7200);
  EXPECT_EQ(RecordingLimitSeconds("Sec.", "30"), 30);
  EXPECT_EQ(RecordingLimitSeconds("fortnights", "30"), 30);
  EXPECT_EQ(RecordingLimitSeconds("Sec.", "2.5"), 2);  // halves to even
  EXPECT_EQ(RecordingLimitSeconds("Hr.", "1e999"), 2147483647);
  EXPECT_EQ(RecordingLimitSeconds("Hr.", ""), 0);
}

TEST(ControlPanelRules, SpanTextOfTheModeSwitch) {
  EXPECT_EQ(ModeSpanText(0, 3000), "3GHz");
  EXPECT_EQ(ModeSpanText(100, 1100), "1000MHz");
  EXPECT_EQ(ModeSpanText(100, 101), "1MHz");
  EXPECT_EQ(ModeSpanText(100, 100.5), "500.0KHz");
  EXPECT_EQ(ModeSpanText(100, 100.0123456), "12.346KHz");
  EXPECT_EQ(ModeSpanText(100, 100), "0.0KHz");
}

TEST(ControlPanelRules, SettingFieldChecks) {
  EXPECT_EQ(CheckPortNumber("1"), std::nullopt);
  EXPECT_EQ(CheckPortNumber("16"), std::nullopt);
  const auto low = CheckPortNumber("0");
  ASSERT_TRUE(low);
  EXPECT_EQ(low->message, "Port number is from 1 to 16!\r\nPlease key in a correct number.");
  EXPECT_EQ(low->text, "0");
  EXPECT_EQ(CheckPortNumber("abc")->text, "0");
  EXPECT_EQ(CheckPortNumber("17")->text, "16");
  EXPECT_EQ(CheckPortNumber("1e999")->text, "16");

  EXPECT_EQ(CheckSamplingRate("0.1"), std::nullopt);
  EXPECT_EQ(CheckSamplingRate("60"), std::nullopt);
  for (const char* bad : {"0.05", "61", "", "abc", "5x", "1e999", "-0"}) {
    const auto refusal = CheckSamplingRate(bad);
    ASSERT_TRUE(refusal) << bad;
    EXPECT_EQ(refusal->message,
              "Sampling rate is from 0.1 to 60 seconds.!\r\nPlease key in a correct number.");
    EXPECT_EQ(refusal->text, std::nullopt);
  }
  EXPECT_EQ(TypedSamplingRate("0.5"), 0.5);
  EXPECT_EQ(TypedSamplingRate(" 60 "), 60.0);
  EXPECT_EQ(TypedSamplingRate("0.05"), std::nullopt);
}

TEST(ControlPanelRules, DriveOfAFolder) {
  EXPECT_EQ(DriveOf("C:\\Program Files\\Vantrel"), "C:\\");
  EXPECT_EQ(DriveOf("D:/data"), "D:/");
  EXPECT_EQ(DriveOf("/home/user/vantrel"), "/");
  EXPECT_EQ(DriveOf(""), "");
}

}  // namespace
}  // namespace vantrel

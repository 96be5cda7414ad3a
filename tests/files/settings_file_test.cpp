#include "files/settings_file.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::array<std::string, kWindowSettingCount> Defaults() {
  std::array<std::string, kWindowSettingCount> values;
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = kWindowSettings[i].defaultValue;
  return values;
}

TEST(WindowSettingsFile, WrittenInTableOrderWithCrLfAndReadBackTheSame) {
  auto values = Defaults();
  values[13] = "/home/ana/Messungen über Nacht";
  const std::string text = WriteWindowSettings(values);
  EXPECT_EQ(text.substr(0, 42), "COMSel=True\r\nUSBSel=False\r\nGPIBSel=False\r\n");
  EXPECT_NE(text.find("\r\nEMC_StoredColor=16777088\r\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kWindowSettingCount);
  const WindowSettingsText read = ParseWindowSettings(text);
  EXPECT_TRUE(read.problems.empty());
  for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(read.values[i], values[i]) << i;
}

TEST(WindowSettingsFile, KeysInAnyOrderCaseAndSpacingLineEndsAndStrayLines) {
  const WindowSettingsText read = ParseWindowSettings(
      "  samplingRATE =5\n\r\nnot a setting line\nUnknownKey=3\r\n"
      "recordfolder=C:\\data=old\r\nHLIMIT=1\nSamplingRate=10");
  EXPECT_TRUE(read.problems.empty());
  EXPECT_EQ(read.values[9], "10");  // the later line wins
  EXPECT_EQ(read.values[13], "C:\\data");  // cut at a second "="
  EXPECT_EQ(read.values[14], "1");
  EXPECT_FALSE(read.values[0]);
}

TEST(WindowSettingsFile, AValueOfTheWrongFormNamesItsKeyAndLineAndOnlyItIsDropped) {
  struct Case {
    const char* line;
    std::size_t index;
  };
  for (const Case& c : {Case{"COMSel=yes", 0}, Case{"HLimit=3", 14}, Case{"LLimit=1.5", 15},
                        Case{"EMC_StoredColor=-1", 27}, Case{"EMC_StoredColor=16777216", 27},
                        Case{"RecordingPeak=", 12}}) {
    const WindowSettingsText read =
        ParseWindowSettings(std::string("COMNO=4\r\n") + c.line + "\r\nGPIBAddr=7\r\n");
    ASSERT_EQ(read.problems.size(), 1u) << c.line;
    EXPECT_EQ(read.problems[0].line, 2) << c.line;
    EXPECT_EQ(read.problems[0].key, kWindowSettings[c.index].key);
    EXPECT_FALSE(read.values[c.index]) << c.line;
    EXPECT_EQ(read.values[3], "4");
    EXPECT_EQ(read.values[5], "7");
  }
}

TEST(WindowSettingsFile, TypedReaders) {
  EXPECT_EQ(ReadSettingBoolean(" tRUE "), true);
  EXPECT_EQ(ReadSettingBoolean("FALSE"), false);
  EXPECT_FALSE(ReadSettingBoolean("1"));
  EXPECT_EQ(ReadSettingCheck("2"), 2);
  EXPECT_FALSE(ReadSettingCheck("01x"));
  EXPECT_EQ(ReadSettingColour("16777088"), 16777088u);  // RGB(128,255,255)
  EXPECT_FALSE(ReadSettingColour("99999999999999999999"));
}

TEST(GlobalFlagsFile, RoundTripAndBadValues) {
  std::string problem;
  EXPECT_EQ(ParseGlobalFlags(WriteGlobalFlags(1), problem), 1);
  EXPECT_EQ(WriteGlobalFlags(0), "DontShowEMISteps=0\r\n");
  EXPECT_EQ(ParseGlobalFlags(" dontshowemisteps = 1 \r\nOther=5", problem), 1);
  EXPECT_TRUE(problem.empty());
  EXPECT_FALSE(ParseGlobalFlags("DontShowEMISteps=256", problem));
  EXPECT_NE(problem.find("line 1"), std::string::npos);
  EXPECT_FALSE(ParseGlobalFlags("", problem));
}

TEST(SettingsText, Utf8StaysAndLatin1BecomesUtf8) {
  EXPECT_EQ(DecodeSettingsBytes("Messungen \xC3\xBC" "ber"), "Messungen \xC3\xBC" "ber");
  EXPECT_EQ(DecodeSettingsBytes("M\xFC" "nchen"), "M\xC3\xBC" "nchen");
  EXPECT_EQ(DecodeSettingsBytes("\xC3"), "\xC3\x83");  // a cut sequence is no UTF-8
}

}  // namespace
}  // namespace vantrel

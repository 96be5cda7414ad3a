// Files as Windows writes and names them: folders with drive letters and backslashes,
// CR LF line ends, text in the 8-bit code page Windows-1252, and the byte order mark
// Notepad puts before UTF-8.
#include <gtest/gtest.h>

#include "emi/correction_table.h"
#include "emi/limit_standard.h"
#include "files/recorder.h"
#include "files/settings_file.h"
#include "files/wave_text.h"
#include "link/com_port_ini.h"
#include "link/virtual_clock.h"
#include "support/memory_record_store.h"
#include "support/recording_notifier.h"

namespace vantrel {
namespace {

TEST(WindowsFiles, RecordingNamesUseTheFolderOwnSeparator) {
  struct Case {
    const char* folder;
    const char* recording;
  };
  const Case cases[] = {
      {"D:\\Messungen", "D:\\Messungen\\20080307140509.sp3"},
      {"D:\\", "D:\\20080307140509.sp3"},
      {"\\\\server\\share\\rec", "\\\\server\\share\\rec\\20080307140509.sp3"},
      {"D:/Messungen", "D:/Messungen/20080307140509.sp3"},
      {"C:\\Users\\me/rec", "C:\\Users\\me/rec/20080307140509.sp3"},  // mixed: as typed, "/"
      {"/home/me/rec", "/home/me/rec/20080307140509.sp3"},
  };
  for (const Case& c : cases) {
    VirtualClock clock;
    testing::MemoryRecordStore store;
    testing::RecordingNotifier notifier;
    DisplayState state;
    Recorder recorder{clock, store, notifier, state};
    recorder.hooks.buttonDown = [] { return false; };
    recorder.Run([] { return 1.0; }, 0, c.folder, DateTime{2008, 3, 7, 14, 5, 9});
    recorder.AppendRecording();
    EXPECT_EQ(recorder.RecordFilePath(), c.recording) << c.folder;
    EXPECT_EQ(store.files.count(c.recording), 1u) << c.folder;
  }
}

TEST(WindowsFiles, SettingsFileFromAnOlderWindowsVersion) {
  // CR LF, a folder with a drive letter, and "€" and typographic quotes as single bytes.
  const std::string bytes =
      "RecordFolder=D:\\Messungen \x80\r\n"
      "EMC_StoredFile=\x93" "Pr\xFC" "fling\x94.txt\r\n";
  const WindowSettingsText read = ParseWindowSettings(DecodeSettingsBytes(bytes));
  EXPECT_TRUE(read.problems.empty());
  EXPECT_EQ(read.values[static_cast<std::size_t>(FindWindowSetting("RecordFolder"))],
            "D:\\Messungen \xE2\x82\xAC");
  EXPECT_EQ(read.values[static_cast<std::size_t>(FindWindowSetting("EMC_StoredFile"))],
            "\xE2\x80\x9C" "Pr\xC3\xBC" "fling\xE2\x80\x9D.txt");
}

TEST(WindowsFiles, LimitStandardSavedByAWindowsEditor) {
  const std::string bytes =
      "[general]\r\n"
      "name=Pr\xFC" "fling\r\n"
      "description=0.15\x96" "30 MHz\r\n"
      "emimode=Conducted\r\n"
      "freq start=0.15\r\n"
      "freq stop=30\r\n"
      "[limitupper]\r\n"
      "1=0.15,66,0.5,56\r\n";
  std::vector<StandardProblem> problems;
  const StandardHeader header = ReadStandardHeader(bytes, &problems);
  EXPECT_EQ(header.name, "Pr\xC3\xBC" "fling");
  EXPECT_EQ(header.description, "0.15\xE2\x80\x93" "30 MHz");  // en dash
  EXPECT_EQ(header.emiMode, "Conducted");
  LimitStandard standard;
  ParseStandard(bytes, standard);
  EXPECT_DOUBLE_EQ(standard.freqStop, 30);
  ASSERT_EQ(standard.upperLimit.size(), 1u);
  EXPECT_DOUBLE_EQ(standard.upperLimit[0].stopLevel, 56);
  EXPECT_EQ(problems, (std::vector<StandardProblem>{{2, "not UTF-8 text; read as Windows-1252"},
                                                    {3, "not UTF-8 text; read as Windows-1252"}}));
}

// Each reader of a file a user may edit, given the file as Notepad saves it in UTF-8.
TEST(WindowsFiles, AByteOrderMarkIsNotPartOfTheFirstLine) {
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(ComPortDeviceFromIni(bom + "COM1=\\\\.\\COM7\r\n", 1), "\\\\.\\COM7");
  EXPECT_EQ(ParseComPortsIni(bom + "COM2=x").size(), 1u);
  EXPECT_EQ(ReadStandardHeader(bom + "[general]\r\nname=Mine\r\n").name, "Mine");
  const CorrectionTable cable = ParseCorrectionTable(bom + "type=antenna\r\n30,18\r\n", "a");
  EXPECT_EQ(cable.type, CorrectionType::Antenna);
  EXPECT_TRUE(cable.problems.empty());
  const WindowSettingsText read =
      ParseWindowSettings(DecodeSettingsBytes(bom + "SamplingRate=\xC2\xBD\r\n"));
  EXPECT_EQ(read.values[static_cast<std::size_t>(FindWindowSetting("SamplingRate"))],
            "\xC2\xBD");  // still read as UTF-8
  EmiTrace trace{};
  EXPECT_FALSE(ReadWaveText(bom + "7,30,40.5,812\r\n", trace));
  EXPECT_EQ(trace[7].raw, 812);
}

}  // namespace
}  // namespace vantrel

// Wave text files read back into the stored EMI trace.
#include <gtest/gtest.h>

#include "files/wave_text.h"

namespace vantrel {
namespace {

TEST(WaveText, NumberedLinesFillTheirEntryAndEverythingElseIsPassedOver) {
  EmiTrace table{};
  table[13].level = 7;  // entries a file does not name keep their values
  const auto error = ReadWaveText(
      "POINT,FREQ,LEVEL,RAW\r\nRef Level,80\r\n\r\n 12, 150.5, 40.2, 800 \r\n"
      "600,1,2,3\r\n-1,1,2,3\r\n500.4,1,2,3\r\n499.6,3000,1,2\n0,0.15,55.5,1023",
      table);
  EXPECT_FALSE(error);
  EXPECT_EQ(table[12].frequency, 150.5);
  EXPECT_EQ(table[12].level, 40.2);
  EXPECT_EQ(table[12].raw, 800);
  EXPECT_EQ(table[500].frequency, 3000);
  EXPECT_EQ(table[0].raw, 1023);
  EXPECT_EQ(table[13].level, 7);
}

TEST(WaveText, ABadNumberedLineEndsReadingAndKeepsWhatWasRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"1,2,3,4\r\n5,150\r\n6,1,2,3", "has 2 fields"},
      {"1,2,3,4\r\n5,1,2,99999\r\n6,1,2,3", "16-bit"},
  };
  for (const auto& [text, reason] : cases) {
    EmiTrace table{};
    const auto error = ReadWaveText(text, table);
    ASSERT_TRUE(error) << text;
    EXPECT_NE(error->find(reason), std::string::npos) << *error;
    EXPECT_EQ(table[1].raw, 4);
    EXPECT_EQ(table[6].raw, 0);
  }
}

}  // namespace
}  // namespace vantrel

// The text tables: the spectrum, the EMI wave text file read back, and a recording
// converted line by line.
#include <gtest/gtest.h>

#include <sstream>

#include "files/sp3_file.h"
#include "files/sp3_to_text.h"
#include "files/text_tables.h"
#include "files/wave_text.h"
#include "support/hand_built_record.h"
#include "support/hand_built_text.h"
#include "support/memory_record_store.h"

namespace vantrel {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) break;
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

TEST(TextTables, SpectrumTableRunsFromStartToStopWithTheMarkerLevels) {
  DisplayState state;
  state.settings.FreqStart = 100;
  state.settings.FreqStop = 200;
  state.settings.RefLevel = -20;
  state.settings.RefUnit = "dBm";
  state.markerTrace.fill(0);
  state.markerTrace[0] = 1023;
  const auto lines = Lines(SaTextTable(state));
  ASSERT_EQ(lines.size(), 513u);
  EXPECT_EQ(lines[0], "Freq.(MHz),Level");
  EXPECT_EQ(lines[1], "100,-20");
  EXPECT_EQ(lines[2], "100.2,-100");
  EXPECT_EQ(lines[501], "200,-100");
  EXPECT_EQ(lines[503], "Amp Unit,dBm");
  EXPECT_EQ(lines[512], "DATE TIME,");
}

TEST(TextTables, EmiWaveTextReadsBackToTheSame501Points) {
  EmiTrace points{};
  for (int i = 0; i < kEmiTracePoints; ++i) {
    points[i] = {0.15 + i * 0.0597, 20.125 + i / 7.0, static_cast<std::int16_t>(i * 2)};
  }
  AnalyzerSettings s;
  s.RefUnit = "dBuV";
  const std::string text = EmiTextTable(points, s, 0.15, 30);
  EXPECT_EQ(Lines(text).size(), 511u);
  EmiTrace back{};
  EXPECT_FALSE(ReadWaveText(text, back));
  for (int i = 0; i < kEmiTracePoints; ++i) {
    // Text files carry 15 significant digits.
    EXPECT_NEAR(back[i].frequency, points[i].frequency, 1e-12);
    EXPECT_NEAR(back[i].level, points[i].level, 1e-12);
    EXPECT_EQ(back[i].raw, points[i].raw);
  }
}

struct Converted {
  Sp3TextResult result;
  std::string text;
};

Converted Convert(testing::MemoryRecordStore& store, const std::string& path) {
  Converted out;
  out.result = ConvertSp3ToText(store, path, [&](const std::string& piece, std::string&) {
    out.text += piece;
    return true;
  });
  return out;
}

TEST(Sp3ToText, EachRecordBecomesOneLineWithItsStoredTexts) {
  testing::MemoryRecordStore store;
  testing::Bytes file;
  for (int k = 0; k < 3; ++k) {
    testing::Bytes record = testing::HandBuiltRecord();
    record.resize(kSp3SlotBytes, 0xEE);  // slot bytes after a record mean nothing
    file.insert(file.end(), record.begin(), record.end());
  }
  store.files["r.sp3"] = file;
  const Converted c = Convert(store, "r.sp3");
  ASSERT_TRUE(c.result.ok) << c.result.message;
  EXPECT_EQ(c.text, Sp3TextHeader() + testing::HandBuiltRecordLine(1) +
                        testing::HandBuiltRecordLine(2) + testing::HandBuiltRecordLine(3));
  const auto header = Lines(c.text)[0];
  EXPECT_EQ(std::count(header.begin(), header.end(), ','), 12 + 1503 - 1);
}

TEST(Sp3ToText, EmptyMissingAndDamagedSources) {
  testing::MemoryRecordStore store;
  store.files["empty.sp3"] = {};
  EXPECT_EQ(Convert(store, "empty.sp3").text, Sp3TextHeader());

  const Converted missing = Convert(store, "gone.sp3");
  EXPECT_FALSE(missing.result.ok);
  EXPECT_FALSE(store.Size("gone.sp3"));  // never created

  testing::Bytes damaged = testing::HandBuiltRecord();
  damaged.resize(kSp3SlotBytes);
  testing::Bytes second = damaged;
  testing::Put16(second, 3100, 900);  // a sweep time longer than its slot
  damaged.insert(damaged.end(), second.begin(), second.end());
  damaged.insert(damaged.end(), damaged.begin(), damaged.begin() + 3117);
  store.files["bad.sp3"] = damaged;
  const Converted bad = Convert(store, "bad.sp3");
  EXPECT_FALSE(bad.result.ok);
  EXPECT_EQ(bad.result.records, 1u);
  EXPECT_NE(bad.result.message.find("Record 2 of bad.sp3"), std::string::npos);
}

}  // namespace
}  // namespace vantrel

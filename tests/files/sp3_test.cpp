// Recording files: records laid out byte by byte here from the file layout (never
// through the writer), read back, compared with the writer's bytes, and counted.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "files/sp3_file.h"
#include "files/sp3_record.h"
#include "support/hand_built_record.h"
#include "support/memory_record_store.h"

namespace vantrel {
namespace {

using testing::MemoryRecordStore;
using Bytes = std::vector<std::uint8_t>;
using testing::HandBuiltRecord;
using testing::kOleDate;
using testing::Put16;
using testing::Put64;

TEST(Sp3Record, ReadsTheLayoutAndTheWriterProducesItByteForByte) {
  const Bytes bytes = HandBuiltRecord();
  std::string error;
  const auto record = DecodeSp3Record(bytes, error);
  ASSERT_TRUE(record) << error;
  EXPECT_EQ(record->traces[2].Points()[0], 102);
  EXPECT_EQ(record->traces[2].Points()[500], -5);
  EXPECT_EQ(record->traces[1].Colour(), 0x00FF8001u);
  EXPECT_EQ(record->refUnit, "dBm  ");
  EXPECT_EQ(record->span, "2999.85MHz     ");
  EXPECT_EQ(record->sweepTime, "1.2 Sec");
  EXPECT_EQ(record->freqCenter, 1500.075);

  // The window state that gives the same record goes through the writer.
  AnalyzerSettings s;
  s.RefLevel = -20.5f;
  s.RefUnit = "dBm";
  s.Scale = 10.4f;
  s.FreqStart = 0.15;
  s.FreqCenter = 1500.075;
  s.FreqStop = 3000;
  s.Span = "2999.85MHz";
  s.RBW = "120KHz";
  s.VBW = "1MHz";
  s.SweepTime = "1.2 Sec";
  EXPECT_EQ(EncodeSp3Record(MakeSp3Record(record->traces, s, kOleDate)), bytes);

  std::array<RawTrace, 3> traces{};
  AnalyzerSettings shown;
  ApplySp3Record(*record, traces, shown);
  EXPECT_EQ(shown.TimeStamp, "2008/03/07 14:05:09");
}

TEST(Sp3Record, FixedTextsAreCutAndTheSweepTimeKeptInsideTheSlot) {
  AnalyzerSettings s;
  s.RefUnit = "dBuVolt";
  s.SweepTime = std::string(80, 'x');
  const Sp3Record r = MakeSp3Record(std::array<RawTrace, 3>{}, s, 0);
  EXPECT_EQ(r.refUnit, "dBuVo");
  EXPECT_EQ(EncodeSp3Record(r).size(), kSp3SlotBytes);
}

TEST(Sp3Record, DamagedRecordsAreRefusedWithTheReason) {
  std::string error;
  Bytes cut = HandBuiltRecord();
  cut.resize(3112);  // the date is cut off
  EXPECT_FALSE(DecodeSp3Record(cut, error));
  EXPECT_NE(error.find("3117"), std::string::npos);

  Bytes longSweep = HandBuiltRecord();
  longSweep.resize(kSp3SlotBytes);
  Put16(longSweep, 3100, 65535);
  EXPECT_FALSE(DecodeSp3Record(longSweep, error));

  // Numbers that are not numbers still read, and give no time stamp.
  Bytes odd = HandBuiltRecord();
  Put64(odd, 3041, std::bit_cast<std::uint64_t>(std::numeric_limits<double>::quiet_NaN()));
  Put64(odd, 3109, std::bit_cast<std::uint64_t>(std::numeric_limits<double>::infinity()));
  const auto record = DecodeSp3Record(odd, error);
  ASSERT_TRUE(record);
  std::array<RawTrace, 3> traces{};
  AnalyzerSettings shown;
  ApplySp3Record(*record, traces, shown);
  EXPECT_EQ(shown.TimeStamp, "");
}

TEST(Sp3File, CountsRecordsByLengthRoundedHalfToEven) {
  const std::pair<std::uint64_t, std::uint64_t> cases[] = {
      {0, 0}, {1579, 0}, {1580, 0}, {1581, 1}, {3117, 1},
      {3160 + 1580, 2}, {2 * 3160 + 1580, 2}, {4 * 3160 + 3117, 5}};
  for (const auto& [length, count] : cases) {
    EXPECT_EQ(Sp3RecordCount(length), count) << length;
  }
}

TEST(Sp3File, WritesRecordKAtItsSlotAndReadsAnyRecordBack) {
  MemoryRecordStore store;
  const Bytes one = HandBuiltRecord();
  std::string error;
  const Sp3Record record = *DecodeSp3Record(one, error);
  for (std::uint64_t k = 1; k <= 5; ++k) {
    ASSERT_TRUE(WriteSp3Record(store, "r.sp3", k, record, error));
  }
  EXPECT_EQ(store.files["r.sp3"].size(), 4 * 3160 + 3117u);
  EXPECT_EQ(CountSp3Records(store, "r.sp3"), 5u);
  const auto fifth = ReadSp3Record(store, "r.sp3", 5, error);
  ASSERT_TRUE(fifth) << error;
  EXPECT_EQ(EncodeSp3Record(*fifth), one);

  // A record torn by a crash is not counted; the ones before it still play.
  store.files["r.sp3"].resize(4 * 3160 + 2000);
  EXPECT_EQ(CountSp3Records(store, "r.sp3"), 4u);
  EXPECT_EQ(CountSp3Records(store, "missing.sp3"), 0u);
  EXPECT_FALSE(store.Size("missing.sp3"));
}

TEST(Sp3File, PlayersAcceptSp3InAnyCaseOnly) {
  EXPECT_TRUE(IsRecordingFileName("/rec/x.SP3"));
  EXPECT_TRUE(IsRecordingFileName(" x.sp3 "));
  EXPECT_FALSE(IsRecordingFileName("x.sp"));
}

}  // namespace
}  // namespace vantrel

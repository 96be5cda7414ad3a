#include "commands/trace_block.h"

#include <gtest/gtest.h>

#include "commands/io_message_log.h"
#include "trace_bytes.h"

namespace vantrel::testing {
namespace {

TEST(TraceBlock, GpibFramingShortBlocksAndRecordLayout) {
  std::vector<RawTrace> traces(4);
  traces[3].Points()[0] = 55;  // a fourth record is left alone
  auto block = AllTracesBlock({0x81, 0x00, 0x4F}, {Ramp(10), Ramp(20)}, true);
  EXPECT_EQ(block.size(), 6u + 2u * 1002u);
  EXPECT_EQ(CountPresentTraces(block, TraceFraming::Gpib), 2);
  EXPECT_TRUE(DecodeTraceBlock(block, TraceFraming::Gpib, traces));
  EXPECT_EQ(traces[0].Mode(), 2);
  EXPECT_EQ(traces[2].Mode(), 1);
  EXPECT_EQ(traces[2].Points()[500], 20);
  EXPECT_EQ(traces[3].Points()[0], 55);

  // A header cut short: the missing status reads absent, the check fails.
  std::vector<std::uint8_t> shortHeader(block.begin(), block.begin() + 3);
  EXPECT_EQ(CountPresentTraces(shortHeader, TraceFraming::Gpib), 1);
  EXPECT_FALSE(DecodeTraceBlock(shortHeader, TraceFraming::Gpib, traces));
  EXPECT_EQ(traces[0].Points()[0], 0);
  EXPECT_FALSE(DecodeTraceBlock({}, TraceFraming::SerialUsb, traces));
  EXPECT_FALSE(traces[1].Valid());

  RawTrace r;
  r.SetColour(0x00C0FFEE);
  EXPECT_EQ(r.words[RawTrace::kColourLowWord], static_cast<std::int16_t>(0xFFEE));
  EXPECT_EQ(r.words[RawTrace::kColourHighWord], 0x00C0);
  EXPECT_EQ(r.Colour(), 0x00C0FFEEu);
  r.SetValid(true);
  EXPECT_EQ(r.words[RawTrace::kValidWord], -1);
}

TEST(IoMessageLog, LineLayouts) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 12; ++i) bytes.push_back(static_cast<std::uint8_t>(i == 11 ? 0xAB : i));
  std::string log;
  AppendSerialTraceLog(log, 1234, bytes);
  EXPECT_EQ(
      log,
      "1234 : Received Trace Data ==>\r\n0:\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\n10:\tA\tAB\t\r\n");

  log.clear();
  const std::uint8_t report[] = {0x0D, 0xFF, 0x00};
  AppendUsbReportLog(log, 7, 1, report);
  AppendUsbReportLog(log, 8, 2, report);
  EXPECT_EQ(log, "7 : Received Trace Data ==>\r\n7 封包 1 :   D FF  0\r\n8 封包 2 :   D FF  0\r\n");

  log.clear();
  AppendRetryLog(log, 9, 3);
  AppendGiveUpLog(log, 10);
  EXPECT_EQ(log, "9 : 讀回資料有誤，再讀第3次\r\n10 : 最後讀回資料仍有誤!!!\r\n");
}

}  // namespace
}  // namespace vantrel::testing

// Live trace blocks, stored traces and limit lines as the analyzer sends them.
#include <gtest/gtest.h>

#include <vector>

#include "link/byte_codec.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_faults.h"
#include "sim_test_helpers.h"
#include "util/numbers.h"

namespace vantrel::sim {
namespace {

using testing::Ask;
using testing::BlockSize;

std::vector<std::uint8_t> Block(AnalyzerModel& model, const char* query, Framing framing) {
  auto reply = model.Execute(query, framing);
  return reply ? reply->bytes : std::vector<std::uint8_t>{};
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (true) {
    const auto comma = text.find(',', from);
    out.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
    if (comma == std::string::npos) return out;
    from = comma + 1;
  }
}

class TransferTest : public ::testing::Test {
 protected:
  VirtualClock clock;
  AnalyzerModel model{clock};
};

TEST_F(TransferTest, LiveBlocksHaveTheFramingOfEachTransport) {
  EXPECT_EQ(BlockSize(model, "meas:tra:read all?", Framing::Serial), 3u * 1503 + 9);
  EXPECT_EQ(BlockSize(model, "meas:tra:read all?", Framing::Usb), 3u * 1503 + 9);
  EXPECT_EQ(BlockSize(model, "meas:tra:read all?", Framing::Gpib), 3u * 1002 + 6);
  EXPECT_EQ(BlockSize(model, "meas:tra:read 1?", Framing::Serial), 1503u);
  EXPECT_EQ(BlockSize(model, "meas:tra:read 1?", Framing::Gpib), 1002u);

  const auto serial = Block(model, "meas:tra:read all?", Framing::Serial);
  for (int g = 0; g < 3; ++g) {
    EXPECT_EQ(serial[3 * g + 2], 13) << g;  // check bytes
    const int status = serial[3 * g + 1];
    EXPECT_EQ(status >> 6, g);  // modes 0, 1, 2
    EXPECT_TRUE((status & 0x0F) != 0 && (status & 0x0F) != 5);
  }
  for (int k = 0; k < 3 * 501; ++k) {
    ASSERT_EQ(serial[9 + 3 * k + 2], 13) << k;  // every point ends in CR
    const int value = ByteToInt(serial[9 + 3 * k], serial[9 + 3 * k + 1]);
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 1023);
  }
  const auto gpib = Block(model, "meas:tra:read all?", Framing::Gpib);
  EXPECT_EQ(gpib[0], 0);
  EXPECT_EQ(gpib[2], 0);
  EXPECT_EQ(gpib[4], 0);
  EXPECT_EQ(gpib[3] >> 6, 1);

  // The 100 MHz tone at point 17 shows in trace 1 of both framings alike.
  model.Scene() = SignalScene::Quiet();
  model.Scene().tones = {{100e6, -20}};
  const auto s = Block(model, "meas:tra:read all?", Framing::Serial);
  const auto g = Block(model, "meas:tra:read all?", Framing::Gpib);
  EXPECT_EQ(ByteToInt(s[9 + 3 * 17], s[9 + 3 * 17 + 1]),
            ByteToInt(g[6 + 2 * 17], g[6 + 2 * 17 + 1]));
  EXPECT_GT(ByteToInt(s[9 + 3 * 17], s[9 + 3 * 17 + 1]), 700);
  const auto one = Block(model, "meas:tra:read 1?", Framing::Serial);
  EXPECT_GT(ByteToInt(one[3 * 17], one[3 * 17 + 1]), 700);
}

TEST_F(TransferTest, TracePresenceFaultsChangeHeaderAndSize) {
  model.Faults().onlyTrace2 = true;
  const auto serial = Block(model, "meas:tra:read all?", Framing::Serial);
  ASSERT_EQ(serial.size(), 1512u);
  EXPECT_EQ(serial[1] & 0x0F, 0);
  EXPECT_NE(serial[4] & 0x0F, 0);
  EXPECT_EQ(serial[7] & 0x0F, 0);
  EXPECT_EQ(BlockSize(model, "meas:tra:read all?", Framing::Gpib), 1008u);
  EXPECT_EQ(BlockSize(model, "meas:tra:read all?", Framing::Usb), 1512u);

  model.Faults().onlyTrace2 = false;
  ASSERT_EQ(ApplyFaultOption(model, "status-bytes=0xC5,0xC1,-"), "");
  const auto b = Block(model, "meas:tra:read all?", Framing::Serial);
  EXPECT_EQ(b[1], 0xC5);  // low bits 5: absent
  EXPECT_EQ(b[4], 0xC1);  // present, mode 3
  EXPECT_EQ(b.size(), 2u * 1503 + 9);

  model.State().live[2].present = false;
  EXPECT_EQ(BlockSize(model, "meas:tra:read all?", Framing::Serial), 1503u + 9);
}

TEST_F(TransferTest, DataFaultsLastForTheirCount) {
  model.Faults().badCheckBytes = 2;
  for (int read = 0; read < 3; ++read) {
    const auto s = Block(model, "meas:tra:read all?", Framing::Serial);
    const bool good = s[2] == 13 && s[5] == 13 && s[8] == 13;
    EXPECT_EQ(good, read == 2) << read;
  }
  model.Faults().badCheckBytes = 1;
  const auto g = Block(model, "meas:tra:read all?", Framing::Gpib);
  EXPECT_FALSE(g[0] == 0 && g[2] == 0 && g[4] == 0);

  ASSERT_EQ(ApplyFaultOption(model, "point-0400=10"), "");
  const auto s = Block(model, "meas:tra:read all?", Framing::Serial);
  EXPECT_EQ(ByteToInt(s[9 + 30], s[9 + 31]), 0x0400);
  const auto one = Block(model, "meas:tra:read 1?", Framing::Gpib);
  EXPECT_EQ(ByteToInt(one[20], one[21]), 0x0400);
}

TEST_F(TransferTest, StoredTracesComeAsBracedText) {
  model.Execute("meas:tra:switch:stored 1", Framing::Serial);
  const std::string first = Ask(model, "MEAS:TRA:READ?");
  ASSERT_EQ(first.front(), '{');
  ASSERT_EQ(first.back(), '}');
  const auto fields = SplitCommas(first.substr(1, first.size() - 2));
  ASSERT_EQ(fields.size(), 501u);
  double sum = 0;
  for (const auto& f : fields) {
    ASSERT_TRUE(IsNumeric(f)) << f;
    sum += NumericValue(f);
  }
  EXPECT_GT(sum, 0);  // slot 1 holds a trace at power-on

  model.Execute("meas:tra:switch:stored 50", Framing::Serial);
  const std::string empty = Ask(model, "MEAS:TRA:READ?");
  EXPECT_EQ(empty.substr(0, 7), "{0,0,0,");

  ASSERT_EQ(ApplyFaultOption(model, "stored-65535=7"), "");
  model.Execute("MEAS:TRA:SWITCH:STORED 7", Framing::Serial);
  EXPECT_EQ(Ask(model, "MEAS:TRA:READ?").substr(0, 14), "{65535,1,2,0,0");

  model.Execute("MEAS:TRA:SWITCH:STORED 101", Framing::Serial);  // out of range: kept
  EXPECT_EQ(model.State().selectedStoredSlot, 7);
  model.Execute("MEAS:TRA:STORE 50", Framing::Serial);  // trace 1 into slot 50
  model.Execute("MEAS:TRA:SWITCH:STORED 50", Framing::Serial);
  EXPECT_NE(Ask(model, "MEAS:TRA:READ?").substr(0, 7), "{0,0,0,");
}

TEST_F(TransferTest, LimitLinesComeAsCountAndPairs) {
  const auto upper = SplitCommas(Ask(model, "MEAS:LMTLINE 1?"));
  const int n = static_cast<int>(NumericValue(upper[0]));
  ASSERT_GT(n, 0);
  ASSERT_EQ(upper.size(), static_cast<std::size_t>(2 * n + 1));
  EXPECT_DOUBLE_EQ(NumericValue(upper[1]), 0);             // from 0 MHz
  EXPECT_DOUBLE_EQ(NumericValue(upper[2 * n - 1]), 3000);  // to 3000 MHz
  for (int j = 1; j < n; ++j) {
    EXPECT_GE(NumericValue(upper[2 * j + 1]), NumericValue(upper[2 * j - 1]));
  }
  const auto lower = SplitCommas(Ask(model, "meas:lmtline 0?"));
  ASSERT_EQ(lower.size(), 5u);
  EXPECT_EQ(lower[2], "-75");
  model.Execute("MEAS:REFL:UNIT 3", Framing::Serial);  // levels in the current unit
  EXPECT_EQ(SplitCommas(Ask(model, "MEAS:LMTLINE 0?"))[2], "32");

  model.Faults().shortLimitLines = 1;
  EXPECT_EQ(SplitCommas(Ask(model, "MEAS:LMTLINE 0?")).size(), 4u);
  EXPECT_EQ(SplitCommas(Ask(model, "MEAS:LMTLINE 0?")).size(), 5u);
  model.State().upperLimit.clear();
  EXPECT_EQ(Ask(model, "MEAS:LMTLINE 1?"), "0");
}

TEST_F(TransferTest, AnswerFaultsShapeTheTextAnswers) {
  ASSERT_EQ(ApplyFaultOption(model, "bare-numbers=2"), "");
  ASSERT_EQ(ApplyFaultOption(model, "bare-numbers-query=MEAS:FREQ:ST?"), "");
  EXPECT_EQ(Ask(model, "MEAS:FREQ:STP?"), "3000000 kHz");  // other queries keep units
  EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), "0");
  EXPECT_EQ(Ask(model, "meas:freq:st?"), "0");
  EXPECT_EQ(Ask(model, "MEAS:FREQ:ST?"), "0 kHz");
  model.Faults().bareNumbersQuery.clear();
  model.Faults().bareNumbers = 2;
  EXPECT_EQ(Ask(model, "CON:RBW?"), "8");  // no unit: does not count
  EXPECT_EQ(Ask(model, "MEAS:SPAN?"), "3000000");
  EXPECT_EQ(Ask(model, "CON:SWT?"), "10");
  EXPECT_EQ(Ask(model, "MEAS:SPAN?"), "3000000kHz");

  ASSERT_EQ(ApplyFaultOption(model, "rbw-index=9"), "");
  EXPECT_EQ(Ask(model, "CON:RBW?"), "9");
  EXPECT_EQ(Ask(model, "CON:RBW?"), "9");
  model.Faults().overrides["MEAS:TRA:DET?"] = {"7", 1};
  EXPECT_EQ(Ask(model, "MEAS:TRA:DET?"), "7");
  EXPECT_EQ(Ask(model, "MEAS:TRA:DET?"), "1");

  model.Faults().dropAnswers = 1;
  EXPECT_EQ(Ask(model, "*IDN?"), "<none>");
  EXPECT_NE(Ask(model, "*IDN?"), "<none>");

  model.Faults().garbageAnswers = 1;
  auto garbage = model.Execute("*IDN?", Framing::Serial);
  ASSERT_TRUE(garbage);
  EXPECT_EQ(garbage->bytes.back(), 13);  // still one line
  const std::string text(garbage->bytes.begin(), garbage->bytes.end() - 1);
  EXPECT_EQ(text.find("3GHz"), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);

  model.Faults().answerDelayMs = 250;
  auto late = model.Execute("*IDN?", Framing::Serial);
  ASSERT_TRUE(late);
  EXPECT_EQ(late->delayMs, 250);
}

TEST_F(TransferTest, LinksGoSilentOrVanishAfterTheirCount) {
  ASSERT_EQ(ApplyFaultOption(model, "silent-after=2"), "");
  EXPECT_NE(Ask(model, "*IDN?"), "<none>");
  EXPECT_NE(Ask(model, "*IDN?"), "<none>");
  EXPECT_EQ(Ask(model, "*IDN?"), "<none>");
  EXPECT_TRUE(model.Faults().silent);
  EXPECT_EQ(Ask(model, "MEAS:SPAN?"), "<none>");

  ASSERT_EQ(ApplyFaultOption(model, "reset"), "");
  EXPECT_FALSE(model.Faults().silent);
  EXPECT_NE(Ask(model, "*IDN?"), "<none>");
  ASSERT_EQ(ApplyFaultOption(model, "vanish-after=1"), "");
  EXPECT_NE(Ask(model, "*IDN?"), "<none>");
  EXPECT_EQ(Ask(model, "*IDN?"), "<none>");
  EXPECT_TRUE(model.Faults().vanished);

  // Options that do not parse are refused with a reason, and change nothing.
  EXPECT_NE(ApplyFaultOption(model, "drop-answers=many"), "");
  EXPECT_NE(ApplyFaultOption(model, "status-bytes=0x1,0x2"), "");
  EXPECT_NE(ApplyFaultOption(model, "point-0400=501"), "");
  EXPECT_NE(ApplyFaultOption(model, "no-such-fault"), "");
  EXPECT_EQ(model.Faults().dropAnswers, 0);
  // A negative count holds from now on, like the other answer counts.
  ASSERT_EQ(ApplyFaultOption(model, "reset"), "");
  ASSERT_EQ(ApplyFaultOption(model, "drop-answers=-1"), "");
  EXPECT_EQ(Ask(model, "*IDN?"), "<none>");
  EXPECT_EQ(Ask(model, "MEAS:SPAN?"), "<none>");
  EXPECT_NE(ApplyFaultOption(model, "drop-answers=-2"), "");
  EXPECT_EQ(ApplyFaultOption(model, "--only-trace2"), "");
  EXPECT_TRUE(model.Faults().onlyTrace2);
  EXPECT_EQ(ApplyFaultOption(model, "only-trace2=0"), "");
  EXPECT_FALSE(model.Faults().onlyTrace2);
}

}  // namespace
}  // namespace vantrel::sim

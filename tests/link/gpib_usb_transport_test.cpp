#include <gtest/gtest.h>

#include "link/byte_codec.h"
#include "link_fakes.h"

namespace vantrel::testing {
namespace {

TEST(GpibTransport, CommandsGetSemicolonQueriesGoOutTrimmedAndUnchanged) {
  Rig rig;
  rig.kind = ConnectionKind::Gpib;
  rig.transport.gpibHandle = 7;
  rig.transport.SendCMD("CON:RBW:MAN 3");
  rig.gpib.answers.push_back("-10.0 dBm\r\n");
  EXPECT_EQ(rig.transport.SendQuery("  MEAS:REFL? ", 200), "-10.0 dBm");
  EXPECT_EQ(rig.gpib.writes, (std::vector<std::string>{"CON:RBW:MAN 3;", "MEAS:REFL?"}));
  // The read waits for RQS or the time-out, polls, then reads a whole buffer.
  const std::vector<std::string> read(rig.gpib.calls.end() - 3, rig.gpib.calls.end());
  EXPECT_EQ(read, (std::vector<std::string>{"ibwait 7 18432", "ibrsp 7", "ibrd 7 4096"}));
  EXPECT_EQ(rig.transport.gpibStatusByte, kStbRqs | kStbMav);
  EXPECT_EQ(rig.clock.NowMs(), 0u);  // no settle wait on GPIB
}

TEST(GpibTransport, RawReadersAndTheAbortFlag) {
  Rig rig;
  rig.kind = ConnectionKind::Gpib;
  rig.gpib.answers.push_back("A\r\nB\r\n");
  EXPECT_EQ(rig.transport.ReadCOM(20).substr(0, 2), "AB");
  rig.gpib.answers.push_back(std::string("\x03\xFF\x80", 3));
  const std::vector<std::uint8_t> block = rig.transport.ReadGpibBlock();
  ASSERT_EQ(block.size(), 8194u);
  EXPECT_EQ(ByteToInt(block[0], block[1]), 1023);
  EXPECT_EQ(block[2], 0x80);
  EXPECT_EQ(block[3], 0);
  // A failed read leaves an empty answer and lets events run; no message.
  EXPECT_EQ(rig.transport.SendQuery("MEAS:REFL?", 200), "");
  EXPECT_EQ(rig.clock.EventRounds(), 1u);
  rig.gpib.answers.push_back("5\r");
  rig.transport.stopRequested = true;
  EXPECT_EQ(rig.transport.SendQuery("MEAS:REFL?", 200), "");
  EXPECT_TRUE(rig.notifier.messages.empty());
  // A library that cannot be loaded: commands raise, queries report and give "".
  rig.gpib.missing = true;
  EXPECT_THROW(rig.transport.SendCMD("*cls"), LinkError);
  EXPECT_EQ(rig.transport.SendQuery("*IDN?", 200), "");
  ASSERT_EQ(rig.notifier.messages.size(), 1u);
  EXPECT_EQ(rig.notifier.messages[0].icon, MessageIcon::Critical);
}

TEST(UsbTransport, ReportsCarryTrimmedCommandsAndAnswersSkipZeros) {
  Rig rig;
  rig.kind = ConnectionKind::Usb;
  auto& dev = rig.hid.Add("/dev/hidraw1");
  ASSERT_TRUE(rig.usb.Open("/dev/hidraw1"));
  rig.transport.SendCMD("  *cls ");
  dev.answers.push_back({'1', 0, '2', '.', 0, 0, '5', '\r', 0, 0});
  EXPECT_EQ(rig.transport.SendQuery("FREQ?", 200), "12.5");
  EXPECT_EQ(rig.clock.NowMs(), 200u);  // the settle wait comes before the read
  ASSERT_EQ(dev.written.size(), 2u);
  EXPECT_EQ(S(Bytes(dev.written[0].begin(), dev.written[0].begin() + 8)),
            std::string("\0*cls\n\0\0", 8));
  EXPECT_EQ(dev.written[1].size(), 65u);
  dev.answers.push_back(B("A\rB\r"));
  EXPECT_EQ(rig.transport.SendQuery("Q?", 20), "A B");
  // Nothing to read, or the user aborted: empty answers.
  EXPECT_EQ(rig.transport.SendQuery("Q?", 20), "");
  dev.answers.push_back(B("7\r"));
  rig.transport.stopRequested = true;
  EXPECT_EQ(rig.transport.SendQuery("Q?", 20), "");
  // The transport is chosen afresh at every call.
  rig.kind = ConnectionKind::Gpib;
  rig.transport.SendCMD("*cls");
  EXPECT_EQ(rig.gpib.writes, std::vector<std::string>{"*cls;"});
  EXPECT_EQ(dev.written.size(), 5u);
}

TEST(ByteCodec, SignedWordsFromHighAndLowBytes) {
  EXPECT_EQ(ByteToInt(0x03, 0xFF), 1023);
  EXPECT_EQ(ByteToInt(0xFF, 0xFF), -1);
  EXPECT_EQ(ByteToInt(0x80, 0x00), -32768);
  const auto bytes = IntToByteArray(-2);
  EXPECT_EQ(bytes[0], 0xFE);
  EXPECT_EQ(bytes[1], 0xFF);
  EXPECT_EQ(ByteToInt(bytes[1], bytes[0]), -2);
}

}  // namespace
}  // namespace vantrel::testing

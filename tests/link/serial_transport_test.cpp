#include <gtest/gtest.h>

#include "link_fakes.h"

namespace vantrel::testing {
namespace {

TEST(SerialTransport, AnswersLoseTheirCrAndJoinLines) {
  Rig rig;
  rig.serial.open = true;
  rig.serial.Arrive("1.5E+06\r", 50);
  EXPECT_EQ(rig.transport.ReadCOM(200), "1.5E+06");
  rig.serial.Arrive("A\rB\r");
  EXPECT_EQ(rig.transport.ReadCOM(20), "A\rB");
  rig.serial.onWrite = [&](const Bytes&) { rig.serial.Arrive("  A\rB\r", 10); };
  EXPECT_EQ(rig.transport.SendQuery("Q?", 20), "A B");
  // An answer split over two arrivals is joined; the poll waits for the CR.
  rig.serial.onWrite = [&](const Bytes&) {
    rig.serial.Arrive("1.5E", 100);
    rig.serial.Arrive("+06\r", 400);
  };
  EXPECT_EQ(rig.transport.SendQuery("FREQ?", 200), "1.5E+06");
}

TEST(SerialTransport, StaleBytesAreDroppedAndQueriesTrimmedButCommandsNot) {
  Rig rig;
  rig.serial.open = true;
  rig.serial.Arrive("-20.0 dBm\r");  // a late answer to an earlier query
  rig.serial.onWrite = [&](const Bytes&) { rig.serial.Arrive("V61\r", 30); };
  EXPECT_EQ(rig.transport.SendQuery("  *IDN? ", 200), "V61");
  rig.serial.onWrite = nullptr;
  rig.transport.SendCMD(" CON:RBW:MAN 3 ");
  ASSERT_EQ(rig.serial.writes.size(), 2u);
  EXPECT_EQ(S(rig.serial.writes[0]), "*IDN?\r");
  EXPECT_EQ(S(rig.serial.writes[1]), " CON:RBW:MAN 3 \r");
}

TEST(SerialTransport, SilenceTimesOutAfterTheLimitPlusOneMoreSettleWait) {
  for (std::uint32_t start : {0u, 0xFFFFFFFFu - 300u}) {  // also across the counter wrap
    Rig rig;
    rig.clock = VirtualClock(start);
    rig.serial.open = true;
    EXPECT_EQ(rig.transport.ReadCOM(200), "");
    const std::uint32_t took = rig.clock.NowMs() - start;
    EXPECT_GE(took, 1200u);
    EXPECT_LE(took, 1215u);
    // Polling sleeps between rounds: about one round per virtual millisecond.
    EXPECT_LE(rig.clock.EventRounds(), 900u);
  }
  Rig rig;
  rig.serial.open = true;
  EXPECT_EQ(rig.transport.ReadCOM(500), "");
  EXPECT_GE(rig.clock.NowMs(), 1500u);
  EXPECT_LE(rig.clock.NowMs(), 1515u);
}

TEST(SerialTransport, LateAnswerIsPickedUpBySecondPass) {
  Rig rig;
  rig.serial.open = true;
  rig.serial.Arrive("12\r", 1100);
  EXPECT_EQ(rig.transport.ReadCOM(200), "12");
}

TEST(SerialTransport, ClosedPortSendsNothingAndReadsNothingAtOnce) {
  Rig rig;
  rig.transport.SendCMD("*IDN?");
  EXPECT_EQ(rig.transport.SendQuery("*IDN?", 200), "");
  EXPECT_EQ(rig.transport.ReadCOM(200), "");
  EXPECT_TRUE(rig.serial.writes.empty());
  EXPECT_EQ(rig.clock.NowMs(), 0u);
  // A port closed by an event handler during the wait ends the read.
  rig.serial.open = true;
  rig.clock.onEvents = [&] { rig.serial.open = false; };
  EXPECT_EQ(rig.transport.ReadCOM(20), "");
  EXPECT_LE(rig.clock.NowMs(), 100u);
}

TEST(SerialTransport, QueryErrorsAreShownAndGiveEmptyText) {
  Rig rig;
  rig.serial.open = true;
  rig.serial.onWrite = [](const Bytes&) { throw LinkError("The port was removed."); };
  EXPECT_EQ(rig.transport.SendQuery("*IDN?", 200), "");
  ASSERT_EQ(rig.notifier.messages.size(), 1u);
  EXPECT_EQ(rig.notifier.messages[0].text, "The port was removed.");
  EXPECT_EQ(rig.notifier.messages[0].icon, MessageIcon::Critical);
  EXPECT_THROW(rig.transport.SendCMD("*cls"), LinkError);
}

}  // namespace
}  // namespace vantrel::testing

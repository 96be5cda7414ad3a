#include "link/connection_setup.h"

#include <gtest/gtest.h>

#include "link_fakes.h"

namespace vantrel::testing {
namespace {

// Cases that need exact control of the device; the normal flows run against the
// simulated analyzer (sim_connection_test.cpp).

TEST(ConnectScripted, IdentificationTextIsTestedUpperCased) {
  EXPECT_TRUE(ConnectionSetup::NamesAnalyzer("acme sa-v61 analyzer"));
  EXPECT_TRUE(ConnectionSetup::NamesAnalyzer("portable 3ghz"));
  EXPECT_FALSE(ConnectionSetup::NamesAnalyzer("3 GHz V6"));
  Rig rig;  // lower case from the instrument is accepted at the retries too
  rig.serial.onWrite = [&](const Bytes&) {
    if (rig.serial.settings == "115200,N,8,1") rig.serial.Arrive("acme v61\r", 40);
  };
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
}

TEST(ConnectScripted, PortNumberIsRoundedHalfEvenAndGarbageNeverIdentifies) {
  Rig rig;
  rig.setup.portText = " 3.5";
  rig.serial.onWrite = [&](const Bytes&) { rig.serial.Arrive(std::string("\xFF\0\x13zz\r", 6)); };
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.serial.number, 4);
  EXPECT_EQ(rig.serial.bufferSize, 8192);
  EXPECT_FALSE(rig.serial.open);
  EXPECT_EQ(rig.serial.writes.size(), 5u);  // two setting probes, three retries
  rig.setup.portText = "0";                 // no port at all: nothing opened, still a clean failure
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.serial.writes.size(), 5u);
  EXPECT_EQ(rig.notifier.messages.back().text, "Communication Error!");
}

TEST(ConnectScripted, UsbDeviceGoneBetweenEnumerationAndOpen) {
  Rig rig;
  rig.kind = ConnectionKind::Usb;
  rig.hid.Add("/dev/hidraw0").opens = 1;  // the probe opens it, the connect cannot
  rig.hid.devices[0].answers = {B("V61\r")};
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.notifier.messages.back().text, "Communication Error!");
  EXPECT_FALSE(rig.usb.IsOpen());
}

}  // namespace
}  // namespace vantrel::testing

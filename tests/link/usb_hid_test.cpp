#include <gtest/gtest.h>

#include "link_fakes.h"

namespace vantrel::testing {
namespace {

TEST(UsbHid, FindsAnalyzersInOrderWithTheSecondOnesLengths) {
  Rig rig;
  rig.hid.Add("/dev/hidraw0", 0x0B28);  // same maker, another product
  rig.hid.Add("/dev/hidraw1").lengths = {65, 65, 65};
  rig.hid.Add("/dev/hidraw2").info.vendorId = 0x046D;  // another maker
  rig.hid.Add("/dev/hidraw3").opens = 0;               // yields no attributes
  rig.hid.Add("/dev/hidraw4").lengths = {33, 17, 129};
  std::vector<std::string> paths;
  EXPECT_TRUE(rig.usb.HidFindDevices(paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"/dev/hidraw1", "/dev/hidraw4"}));
  EXPECT_EQ(rig.usb.InputReportLength(), 33);
  EXPECT_EQ(rig.usb.OutputReportLength(), 17);
  EXPECT_EQ(rig.usb.FeatureReportLength(), 129);
  EXPECT_FALSE(rig.usb.IsOpen());  // probing leaves no handle behind
  rig.hid.devices.clear();
  paths.clear();
  EXPECT_FALSE(rig.usb.HidFindDevices(paths));
  EXPECT_TRUE(paths.empty());
}

TEST(UsbHid, CommandsFillTheOutputReportOrAreRefusedWhole) {
  Rig rig;
  auto& dev = rig.hid.Add("/dev/hidraw1");
  dev.lengths = {9, 9, 9};
  std::vector<std::string> paths;
  ASSERT_TRUE(rig.usb.HidFindDevices(paths));
  ASSERT_TRUE(rig.usb.Open(paths[0]));
  rig.usb.HidWriteCommand("ABCDEF");  // exactly length - 3
  ASSERT_EQ(rig.hid.devices[0].written.size(), 1u);
  EXPECT_EQ(S(rig.hid.devices[0].written[0]), std::string("\0ABCDEF\n\0", 9));
  EXPECT_THROW(rig.usb.HidWriteCommand("ABCDEFG"), LinkError);
  EXPECT_EQ(rig.hid.devices[0].written.size(), 1u);
}

TEST(UsbHid, UnknownLengthsFallBackTo65BytesAndSaySo) {
  Rig rig;
  rig.hid.Add("/dev/hidraw1").lengths = {0, 0, 0};
  ASSERT_TRUE(rig.usb.Open("/dev/hidraw1"));
  rig.usb.HidReadCaps();
  EXPECT_EQ(rig.usb.OutputReportLength(), 65);
  EXPECT_EQ(rig.usb.FeatureReportLength(), 65);
  ASSERT_EQ(rig.notifier.statuses.size(), 1u);
  EXPECT_NE(rig.notifier.statuses[0].find("65 bytes"), std::string::npos);
}

TEST(UsbHid, VanishedDevicesAndFailedReadsGiveEmptyReports) {
  Rig rig;
  rig.hid.Add("/dev/hidraw1").answers.push_back(B("V61\r"));
  ASSERT_TRUE(rig.usb.Open("/dev/hidraw1"));
  rig.hid.devices.clear();  // unplugged after opening
  rig.usb.HidWriteCommand("*IDN?");
  EXPECT_EQ(rig.usb.HidReadReport(), Bytes(65, 0));
  EXPECT_EQ(rig.usb.LastResult(), -1);
  EXPECT_FALSE(rig.usb.Open("/dev/hidraw1"));
  EXPECT_EQ(rig.usb.HidReadReport(), Bytes(65, 0));
  // A read asks with ID byte 0 in a report of the feature length.
  auto& dev = rig.hid.Add("/dev/hidraw2");
  ASSERT_TRUE(rig.usb.Open("/dev/hidraw2"));
  EXPECT_EQ(rig.usb.HidReadReport(), Bytes(65, 0));
  ASSERT_EQ(dev.readRequests.size(), 1u);
  EXPECT_EQ(dev.readRequests[0], Bytes(65, 0));
  rig.usb.HidClose();
  EXPECT_FALSE(rig.usb.IsOpen());
}

}  // namespace
}  // namespace vantrel::testing

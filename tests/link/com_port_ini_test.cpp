#include "link/com_port_ini.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantrel {
namespace {

TEST(ComPortsIni, UsableLinesInFileOrder) {
  const std::string ini =
      "; serial ports\r\n"
      "COM1=/tmp/vantrel-link\r\n"
      "  com10 = /dev/ttyUSB0  \n"
      "COMX=/dev/bad\n"
      "COM4=\n"
      "COM-2=/dev/bad\n"
      "COM+3=/dev/bad\n"
      "COM 5=/dev/bad\n"
      "[section]\n"
      "COM007=/dev/ttyACM0";
  EXPECT_EQ(ParseComPortsIni(ini), (std::vector<ComPortLine>{{1, "/tmp/vantrel-link"},
                                                             {10, "/dev/ttyUSB0"},
                                                             {7, "/dev/ttyACM0"}}));
  EXPECT_EQ(ComPortDeviceFromIni(ini, 1), "/tmp/vantrel-link");
  EXPECT_EQ(ComPortDeviceFromIni(ini, 10), "/dev/ttyUSB0");
  EXPECT_EQ(ComPortDeviceFromIni(ini, 7), "/dev/ttyACM0");
  EXPECT_FALSE(ComPortDeviceFromIni(ini, 4));  // empty device
  EXPECT_FALSE(ComPortDeviceFromIni(ini, 2));
  EXPECT_FALSE(ComPortDeviceFromIni("", 1));
}

TEST(ComPortsIni, TheFirstLineOfANumberWins) {
  EXPECT_EQ(ComPortDeviceFromIni("COM2=/dev/a\nCOM2=/dev/b\n", 2), "/dev/a");
}

// A port number that does not fit an int was cast from a double: undefined behaviour,
// and on x86-64 the line came out as port -2147483648.
TEST(ComPortsIni, ANumberTooLongForAnIntSkipsTheLine) {
  constexpr int kMin = std::numeric_limits<int>::min();
  constexpr int kMax = std::numeric_limits<int>::max();
  EXPECT_TRUE(ParseComPortsIni("COM2201000000=/dev/bad\n").empty());
  EXPECT_FALSE(ComPortDeviceFromIni("COM2201000000=/dev/bad\n", kMin));
  EXPECT_TRUE(ParseComPortsIni("COM99999999999999999999999999999999=/dev/bad").empty());
  EXPECT_TRUE(ParseComPortsIni("COM2147483648=/dev/bad").empty());
  EXPECT_EQ(ParseComPortsIni("COM2147483647=/dev/last\nCOM3=/dev/three"),
            (std::vector<ComPortLine>{{kMax, "/dev/last"}, {3, "/dev/three"}}));
  EXPECT_EQ(ComPortDeviceFromIni("COM00000000000000000000000000000003=/dev/three", 3),
            "/dev/three");
}

}  // namespace
}  // namespace vantrel

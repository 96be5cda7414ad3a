#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>
#include <fstream>

#include "link/link_error.h"
#include "platform/com_port_map.h"
#include "platform/qt_serial_port.h"
#include "platform/serial_settings.h"

#ifdef __unix__
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vantrel {
namespace {

TEST(ComPortMap, LinesMapNumbersAndOthersFallBackToTtyS) {
#ifdef _WIN32
  EXPECT_EQ(MapComPortFromText(3, "COM3=/dev/whatever"), "COM3");
#else
  const std::string ini =
      "; serial ports\r\n"
      "COM1=/tmp/vantrel-link\r\n"
      "  com10 = /dev/ttyUSB0  \n"
      "COMX=/dev/bad\n"
      "COM4=\n"
      "[section]\n";
  EXPECT_EQ(MapComPortFromText(1, ini), "/tmp/vantrel-link");
  EXPECT_EQ(MapComPortFromText(10, ini), "/dev/ttyUSB0");  // not taken for COM1
  EXPECT_EQ(MapComPortFromText(2, ini), "/dev/ttyS1");
  EXPECT_EQ(MapComPortFromText(4, ini), "/dev/ttyS3");  // empty device: default
  EXPECT_EQ(MapComPortFromText(16, ""), "/dev/ttyS15");

  QTemporaryDir dir;
  const std::string path = dir.filePath("ComPorts.ini").toStdString();
  EXPECT_EQ(MapComPort(1, path), "/dev/ttyS0");  // no file yet
  std::ofstream(path) << "COM1=/dev/pts/42\n";
  EXPECT_EQ(MapComPort(1, path), "/dev/pts/42");
  QtSerialPort port(path);
  port.SetPortNumber(1);
  EXPECT_EQ(port.DevicePath(), "/dev/pts/42");
  port.SetPortNumber(3);
  EXPECT_EQ(port.DevicePath(), "/dev/ttyS2");
#endif
}

TEST(SerialSettings, ParsesValidTextsAndRejectsOthers) {
  const SerialSettings s = ParseSerialSettings("115200,N,8,1");
  EXPECT_EQ(s.baud, 115200);
  EXPECT_EQ(s.parity, 'N');
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.stopTenths, 10);
  const SerialSettings t = ParseSerialSettings(" 57600 , e , 7 , 1.5 ");
  EXPECT_EQ(t.baud, 57600);
  EXPECT_EQ(t.parity, 'E');
  EXPECT_EQ(t.dataBits, 7);
  EXPECT_EQ(t.stopTenths, 15);
  EXPECT_EQ(ParseSerialSettings("9600,S,5,2").stopTenths, 20);

  for (const char* bad :
       {"", "115200", "115200,N,8", "115200,N,8,1,0", "fast,N,8,1", "115200x,N,8,1", "-9600,N,8,1",
        "0,N,8,1", "115200,X,8,1", "115200,NN,8,1", "115200,N,9,1", "115200,N,4,1", "115200,N,8,3",
        "115200,N,8,"}) {
    EXPECT_THROW(ParseSerialSettings(bad), LinkError) << bad;
  }
  try {
    ParseSerialSettings("115200,Q,8,1");
    FAIL() << "no error";
  } catch (const LinkError& e) {
    EXPECT_NE(std::string(e.what()).find("115200,Q,8,1"), std::string::npos);
  }

  QtSerialPort port("/nonexistent/ComPorts.ini");
  port.SetSettings("57600,N,8,1");
  EXPECT_THROW(port.SetSettings("57600;N;8;1"), LinkError);
  EXPECT_EQ(port.Settings(), "57600,N,8,1");  // a rejected text changes nothing
}

TEST(QtSerialPort, MissingDeviceGivesAClearErrorAndStaysClosed) {
  QTemporaryDir dir;
  const std::string ini = dir.filePath("ComPorts.ini").toStdString();
  const std::string device = dir.filePath("no-such-device").toStdString();
  std::ofstream(ini) << "COM5=" << device << "\n";
  QtSerialPort port(ini);
  port.SetPortNumber(5);
  try {
    port.Open();
    FAIL() << "opened a missing device";
  } catch (const LinkError& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find("COM5"), std::string::npos) << text;
    EXPECT_NE(text.find(device), std::string::npos) << text;
    EXPECT_NE(text.find("does not exist"), std::string::npos) << text;
  }
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.BytesWaiting(), 0);
  EXPECT_TRUE(port.ReadAll().empty());
  port.Write({'x'});  // a closed port takes nothing and does not fail
}

#ifdef __unix__
// A pseudo-terminal pair: the test holds the controller side, the port opens the other.
class PtyPair {
 public:
  PtyPair() {
    controller = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller >= 0 && grantpt(controller) == 0 && unlockpt(controller) == 0) {
      device = ptsname(controller);
      termios raw{};
      tcgetattr(controller, &raw);
      cfmakeraw(&raw);
      fcntl(controller, F_SETFL, O_NONBLOCK);
      tcsetattr(controller, TCSANOW, &raw);
    }
  }
  ~PtyPair() {
    if (controller >= 0) close(controller);
  }
  int controller = -1;
  std::string device;
};

TEST(QtSerialPort, SeesBytesWithoutAnEventLoopAndWritesAtOnce) {
  PtyPair pty;
  ASSERT_FALSE(pty.device.empty());
  QTemporaryDir dir;
  const std::string ini = dir.filePath("ComPorts.ini").toStdString();
  std::ofstream(ini) << "COM2=" << pty.device << "\n";
  QtSerialPort port(ini);
  port.SetPortNumber(2);
  port.SetSettings("115200,N,8,1");
  port.SetReceiveBufferSize(8192);
  port.Open();
  ASSERT_TRUE(port.IsOpen());
  EXPECT_THROW(port.Open(), LinkError);  // already open

  const std::string answer = "V61\r";
  ASSERT_EQ(write(pty.controller, answer.data(), answer.size()),
            static_cast<ssize_t>(answer.size()));
  // No event loop runs: the port must look at the device itself. The pty hands the
  // bytes over at once; a few short rounds allow for the kernel's own delivery.
  int waiting = 0;
  for (int round = 0; round < 100 && waiting < 4; ++round) {
    waiting = port.BytesWaiting();
    if (waiting < 4) usleep(1000);
  }
  EXPECT_EQ(waiting, 4);
  const auto bytes = port.ReadAll();
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), answer);
  EXPECT_EQ(port.BytesWaiting(), 0);

  port.Write({'*', 'I', 'D', 'N', '?', '\r'});
  char buffer[16] = {};
  ssize_t got = 0;
  for (int round = 0; round < 100 && got < 6; ++round) {
    const ssize_t n = read(pty.controller, buffer + got, sizeof(buffer) - 1 - got);
    if (n > 0)
      got += n;
    else
      usleep(1000);
  }
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(got)), "*IDN?\r");

  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST(QtSerialPort, DeviceHangingUpWhileIdleClosesThePortAsLost) {
  auto pty = std::make_unique<PtyPair>();
  ASSERT_FALSE(pty->device.empty());
  QTemporaryDir dir;
  const std::string ini = dir.filePath("ComPorts.ini").toStdString();
  std::ofstream(ini) << "COM3=" << pty->device << "\n";
  QtSerialPort port(ini);
  port.SetPortNumber(3);
  port.SetSettings("115200,N,8,1");
  port.Open();
  ASSERT_TRUE(port.IsOpen());
  // Idle, with the event loop running: nothing happens while the other side is there.
  QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_FALSE(port.Lost());

  pty.reset();  // the other side hangs up: its read notifier fires with nothing to read
  for (int round = 0; round < 200 && port.IsOpen(); ++round) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_FALSE(port.IsOpen());
  EXPECT_TRUE(port.Lost());
  EXPECT_TRUE(port.ReadAll().empty());
}
#endif

}  // namespace
}  // namespace vantrel

// The vantrel-sim program on a real pseudo-terminal, opened the way a serial port is.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim/analyzer_model.h"
#include "sim/sim_faults.h"
#include "sim_process_helpers.h"

namespace vantrel::sim {
namespace {

using testing::Child;
using testing::ReadUntil;
using testing::Start;
using testing::WaitExit;

void SetBaud(int fd, speed_t speed) {
  termios t{};
  ASSERT_EQ(tcgetattr(fd, &t), 0);
  cfmakeraw(&t);
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);
  ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
  tcflush(fd, TCIOFLUSH);
}

TEST(VantrelSimProgram, AnswersOnThePtyOnlyAtItsBaudRate) {
  char dir[] = "/tmp/vantrel-sim-test-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string link = std::string(dir) + "/LINK";
  Child sim = Start({"--serial", link});
  EXPECT_EQ(ReadUntil(sim.out, '\n', 5000), "ready " + link + "\n");

  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  SetBaud(fd, B115200);
  ASSERT_EQ(write(fd, "*IDN?\r", 6), 6);
  EXPECT_EQ(ReadUntil(fd, '\r', 2000), std::string(kIdentification) + "\r");

  // Binary blocks pass untouched (CR stays CR, nothing echoed), at the line rate:
  // 4518 bytes of 10 bits at 115200 baud cannot all be there before 392 ms.
  ASSERT_EQ(write(fd, "meas:tra:read all?\r", 19), 19);
  const auto asked = std::chrono::steady_clock::now();
  std::string block;
  for (int i = 0; i < 2000 && block.size() < 4518; ++i) block += ReadUntil(fd, '\0', 20);
  const auto took = std::chrono::steady_clock::now() - asked;
  ASSERT_EQ(block.size(), 4518u);
  EXPECT_GE(took, std::chrono::milliseconds(380));
  EXPECT_EQ(block[2], '\r');
  EXPECT_EQ(block[8], '\r');

  SetBaud(fd, B57600);
  ASSERT_EQ(write(fd, "*IDN?\r", 6), 6);
  EXPECT_EQ(ReadUntil(fd, '\r', 300), "");
  close(fd);

  kill(sim.pid, SIGTERM);
  EXPECT_EQ(WaitExit(sim.pid), 0);
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0);  // the link is gone
  close(sim.out);
  close(sim.err);
  rmdir(dir);
}

TEST(VantrelSimProgram, OlderModelAnswersItsDialectAt57600) {
  char dir[] = "/tmp/vantrel-sim-test-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string link = std::string(dir) + "/LINK";
  Child sim = Start({"--serial", link, "--model", "2.7ghz", "--firmware", "1.05"});
  EXPECT_EQ(ReadUntil(sim.out, '\n', 5000), "ready " + link + "\n");
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  SetBaud(fd, B57600);
  ASSERT_EQ(write(fd, "CON:SYS:VER?\r", 13), 13);
  EXPECT_EQ(ReadUntil(fd, '\r', 2000), "VER=1.05\r");
  close(fd);
  kill(sim.pid, SIGTERM);
  EXPECT_EQ(WaitExit(sim.pid), 0);
  close(sim.out);
  close(sim.err);
  rmdir(dir);
}

TEST(VantrelSimProgram, OptionsHelpAndRefusals) {
  Child help = Start({"--help"});
  const std::string text = ReadUntil(help.out, '\0', 2000);
  EXPECT_EQ(WaitExit(help.pid), 0);
  for (const char* name : {"--serial", "--model", "--baud"}) {
    EXPECT_NE(text.find(name), std::string::npos) << name;
  }
  for (const auto& f : FaultOptions()) {
    EXPECT_NE(text.find(std::string("--") + f.name), std::string::npos) << f.name;
  }

  Child old = Start({"--serial", "/tmp/vantrel-sim-unused", "--model", "1.8ghz"});
  EXPECT_NE(ReadUntil(old.err, '\n', 2000).find("unknown model"), std::string::npos);
  EXPECT_EQ(WaitExit(old.pid), 2);

  Child bad = Start({"--serial", "/tmp/vantrel-sim-unused", "--drop-answers", "many"});
  EXPECT_NE(ReadUntil(bad.err, '\n', 2000).find("drop-answers"), std::string::npos);
  EXPECT_EQ(WaitExit(bad.pid), 2);
  for (const Child& c : {help, old, bad}) {
    close(c.out);
    close(c.err);
  }
}

}  // namespace
}  // namespace vantrel::sim

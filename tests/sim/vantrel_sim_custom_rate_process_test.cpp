// A client that sets the pty's rate as a number (termios2, the way serial libraries set
// non-standard rates) is judged by that number.
#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <fcntl.h>
#include <signal.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "sim/analyzer_model.h"
#include "sim_process_helpers.h"

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace vantrel::sim {
namespace {

using testing::Child;
using testing::ReadUntil;
using testing::Start;
using testing::WaitExit;

bool SetRawRate(int fd, unsigned rate) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_iflag = 0;
  t.c_oflag = 0;
  t.c_lflag = 0;
  t.c_cflag = BOTHER | CS8 | CREAD | CLOCAL;
  t.c_ispeed = rate;
  t.c_ospeed = rate;
  return ioctl(fd, TCSETS2, &t) == 0;
}

TEST(VantrelSimProgram, RatesSetAsNumbersAreMatchedToo) {
  char dir[] = "/tmp/vantrel-sim-rate-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string link = std::string(dir) + "/LINK";
  Child sim = Start({"--serial", link, "--baud", "57600"});
  ASSERT_EQ(ReadUntil(sim.out, '\n', 5000), "ready " + link + "\n");
  const int fd = open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);

  ASSERT_TRUE(SetRawRate(fd, 57600));
  ASSERT_EQ(write(fd, "*IDN?\r", 6), 6);
  EXPECT_EQ(ReadUntil(fd, '\r', 2000), std::string(kIdentification) + "\r");

  ASSERT_TRUE(SetRawRate(fd, 56000));  // close, but not the analyzer's rate
  ASSERT_EQ(write(fd, "*IDN?\r", 6), 6);
  EXPECT_EQ(ReadUntil(fd, '\r', 300), "");
  close(fd);

  kill(sim.pid, SIGTERM);
  EXPECT_EQ(WaitExit(sim.pid), 0);
  close(sim.out);
  close(sim.err);
  rmdir(dir);
}

}  // namespace
}  // namespace vantrel::sim
#endif

// Kept apart from the other pty code: the kernel's termios2 header cannot share a
// translation unit with <termios.h>.
#include "sim/server/pty_speed.h"

#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace vantrel::sim {

int PtyBaudRate(int fd) {
  // The master reports the slave's settings; termios2 carries the rate as a number,
  // whether the client picked a standard code or an arbitrary rate.
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return -1;
  return static_cast<int>(t.c_ospeed);
}

}  // namespace vantrel::sim

#else
#include <termios.h>

namespace vantrel::sim {

int PtyBaudRate(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) return -1;
  // On the BSDs and macOS the Bnnn codes are the rates themselves.
  return static_cast<int>(cfgetospeed(&t));
}

}  // namespace vantrel::sim
#endif

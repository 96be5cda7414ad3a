#include "platform/binary_stdout.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

namespace vantrel {

void UseBinaryStandardOutput() {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
#endif
}

}  // namespace vantrel

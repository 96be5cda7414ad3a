// ComPorts.ini, the serial port map beside the program.
#include <set>

#include "fuzz_check.h"
#include "link/com_port_ini.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::Text(data, size);
  const std::vector<ComPortLine> lines = ParseComPortsIni(text);
  std::set<int> seen;
  for (const ComPortLine& line : lines) {
    FUZZ_CHECK(!line.device.empty());
    FUZZ_CHECK(line.device.front() != ' ' && line.device.back() != ' ');
    FUZZ_CHECK(line.number >= 0);
    // The first line of a number is the one that maps it.
    const auto device = ComPortDeviceFromIni(text, line.number);
    FUZZ_CHECK(device.has_value());
    if (seen.insert(line.number).second) FUZZ_CHECK(*device == line.device);
  }
  if (lines.empty()) FUZZ_CHECK(!ComPortDeviceFromIni(text, 1).has_value());
  return 0;
}

#pragma once
// The text of ComPorts.ini, the file beside the program that maps serial port numbers to
// devices: one line "COM<n>=<device path>" per port. The platform layer reads the file
// and applies the default for numbers without a line (platform/com_port_map.h).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct ComPortLine {
  int number = 0;
  std::string device;  // trimmed, never empty
  bool operator==(const ComPortLine&) const = default;
};

// The usable lines in file order. Lines end in LF or CR LF. A line counts when its key,
// trimmed and in any case, is "COM" and decimal digits (leading zeros allowed) naming a
// number that fits an int, and its device, trimmed, is not empty; every other line
// (comments, sections, "COMX=", "COM4=", a number too long) is skipped.
std::vector<ComPortLine> ParseComPortsIni(std::string_view text);

// The device of the first usable line for port `number`; nullopt when no line names it.
std::optional<std::string> ComPortDeviceFromIni(std::string_view text, int number);

}  // namespace vantrel

#pragma once
// Which device a serial port number opens. On Linux the file ComPorts.ini beside the
// program maps numbers to devices (lines "COM<n>=<device path>"); a number without a
// line is /dev/ttyS<n-1>. On Windows port n is "COMn". The text itself is read by the
// core (link/com_port_ini.h); this file adds the file access and the defaults.
#include <string>

namespace vantrel {

// The device for port `number` given the text of ComPorts.ini ("" when there is no file).
std::string MapComPortFromText(int number, const std::string& iniText);
// Same, reading the file at `iniPath` (a missing file maps every number by default).
std::string MapComPort(int number, const std::string& iniPath);

}  // namespace vantrel

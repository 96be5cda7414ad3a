#include "platform/com_port_map.h"

#include <fstream>
#include <sstream>

#include "link/com_port_ini.h"

namespace vantrel {

std::string MapComPortFromText(int number, const std::string& iniText) {
#ifdef _WIN32
  (void)iniText;
  return "COM" + std::to_string(number);
#else
  if (auto device = ComPortDeviceFromIni(iniText, number)) return std::move(*device);
  return "/dev/ttyS" + std::to_string(static_cast<long long>(number) - 1);
#endif
}

std::string MapComPort(int number, const std::string& iniPath) {
  std::ifstream file(iniPath, std::ios::binary);
  std::ostringstream text;
  if (file) text << file.rdbuf();
  return MapComPortFromText(number, text.str());
}

}  // namespace vantrel

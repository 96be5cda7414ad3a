#include "platform/com_port_map.h"

#include <fstream>
#include <sstream>

#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

std::string MapComPortFromText(int number, const std::string& iniText) {
#ifdef _WIN32
  (void)iniText;
  return "COM" + std::to_string(number);
#else
  std::istringstream lines(iniText);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = ToUpper(Trim(line.substr(0, eq)));
    if (key.size() < 4 || key.compare(0, 3, "COM") != 0) continue;
    const std::string digits = key.substr(3);
    if (!IsNumeric(digits) || digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    if (static_cast<int>(NumericValue(digits)) != number) continue;
    const std::string device = Trim(line.substr(eq + 1));
    if (!device.empty()) return device;
  }
  return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

std::string MapComPort(int number, const std::string& iniPath) {
  std::ifstream file(iniPath, std::ios::binary);
  std::ostringstream text;
  if (file) text << file.rdbuf();
  return MapComPortFromText(number, text.str());
}

}  // namespace vantrel

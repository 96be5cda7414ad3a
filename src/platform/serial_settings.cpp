#include "platform/serial_settings.h"

#include <charconv>
#include <vector>

#include "link/link_error.h"
#include "util/text.h"

namespace vantrel {
namespace {

std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields;
  std::string current;
  for (char c : text) {
    if (c == ',') {
      fields.push_back(Trim(current));
      current.clear();
    } else {
      current += c;
    }
  }
  fields.push_back(Trim(current));
  return fields;
}

bool ReadWholeInt(const std::string& field, int& value) {
  if (field.empty()) return false;
  const char* end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

SerialSettings ParseSerialSettings(const std::string& text) {
  const auto invalid = [&text]() {
    return LinkError("Invalid serial port setting \"" + text +
                     "\": expected baud rate, parity (N, E, O, M, S), data bits (5 to 8) and "
                     "stop bits (1, 1.5, 2), such as \"115200,N,8,1\".");
  };
  const std::vector<std::string> fields = SplitFields(text);
  if (fields.size() != 4) throw invalid();
  SerialSettings s;
  if (!ReadWholeInt(fields[0], s.baud) || s.baud <= 0) throw invalid();
  const std::string parity = ToUpper(fields[1]);
  if (parity.size() != 1 || std::string("NEOMS").find(parity[0]) == std::string::npos) {
    throw invalid();
  }
  s.parity = parity[0];
  if (!ReadWholeInt(fields[2], s.dataBits) || s.dataBits < 5 || s.dataBits > 8) throw invalid();
  if (fields[3] == "1") {
    s.stopTenths = 10;
  } else if (fields[3] == "1.5") {
    s.stopTenths = 15;
  } else if (fields[3] == "2") {
    s.stopTenths = 20;
  } else {
    throw invalid();
  }
  return s;
}

}  // namespace vantrel

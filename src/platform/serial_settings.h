#pragma once
// The serial settings text "baud,parity,data bits,stop bits" ("115200,N,8,1").
#include <string>

namespace vantrel {

struct SerialSettings {
  int baud = 9600;
  char parity = 'N';    // N, E, O, M (mark) or S (space)
  int dataBits = 8;     // 5..8
  int stopTenths = 10;  // 10, 15 or 20: one, one and a half or two stop bits
};

// Throws LinkError naming the text when it is not a valid setting.
SerialSettings ParseSerialSettings(const std::string& text);

}  // namespace vantrel

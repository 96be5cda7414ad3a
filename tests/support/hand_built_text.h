#pragma once
// The converter's text for the hand-built record, written here from the text layout.
#include <cstdint>
#include <string>

namespace vantrel::testing {

inline std::string HandBuiltRecordLine(std::uint64_t number) {
  std::string line = std::to_string(number) +
                     ", 2008/03/07 14:05:09, 0.15, 1500.075, 3000, -20.5, dBm  , 10, "
                     "120KHz    , 1MHz      , 2999.85MHz     , 1.2 Sec";
  for (int t = 0; t < 3; ++t) {
    line += ", " + std::to_string(100 + t);
    for (int n = 1; n < 500; ++n) line += ", 0";
    line += ", " + std::to_string(-3 - t);
  }
  return line + "\r\n";
}

}  // namespace vantrel::testing

#pragma once
// The analyzer's upper and lower limit lines: "n,f1,l1,...,fn,ln" as text.
#include <string_view>
#include <vector>

#include "link/command_transport.h"

namespace vantrel {

struct LimitPoint {
  double frequencyMHz = 0;
  double level = 0;
  bool operator==(const LimitPoint&) const = default;
};
using LimitLine = std::vector<LimitPoint>;

enum class LimitLineParse {
  NoFields,  // no "," in the answer; the line is left as it was
  Rejected,  // n <= 0 or fewer than 2n + 1 fields; the line is emptied
  Doubtful,  // points filled, but a frequency is negative or a field is not a number
  Good,
};

LimitLineParse ParseLimitLineText(std::string_view answer, LimitLine& line);

// Line 1 = upper, 0 = lower. Up to three attempts with "Getting limit line data."
// in status panel 1; a USB answer may span three reports. stopRequested during a
// USB read ends it at once, status panel untouched.
void ReadLimitLine(CommandTransport& transport, int lineNumber, LimitLine& line);

}  // namespace vantrel

#include "commands/limit_line.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "link/link_error.h"
#include "link/usb_hid.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

constexpr int kAttempts = 3;

std::string ReadOverUsb(CommandTransport& transport, const std::string& query, bool& stopped) {
  Clock& clock = transport.Ports().clock;
  transport.Ports().usb.HidWriteCommand(query);
  WaitMs(clock, 50);
  WaitMs(clock, 200);
  std::string answer;
  bool firstHasFields = false;
  for (int part = 0; part < 3; ++part) {
    const std::string piece = transport.ReadCOM(100);
    answer += piece;
    if (transport.stopRequested) {
      stopped = true;
      return answer;
    }
    if (part == 0) firstHasFields = Contains(piece, ",");
    if (!firstHasFields) break;
    WaitMs(clock, 20);
  }
  return answer;
}

}  // namespace

LimitLineParse ParseLimitLineText(std::string_view answer, LimitLine& line) {
  if (!Contains(answer, ",")) return LimitLineParse::NoFields;
  const std::vector<std::string_view> fields = Split(answer, ',');
  const double n = NumericValue(fields[0]);
  const bool enoughFields = n > 0 && static_cast<double>(fields.size()) >= 2 * n + 1;
  // A count that rounds to no whole point names no line either.
  const std::int64_t count = enoughFields ? RoundHalfEven(n) : 0;
  if (count <= 0) {
    line.clear();
    return LimitLineParse::Rejected;
  }
  line.assign(std::min(static_cast<std::size_t>(count), (fields.size() - 1) / 2), LimitPoint{});
  bool good = true;
  for (std::size_t j = 0; j < line.size(); ++j) {
    const std::string_view freq = fields[2 * j + 1];
    const std::string_view level = fields[2 * j + 2];
    line[j].frequencyMHz = NumericValue(freq);
    line[j].level = NumericValue(level);
    const bool lastLevel = j + 1 == line.size();
    if (line[j].frequencyMHz < 0 || !IsNumeric(freq) || (!lastLevel && !IsNumeric(level))) {
      good = false;
    }
  }
  return good ? LimitLineParse::Good : LimitLineParse::Doubtful;
}

void ReadLimitLine(CommandTransport& transport, int lineNumber, LimitLine& line) {
  Notifier& notifier = transport.Ports().notifier;
  notifier.SetStatus("Getting limit line data.");
  const std::string query = "MEAS:LMTLINE " + std::to_string(lineNumber) + "?";
  try {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      std::string answer;
      if (transport.Kind() == ConnectionKind::Usb) {
        bool stopped = false;
        answer = ReadOverUsb(transport, query, stopped);
        if (stopped) return;
      } else {
        answer = transport.SendQuery(query, 500);
      }
      if (ParseLimitLineText(answer, line) == LimitLineParse::Good) break;
    }
  } catch (const LinkError&) {
    // A failed USB write ends the read; the line keeps what it had.
  }
  notifier.SetStatus("");
}

}  // namespace vantrel

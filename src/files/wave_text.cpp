#include "files/wave_text.h"

#include <cmath>
#include <limits>
#include <vector>

#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

bool WaveTextReader::Line(std::string_view raw, std::string& error) {
  ++lineNumber_;
  const std::string line = Trim(raw);
  if (line.empty()) return true;
  const std::vector<std::string_view> fields = Split(line, ',');
  // Header lines ("POINT", "REF LEVEL", ...) and anything else without a leading number.
  if (!IsNumeric(fields[0])) return true;
  const double n = NumericValue(fields[0]);
  if (!(n >= 0 && n <= kEmiTracePoints - 1)) return true;
  const std::string where = "Line " + std::to_string(lineNumber_) + " of the wave text file";
  if (fields.size() < 4) {
    error = where + " has " + std::to_string(fields.size()) + " fields; 4 are needed.";
    return false;
  }
  const double raw16 = std::round(NumericValue(fields[3]));
  if (!(raw16 >= std::numeric_limits<std::int16_t>::min() &&
        raw16 <= std::numeric_limits<std::int16_t>::max())) {
    error = where + ": the raw value " + std::string(Trim(fields[3])) +
            " does not fit a 16-bit count.";
    return false;
  }
  EmiPoint& entry = table_[static_cast<std::size_t>(RoundHalfEven(n))];
  entry.frequency = NumericValue(fields[1]);
  entry.level = NumericValue(fields[2]);
  entry.raw = RoundToInt16(NumericValue(fields[3]));
  ++filled_;
  return true;
}

std::optional<std::string> ReadWaveText(std::string_view text, EmiTrace& table) {
  WaveTextReader reader(table);
  std::string error;
  text = WithoutUtf8Bom(text);
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (!reader.Line(text.substr(0, end), error)) return error;
    if (end == std::string_view::npos) break;
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    text.remove_prefix(next);
  }
  return std::nullopt;
}

}  // namespace vantrel

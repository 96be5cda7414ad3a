#include "emi/limit_standard.h"

#include <cmath>
#include <span>

#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

constexpr std::size_t kMaxProblems = 20;

enum class Section { General, Band, Lower, Upper, Other };

struct Line {
  int number = 0;
  std::string text;  // trimmed, UTF-8
};

class Problems {
 public:
  explicit Problems(std::vector<StandardProblem>* out) : out_(out) {}
  void Add(int line, std::string text) {
    if (!out_) return;
    if (out_->size() < kMaxProblems) {
      out_->push_back({line, std::move(text)});
    } else if (out_->size() == kMaxProblems) {
      out_->push_back({0, "more problems not listed"});
    }
  }

 private:
  std::vector<StandardProblem>* out_;
};

// Length of the valid UTF-8 sequence at `i`, 0 when the bytes there are not UTF-8.
std::size_t Utf8Length(std::string_view s, std::size_t i) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

// The line as UTF-8: bytes that are not UTF-8 are taken as Windows-1252, the 8-bit code
// page such files are saved in by Windows editors.
std::string AsUtf8(std::string_view s, bool& wasUtf8) {
  wasUtf8 = true;
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    if (std::size_t n = Utf8Length(s, i)) {
      out.append(s.substr(i, n));
      i += n;
      continue;
    }
    wasUtf8 = false;
    AppendWindows1252AsUtf8(static_cast<unsigned char>(s[i++]), out);
  }
  return out;
}

std::vector<Line> SplitLines(std::string_view bytes, Problems& problems) {
  std::vector<Line> lines;
  bytes = WithoutUtf8Bom(bytes);
  if (bytes.empty()) {
    problems.Add(0, "the file is empty");
    return lines;
  }
  if (bytes.find('\0') != std::string_view::npos) {
    problems.Add(0, "not a text file");
    return lines;
  }
  if (bytes.size() > kMaxStandardBytes) {
    problems.Add(0, "larger than " + FormatShortest(double(kMaxStandardBytes >> 20)) +
                        " MB; the rest is ignored");
    bytes = bytes.substr(0, kMaxStandardBytes);
  }
  int number = 0;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view raw = bytes.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    ++number;
    bool utf8 = true;
    std::string text = AsUtf8(raw, utf8);
    if (!utf8) problems.Add(number, "not UTF-8 text; read as Windows-1252");
    lines.push_back({number, Trim(text)});
    start = end + 1;
  }
  return lines;
}

Section SectionOf(const std::string& header) {
  const std::string test = ToLower(RemoveChars(header, " "));
  if (test == "[general]") return Section::General;
  if (test == "[band]") return Section::Band;
  if (test == "[limitlower]" || test == "[limit1]") return Section::Lower;
  if (test == "[limitupper]" || test == "[limit2]") return Section::Upper;
  return Section::Other;
}

// Calls `body` for every section with the lines up to the next "[" line.
template <typename Fn>
void ForEachSection(const std::vector<Line>& lines, Fn&& body) {
  std::size_t i = 0;
  while (i < lines.size() && !lines[i].text.starts_with('[')) ++i;  // before the first header
  while (i < lines.size()) {
    const Section section = SectionOf(lines[i].text);
    const std::size_t first = ++i;
    while (i < lines.size() && !lines[i].text.starts_with('[')) ++i;
    body(section, std::span<const Line>(lines.data() + first, i - first));
  }
}

// Blank lines at the end of a section only separate it from the next one.
std::span<const Line> WithoutTrailingBlanks(std::span<const Line> body) {
  std::size_t n = body.size();
  while (n > 0 && body[n - 1].text.empty()) --n;
  return body.first(n);
}

bool IsKnownKey(const std::string& key) {
  for (const char* k : {"name", "description", "emimode", "regulation", "detection",
                        "freq start", "freq stop", "scale", "rbw", "ref level"}) {
    if (key == k) return true;
  }
  return false;
}

// Calls `apply(key, value, lineNumber)` for every key=value line of a [general] body.
template <typename Fn>
void ForEachKey(std::span<const Line> body, Problems& problems, Fn&& apply) {
  for (const Line& line : WithoutTrailingBlanks(body)) {
    if (line.text.empty()) {
      problems.Add(line.number, "blank line inside [general]");
      continue;
    }
    const std::size_t eq = line.text.find('=');
    if (eq == std::string::npos) {
      const std::string key = ToLower(line.text);
      if (IsKnownKey(key)) problems.Add(line.number, "\"" + key + "\" has no \"=\"");
      continue;
    }
    const std::string key = ToLower(Trim(std::string_view(line.text).substr(0, eq)));
    std::string_view value = std::string_view(line.text).substr(eq + 1);
    value = value.substr(0, value.find('='));
    apply(key, std::string(value), line.number);
  }
}

// The comma-separated fields after the label ("label=" is optional).
std::vector<std::string_view> Fields(const std::string& text) {
  std::string_view rest = text;
  if (const std::size_t eq = rest.find('='); eq != std::string_view::npos) {
    rest.remove_prefix(eq + 1);
  }
  return Split(rest, ',');
}

bool IsFrequency(double mhz) { return std::isfinite(mhz) && mhz >= 0; }

std::vector<ScanBand> ReadBands(std::span<const Line> body, Problems& problems) {
  std::vector<ScanBand> bands;
  for (const Line& line : WithoutTrailingBlanks(body)) {
    if (line.text.empty()) {
      problems.Add(line.number, "blank line inside [band]");
      continue;
    }
    const auto fields = Fields(line.text);
    if (fields.size() < 2) {
      problems.Add(line.number, "a band needs a start and a stop frequency");
      continue;
    }
    const ScanBand band{NumericValue(fields[0]), NumericValue(fields[1])};
    if (!IsFrequency(band.start) || !IsFrequency(band.stop) || band.start >= band.stop) {
      problems.Add(line.number, "the band's start must be below its stop, neither negative");
      continue;
    }
    bands.push_back(band);
  }
  return bands;
}

void ReadLimit(std::span<const Line> body, Problems& problems, std::vector<LimitSegment>& limit,
               bool& present) {
  limit.clear();
  for (const Line& line : body) {
    if (line.text.empty()) continue;
    const auto fields = Fields(line.text);
    if (fields.size() < 4) {
      problems.Add(line.number, "a limit line needs two frequencies and two levels");
      continue;
    }
    const LimitSegment s{NumericValue(fields[0]), NumericValue(fields[1]),
                         NumericValue(fields[2]), NumericValue(fields[3])};
    if (!IsFrequency(s.startFreq) || !IsFrequency(s.stopFreq) || s.stopFreq < s.startFreq ||
        !std::isfinite(s.startLevel) || !std::isfinite(s.stopLevel)) {
      problems.Add(line.number, "the limit line's frequencies must rise, neither negative");
      continue;
    }
    limit.push_back(s);
  }
  present = !limit.empty();
  if (!present) limit.assign(1, LimitSegment{});
}

// A number key's value, or the previous value with a problem when it is unusable.
bool ReadFrequencyKey(const std::string& value, int line, Problems& problems, double& field) {
  const double v = NumericValue(value);
  if (!IsFrequency(v)) {
    problems.Add(line, "frequency " + Trim(value) + " is not usable; ignored");
    return false;
  }
  field = v;
  return true;
}

}  // namespace

StandardHeader ReadStandardHeader(std::string_view bytes, std::vector<StandardProblem>* out) {
  Problems problems(out);
  StandardHeader header;
  ForEachSection(SplitLines(bytes, problems), [&](Section section, std::span<const Line> body) {
    if (section != Section::General) return;
    ForEachKey(body, problems, [&](const std::string& key, const std::string& value, int) {
      if (key == "name") {
        header.hasName = true;
        header.name = value;
      } else if (key == "description") {
        header.description = value;
      } else if (key == "regulation") {
        header.regulation = Trim(value);
      } else if (key == "emimode") {
        header.hasEmiMode = true;
        header.emiMode = value;
      }
    });
  });
  return header;
}

void ParseStandard(std::string_view bytes, LimitStandard& standard,
                   std::vector<StandardProblem>* out) {
  Problems problems(out);
  standard.lowerLimit.assign(1, LimitSegment{});
  standard.upperLimit.assign(1, LimitSegment{});
  standard.lowerPresent = false;
  standard.upperPresent = false;
  ForEachSection(SplitLines(bytes, problems), [&](Section section, std::span<const Line> body) {
    switch (section) {
      case Section::General: {
        int rangeLine = 0;  // the last line that set freq start or freq stop
        ForEachKey(body, problems, [&](const std::string& key, const std::string& value,
                                       int line) {
          if (key == "freq start" || key == "freq stop") rangeLine = line;
          if (key == "emimode") standard.emiMode = value;
          else if (key == "detection") standard.detection = value;
          else if (key == "rbw") standard.rbw = value;
          else if (key == "freq start") ReadFrequencyKey(value, line, problems, standard.freqStart);
          else if (key == "freq stop") ReadFrequencyKey(value, line, problems, standard.freqStop);
          else if (key == "ref level") {
            const double v = NumericValue(value);
            if (std::isfinite(v)) standard.refLevel = v;
            else problems.Add(line, "ref level is not usable; ignored");
          } else if (key == "scale") {
            const double v = NumericValue(value);
            if (std::isfinite(v) && RoundHalfEven(v) > 0) standard.scale = RoundToInt16(v);
            else problems.Add(line, "scale must be above 0; ignored");
          }
        });
        standard.center = standard.freqStart + (standard.freqStop - standard.freqStart) / 2;
        standard.span = standard.freqStop - standard.freqStart;
        if (rangeLine > 0 && standard.span <= 0) {
          problems.Add(rangeLine, "freq start is not below freq stop");
        }
        break;
      }
      case Section::Band:
        standard.bands = ReadBands(body, problems);
        break;
      case Section::Lower:
        ReadLimit(body, problems, standard.lowerLimit, standard.lowerPresent);
        break;
      case Section::Upper:
        ReadLimit(body, problems, standard.upperLimit, standard.upperPresent);
        break;
      case Section::Other:
        break;
    }
  });
}

}  // namespace vantrel

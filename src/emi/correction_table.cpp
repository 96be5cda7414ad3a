#include "emi/correction_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "util/format.h"
#include "util/text.h"

namespace vantrel {

namespace {

std::optional<double> Number(std::string_view text) {
  const std::string t = Trim(text);
  double value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<CorrectionType> TypeNamed(std::string_view name) {
  const std::string n = ToLower(Trim(name));
  if (n == "antenna") return CorrectionType::Antenna;
  if (n == "cable") return CorrectionType::Cable;
  if (n == "lisn") return CorrectionType::Lisn;
  if (n == "preamp") return CorrectionType::Preamp;
  return std::nullopt;
}

}  // namespace

std::string_view CorrectionTypeName(CorrectionType type) {
  switch (type) {
    case CorrectionType::Antenna:
      return "antenna";
    case CorrectionType::Lisn:
      return "lisn";
    case CorrectionType::Preamp:
      return "preamp";
    default:
      return "cable";
  }
}

CorrectionTable ParseCorrectionTable(std::string_view text, std::string name) {
  CorrectionTable table;
  table.name = std::move(name);
  if (text.size() > kMaxCorrectionBytes) {
    table.problems.push_back({0, "only the first 1 MB is read"});
    text = text.substr(0, kMaxCorrectionBytes);
  }
  text = WithoutUtf8Bom(text);
  bool typed = false;
  int lineNumber = 0;
  for (std::string_view raw : Split(text, '\n')) {
    ++lineNumber;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    const std::string lower = ToLower(line);
    if (lower.rfind("type", 0) == 0 && line.find('=') != std::string::npos) {
      const auto type = TypeNamed(line.substr(line.find('=') + 1));
      if (type) {
        table.type = *type;
        typed = true;
      } else {
        table.problems.push_back({lineNumber, "the type must be antenna, cable, lisn or preamp"});
      }
      continue;
    }
    const std::vector<std::string_view> cells = Split(line, ',');
    const auto f = cells.size() == 2 ? Number(cells[0]) : std::nullopt;
    const auto db = cells.size() == 2 ? Number(cells[1]) : std::nullopt;
    if (!f || !db || *f <= 0) {
      table.problems.push_back({lineNumber, "\"" + line + "\" is not a frequency in MHz above 0 and a dB value"});
      continue;
    }
    table.points.push_back({*f, *db});
  }
  if (!typed) table.problems.push_back({0, "no type line; taken as a cable loss"});
  if (!std::is_sorted(table.points.begin(), table.points.end(),
                      [](const CorrectionPoint& a, const CorrectionPoint& b) { return a.frequency < b.frequency; })) {
    std::stable_sort(table.points.begin(), table.points.end(),
                     [](const CorrectionPoint& a, const CorrectionPoint& b) { return a.frequency < b.frequency; });
    table.problems.push_back({0, "the frequencies were out of order; they were sorted"});
  }
  for (std::size_t i = 1; i < table.points.size(); ++i) {
    if (table.points[i].frequency == table.points[i - 1].frequency) {
      table.problems.push_back({0, "two points at " + FormatShortest(table.points[i].frequency) +
                                       " MHz; the table is not used"});
      table.points.clear();
      return table;
    }
  }
  if (table.points.empty()) table.problems.push_back({0, "no points; the table is not used"});
  return table;
}

double CorrectionAt(const CorrectionTable& table, double mhz) {
  const std::vector<CorrectionPoint>& p = table.points;
  if (p.empty()) return 0;
  if (!(mhz > p.front().frequency)) return p.front().db;
  if (mhz >= p.back().frequency) return p.back().db;
  const auto upper = std::upper_bound(p.begin(), p.end(), mhz,
                                      [](double f, const CorrectionPoint& q) { return f < q.frequency; });
  const CorrectionPoint& b = *upper;
  const CorrectionPoint& a = *(upper - 1);
  const double t = std::log10(mhz / a.frequency) / std::log10(b.frequency / a.frequency);
  return a.db + (b.db - a.db) * t;
}

double TotalCorrection(const std::vector<CorrectionTable>& tables, double mhz) {
  double total = 0;
  for (const CorrectionTable& t : tables) {
    const double db = CorrectionAt(t, mhz);
    total += t.type == CorrectionType::Preamp ? -db : db;
  }
  return total;
}

}  // namespace vantrel

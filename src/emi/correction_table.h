#pragma once
// Correction tables: what lies between the device and the analyzer (antenna factor, cable
// loss, LISN factor, preamplifier gain) as frequency/dB points. The field strength or
// terminal voltage is the analyzer level plus antenna, cable and LISN, minus the
// preamplifier, each read off its table straight in log frequency and held flat beyond
// its first and last point.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emi/limit_standard.h"

namespace vantrel {

enum class CorrectionType { Antenna, Cable, Lisn, Preamp };

struct CorrectionPoint {
  double frequency = 0;  // MHz
  double db = 0;
};

struct CorrectionTable {
  std::string name;  // the file's name, for the graph header and the report
  CorrectionType type = CorrectionType::Cable;
  std::vector<CorrectionPoint> points;  // by frequency, no two alike
  // Lines that were skipped or put in order; the table is usable when `points` is not empty.
  std::vector<StandardProblem> problems;
  bool Usable() const { return !points.empty(); }
};

inline constexpr std::size_t kMaxCorrectionBytes = 1 << 20;

// Reads a CSV text: "#" comments, one "type=antenna|cable|lisn|preamp" line, then
// "frequency MHz,dB" lines. Points out of order are sorted (and said so); two points at one
// frequency leave the table unusable, as does a text without points.
CorrectionTable ParseCorrectionTable(std::string_view text, std::string name);

// The table's dB at `mhz`.
double CorrectionAt(const CorrectionTable& table, double mhz);

// The sum every ticked table adds at `mhz` (the preamplifier's gain subtracted); 0 for none.
double TotalCorrection(const std::vector<CorrectionTable>& tables, double mhz);

std::string_view CorrectionTypeName(CorrectionType type);

}  // namespace vantrel

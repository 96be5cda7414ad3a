#pragma once
// A limit standard file: the [general] keys, the scan bands of the conducted scan and
// the lower and upper limit lines. Parsing is a pure function of the file's bytes, so
// a malformed or hostile file costs at most its own diagnostics.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct ScanBand {
  double start = 0;  // MHz
  double stop = 0;   // MHz
  bool operator==(const ScanBand&) const = default;
};

struct LimitSegment {
  double startFreq = 0;   // MHz
  double startLevel = 0;  // dBuV
  double stopFreq = 0;    // MHz
  double stopLevel = 0;   // dBuV
  bool operator==(const LimitSegment&) const = default;
};

// The loaded standard. A file that does not set a field leaves the previous file's value.
struct LimitStandard {
  std::string emiMode;    // "Conducted" or "Radiation", any case
  std::string detection;  // "Normal", "Sample", "Peak+", "AVG", "QP" or "QPeak"
  std::string rbw;
  double freqStart = 0;  // MHz
  double freqStop = 0;   // MHz
  double center = 0;     // MHz, from freqStart and freqStop
  double span = 0;       // MHz, from freqStart and freqStop
  double refLevel = 0;   // dBuV
  std::int16_t scale = 0;  // dB per division
  std::vector<ScanBand> bands;
  std::vector<LimitSegment> lowerLimit{LimitSegment{}};
  bool lowerPresent = false;
  std::vector<LimitSegment> upperLimit{LimitSegment{}};
  bool upperPresent = false;
};

// One thing wrong with a file; line 0 means the file as a whole.
struct StandardProblem {
  int line = 0;
  std::string text;
  bool operator==(const StandardProblem&) const = default;
};

// Only this much of a file is read; the rest is ignored with a problem.
inline constexpr std::size_t kMaxStandardBytes = 1 << 20;

// What the listing needs from a file's [general] sections.
struct StandardHeader {
  bool hasName = false;
  bool hasEmiMode = false;
  std::string name;
  std::string description;
  std::string regulation;  // trimmed
  std::string emiMode;     // as written
};

StandardHeader ReadStandardHeader(std::string_view bytes,
                                  std::vector<StandardProblem>* problems = nullptr);

// Parses a file into `standard`: limit lines and flags reset first, every other field
// kept where the file does not set it.
void ParseStandard(std::string_view bytes, LimitStandard& standard,
                   std::vector<StandardProblem>* problems = nullptr);

}  // namespace vantrel

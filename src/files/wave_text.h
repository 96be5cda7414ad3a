#pragma once
// Wave text files read back onto the EMI graph: every line "n, frequency, level, raw"
// with n in 0..500 fills entry n of the stored EMI trace; header lines and other
// non-numeric lines are passed over. Lines are fed one at a time, so a file of any
// length is read in constant memory.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "emi/emi_point.h"

namespace vantrel {

class WaveTextReader {
 public:
  explicit WaveTextReader(EmiTrace& table) : table_(table) {}

  // Applies one line. False with the reason in `error` when the line cannot be read:
  // reading ends there, and the entries filled so far stay.
  bool Line(std::string_view line, std::string& error);

  // Entries filled so far.
  std::size_t Filled() const { return filled_; }

 private:
  EmiTrace& table_;
  std::size_t lineNumber_ = 0;
  std::size_t filled_ = 0;
};

// Reads a whole text (lines ended by CR LF, LF or CR); the first error ends it.
std::optional<std::string> ReadWaveText(std::string_view text, EmiTrace& table);

}  // namespace vantrel

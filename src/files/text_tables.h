#pragma once
// The text tables the program writes: the spectrum as frequency and level, the EMI wave
// text file that the EMI panel reads back, and one line per record of a recording.
// Numbers in their shortest plain decimal form, lines ended by CR LF.
#include <cstdint>
#include <string>

#include "display/display_state.h"
#include "emi/emi_point.h"
#include "files/sp3_record.h"

namespace vantrel {

// The marker trace as 501 frequency/level lines and the settings after them.
std::string SaTextTable(const DisplayState& state);

// The EMI points (number, frequency, level, raw count) and the settings after them;
// `start` and `stop` are the limit standard's range.
std::string EmiTextTable(const EmiTrace& points, const AnalyzerSettings& settings, double start,
                         double stop);

// The recording converter's first line: 12 setting columns and TA0..TA500, TB0..TB500,
// TC0..TC500.
std::string Sp3TextHeader();

// Record `number`'s line: its settings with the stored texts as stored (trailing blanks
// kept), then the 1503 counts of its three traces.
std::string Sp3TextLine(std::uint64_t number, const Sp3Record& record);

}  // namespace vantrel

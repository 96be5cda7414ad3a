#pragma once
// One record of a recording (".sp3"): the three live traces, the settings read-out and
// the moment it was written, packed little-endian in a fixed 3160-byte slot. Records are
// written and read through explicit byte codecs, so the file is the same on every
// compiler and host.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "commands/analyzer_settings.h"
#include "commands/raw_trace.h"

namespace vantrel {

inline constexpr std::size_t kSp3SlotBytes = 3160;
inline constexpr std::size_t kSp3TraceBytes = 1010;   // points, colour, mode, valid
inline constexpr std::size_t kSp3FixedBytes = 3110;   // a record without its sweep-time text
inline constexpr std::size_t kSp3MaxSweepTimeBytes = kSp3SlotBytes - kSp3FixedBytes;  // 50

struct Sp3Record {
  std::array<RawTrace, 3> traces{};
  float refLevel = 0;
  std::string refUnit;    // 5 bytes as stored (space-padded)
  std::int16_t scale = 0;
  double freqStart = 0;
  double freqCenter = 0;
  double freqStop = 0;
  std::string span;       // 15 bytes as stored
  std::string rbw;        // 10 bytes
  std::string vbw;        // 10 bytes
  std::string sweepTime;  // as stored, at most 50 bytes
  double oleDate = 0;     // when the record was written
};

// The record the window state makes (texts cut and space-padded, the scale rounded half
// to even, the sweep time cut to what fits the slot).
Sp3Record MakeSp3Record(std::span<const RawTrace, 3> traces, const AnalyzerSettings& settings,
                        double oleDate);

// Its bytes: 3110 + sweep-time length.
std::vector<std::uint8_t> EncodeSp3Record(const Sp3Record& record);

// Reads a record from the bytes of its slot (or fewer at the end of a file); nullopt,
// with the reason, when the bytes end before the record does.
std::optional<Sp3Record> DecodeSp3Record(std::span<const std::uint8_t> bytes, std::string& error);

// Records in a file of this length: length / 3160 rounded half to even.
std::uint64_t Sp3RecordCount(std::uint64_t fileLength);

// Puts a played record into the window state: the traces byte for byte, the settings
// texts as stored, the time stamp "yyyy/mm/dd hh:mm:ss".
void ApplySp3Record(const Sp3Record& record, std::array<RawTrace, 3>& traces,
                    AnalyzerSettings& settings);

}  // namespace vantrel

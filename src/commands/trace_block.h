#pragma once
// Decoding the answer to "meas:tra:read all?": a header with one status byte per
// trace, then 501 points for every present trace, framed per transport.
#include <cstdint>
#include <span>

#include "commands/raw_trace.h"

namespace vantrel {

enum class TraceFraming {
  SerialUsb,  // 9-byte header of (byte, status, CR) groups; points as high, low, CR
  Gpib,       // 6-byte header of (0, status) pairs; points as high, low
};

inline constexpr int kSerialPointBytes = 3;
inline constexpr int kGpibPointBytes = 2;
inline constexpr int kSerialTraceBytes = kTracePoints * kSerialPointBytes;  // 1503
inline constexpr int kSerialHeaderBytes = 9;
inline constexpr int kGpibHeaderBytes = 6;
// Three traces and the header: the largest serial or USB answer.
inline constexpr int kAllTracesBytes = 3 * kSerialTraceBytes + kSerialHeaderBytes;  // 4518

// Low four bits neither 0 nor 5.
constexpr bool TracePresent(std::uint8_t status) {
  const int low = status & 0x0F;
  return low != 0 && low != 5;
}

// Present traces named by the header in `data` (a byte missing reads as absent).
int CountPresentTraces(std::span<const std::uint8_t> data, TraceFraming framing);

// Fills points, mode word and valid flag of traces[0..2] from `data`; colours are
// left alone, points are stored as received (no clamp), bytes missing from a short
// block read as 0. `traces` must hold at least three records. True when the three
// check bytes of the header are right.
bool DecodeTraceBlock(std::span<const std::uint8_t> data, TraceFraming framing,
                      std::span<RawTrace> traces);

}  // namespace vantrel

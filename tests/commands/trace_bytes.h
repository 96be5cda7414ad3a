#pragma once
// Trace answers as the analyzer frames them, for feeding the transfer.
#include <array>
#include <cstdint>
#include <vector>

namespace vantrel::testing {

using Points = std::vector<std::int16_t>;

// A recognisable trace: point k = base + k % 100.
inline Points Ramp(int base) {
  Points p(501);
  for (int k = 0; k < 501; ++k)
    p[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(base + k % 100);
  return p;
}

inline void PutPoint(std::vector<std::uint8_t>& out, std::int16_t v, bool withCr) {
  const auto u = static_cast<std::uint16_t>(v);
  out.push_back(static_cast<std::uint8_t>(u >> 8));
  out.push_back(static_cast<std::uint8_t>(u & 0xFF));
  if (withCr) out.push_back(13);
}

// "meas:tra:read all?" framed for serial/USB (gpib false) or GPIB; `traces` holds
// the points of the present traces in order.
inline std::vector<std::uint8_t> AllTracesBlock(std::array<std::uint8_t, 3> status,
                                                const std::vector<Points>& traces, bool gpib,
                                                bool badCheck = false) {
  std::vector<std::uint8_t> out;
  for (std::uint8_t s : status) {
    if (gpib) {
      out.push_back(badCheck ? 1 : 0);
      out.push_back(s);
    } else {
      out.push_back('#');
      out.push_back(s);
      out.push_back(badCheck ? 10 : 13);
    }
  }
  for (const Points& p : traces)
    for (std::int16_t v : p) PutPoint(out, v, !gpib);
  return out;
}

inline std::vector<std::uint8_t> OneTraceBlock(const Points& p, bool gpib) {
  std::vector<std::uint8_t> out;
  for (std::int16_t v : p) PutPoint(out, v, !gpib);
  return out;
}

}  // namespace vantrel::testing

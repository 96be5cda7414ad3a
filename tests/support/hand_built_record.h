#pragma once
// A recording's record laid out byte by byte from the file layout, never through the
// program's writer: record tests compare the program with it.
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vantrel::testing {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}
inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
inline void Put64(Bytes& b, std::size_t at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}
inline void PutText(Bytes& b, std::size_t at, const char* text) {
  std::memcpy(b.data() + at, text, std::strlen(text));
}

// 2008-03-07 14:05:09 as days since 1899-12-30.
constexpr double kOleDate = 39514.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

// A record with a 7-character sweep time: 3117 bytes.
inline Bytes HandBuiltRecord() {
  Bytes b(3117, 0);
  for (int t = 0; t < 3; ++t) {
    const std::size_t base = 1010 * t;
    Put16(b, base, static_cast<std::uint16_t>(100 + t));  // point 0
    Put16(b, base + 2 * 500, static_cast<std::uint16_t>(-3 - t));  // point 500
    Put32(b, base + 1002, 0x00FF8000u + t);                // colour
    Put16(b, base + 1006, static_cast<std::uint16_t>(t));  // mode
    Put16(b, base + 1008, static_cast<std::uint16_t>(-1)); // valid
  }
  Put32(b, 3030, std::bit_cast<std::uint32_t>(-20.5f));
  PutText(b, 3034, "dBm  ");
  Put16(b, 3039, 10);
  Put64(b, 3041, std::bit_cast<std::uint64_t>(0.15));
  Put64(b, 3049, std::bit_cast<std::uint64_t>(1500.075));
  Put64(b, 3057, std::bit_cast<std::uint64_t>(3000.0));
  PutText(b, 3065, "2999.85MHz     ");
  PutText(b, 3080, "120KHz    ");
  PutText(b, 3090, "1MHz      ");
  Put16(b, 3100, 7);
  PutText(b, 3102, "1.2 Sec");
  Put64(b, 3109, std::bit_cast<std::uint64_t>(kOleDate));
  return b;
}

}  // namespace vantrel::testing

#pragma once
// Two-byte values of the analyzer's trace blocks.
#include <array>
#include <cstdint>

namespace vantrel {

// high * 256 + low as a signed 16-bit value (0x03,0xFF -> 1023; 0xFF,0xFF -> -1).
constexpr std::int16_t ByteToInt(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((high << 8) | low));
}

// Low byte first, then high byte.
constexpr std::array<std::uint8_t, 2> IntToByteArray(std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  return {static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8)};
}

}  // namespace vantrel

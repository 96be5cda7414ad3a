#pragma once
// One trace record as the program keeps it and writes it to a recording: 506 signed
// 16-bit words (points, a spare word, the pen colour, mode or stored number, valid).
#include <array>
#include <cstdint>
#include <span>

namespace vantrel {

inline constexpr int kTracePoints = 501;
inline constexpr int kRawTraceWords = 506;

struct RawTrace {
  static constexpr int kSpareWord = 501;
  static constexpr int kColourLowWord = 502;
  static constexpr int kColourHighWord = 503;
  static constexpr int kModeWord = 504;
  static constexpr int kValidWord = 505;

  std::array<std::int16_t, kRawTraceWords> words{};

  std::span<std::int16_t, kTracePoints> Points() {
    return std::span<std::int16_t, kTracePoints>(words.data(), kTracePoints);
  }
  std::span<const std::int16_t, kTracePoints> Points() const {
    return std::span<const std::int16_t, kTracePoints>(words.data(), kTracePoints);
  }

  // Pen colour, 32-bit RGB, low word first.
  std::uint32_t Colour() const {
    return static_cast<std::uint16_t>(words[kColourLowWord]) |
           (static_cast<std::uint32_t>(static_cast<std::uint16_t>(words[kColourHighWord])) << 16);
  }
  void SetColour(std::uint32_t rgb) {
    words[kColourLowWord] = static_cast<std::int16_t>(static_cast<std::uint16_t>(rgb & 0xFFFF));
    words[kColourHighWord] = static_cast<std::int16_t>(static_cast<std::uint16_t>(rgb >> 16));
  }

  // Live traces: the trace mode 0..3; stored traces: the stored-trace number.
  std::int16_t Mode() const { return words[kModeWord]; }
  void SetMode(std::int16_t mode) { words[kModeWord] = mode; }

  // -1 when present, 0 when absent.
  bool Valid() const { return words[kValidWord] != 0; }
  void SetValid(bool valid) { words[kValidWord] = valid ? -1 : 0; }

  bool operator==(const RawTrace&) const = default;
};

}  // namespace vantrel

#pragma once
// The program's transport in front of a scripted analyzer (tests/support), on the
// virtual clock: a fuzz input's answers reach the real transport code, and its waits
// and polls take no real time.
#include <cstdint>
#include <string>
#include <vector>

#include "link/connection_kind.h"
#include "support/scripted_analyzer.h"

namespace vantrel::fuzz {

using testing::Piece;
using testing::ScriptedAnalyzer;

// 0 serial, 1 USB, 2 (and 3) GPIB.
inline ConnectionKind KindOf(std::uint8_t selector) {
  switch (selector & 0x03) {
    case 0:
      return ConnectionKind::ComPort;
    case 1:
      return ConnectionKind::Usb;
    default:
      return ConnectionKind::Gpib;
  }
}

// A text answer as the analyzer sends it: CR-terminated on serial and USB, bare on GPIB.
inline std::vector<Piece> TextAnswer(const std::string& text, ConnectionKind kind) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (kind != ConnectionKind::Gpib) bytes.push_back('\r');
  return {Piece{std::move(bytes), 0}};
}

}  // namespace vantrel::fuzz

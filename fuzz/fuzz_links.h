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

// The low two bits: 0 (and 3) serial, 1 USB, 2 GPIB. A GPIB read goes through the whole
// 4096-byte buffer, so it gets the smallest share.
inline ConnectionKind KindOf(std::uint8_t selector) {
  switch (selector & 0x03) {
    case 1:
      return ConnectionKind::Usb;
    case 2:
      return ConnectionKind::Gpib;
    default:
      return ConnectionKind::ComPort;
  }
}

// A text answer as the analyzer sends it: CR-terminated on serial and USB, bare on GPIB.
inline std::vector<Piece> TextAnswer(const std::string& text, ConnectionKind kind) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (kind != ConnectionKind::Gpib) bytes.push_back('\r');
  return {Piece{std::move(bytes), 0}};
}

}  // namespace vantrel::fuzz

#pragma once
// A scripted instrument behind all three links: every command it receives is
// recorded, and a test-supplied function gives the bytes it answers with.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/command_transport.h"
#include "link/hid_backend.h"
#include "link/link_error.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"

#include "support/recording_notifier.h"

namespace vantrel::testing {

using Bytes = std::vector<std::uint8_t>;
inline Bytes ToBytes(const std::string& s) {
  return Bytes(s.begin(), s.end());
}


// One piece of an answer, readable `afterMs` after the command arrived.
struct Piece {
  Bytes bytes;
  std::uint32_t afterMs = 0;
};

class ScriptedAnalyzer {
 public:
  VirtualClock clock;
  RecordingNotifier notifier;
  // Every command as the instrument understood it (terminators removed).
  std::vector<std::string> commands;
  // The instrument: pieces of the answer to a command (empty: no answer).
  std::function<std::vector<Piece>(const std::string&)> respond = [](const std::string&) {
    return std::vector<Piece>{};
  };
  // Text answers by query, one per asking; the last one repeats. Used when `respond`
  // is not replaced. Answers go out with CR (serial, USB) and as they are on GPIB.
  std::map<std::string, std::deque<std::string>> answers;
  int featureReads = 0;  // USB feature reports asked for
  bool vanished = false;  // the link is gone: writes throw, nothing arrives
  bool repeatLastReport = false;  // USB: with nothing new, the last report comes again

  ScriptedAnalyzer();
  ~ScriptedAnalyzer();
  CommandTransport& Transport(ConnectionKind kind);
  int Count(const std::string& command) const;
  void SetSerialOpen(bool open);

  // The instrument's side of each link.
  void Received(const std::string& command, bool textWithCr);

  struct Serial;
  struct Gpib;
  struct Hid;
  std::unique_ptr<Serial> serial;
  std::unique_ptr<Gpib> gpib;
  std::unique_ptr<Hid> hid;
  std::unique_ptr<UsbHid> usb;
  std::unique_ptr<CommandTransport> transport;
  // Answer pieces on their way to the PC, each readable from its time on, in the
  // order sent (`taken`: bytes of the front piece already read).
  struct Pending {
    std::uint32_t at = 0;
    Bytes bytes;
    std::size_t taken = 0;
  };
  std::deque<Pending> pending;
  std::vector<std::uint8_t> TakeDue(std::size_t limit);
  std::size_t DueCount();
};

}  // namespace vantrel::testing

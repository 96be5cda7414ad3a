#pragma once
// The serial steps both analyzer models' links take alike: a line out with CR, stale
// bytes dropped, and the answer poll with its settle wait, time limit and second pass.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/serial_port.h"

namespace vantrel {

// Writes the text, one byte per character, then CR.
void WriteSerialLine(SerialPort& serial, std::string_view text);
// Takes every byte waiting and drops it (a late answer to an earlier exchange).
void DropWaitingBytes(SerialPort& serial);
// CR becomes a space and the answer is trimmed, so a two-line answer reads as one.
std::string CleanSerialAnswer(std::string_view answer);

// How one model reads an answer.
struct SerialAnswerRules {
  // The read gives up this long after it began (both passes together, settle waits included).
  std::uint32_t limitMs = 1000;
  // Between polls: a WaitMs of this many milliseconds (events run), or, when 0, a 1 ms
  // sleep after the events have run.
  double pauseWaitMs = 0;
  // CRs before any text are empty lines, not the end of the answer: read on.
  bool skipLeadingCr = false;
};

struct SerialAnswer {
  std::string text;  // trimmed, one final CR cut off
  int passes = 0;
  bool timedOut = false;          // some pass reached the time limit
  bool lastPassTimedOut = false;  // the last pass did
};

// Waits `settleMs`, then polls until CR or the time limit; a pass that leaves nothing
// is followed by one more. `buffer` receives the bytes as they come, one character a
// byte. `stop` ends the read early (checked at every poll); a port closed meanwhile
// ends it too.
SerialAnswer ReadSerialAnswer(SerialPort& serial, Clock& clock, double settleMs,
                              const SerialAnswerRules& rules, std::string& buffer,
                              const std::function<bool()>& stop);

}  // namespace vantrel

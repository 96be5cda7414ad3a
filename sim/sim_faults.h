#pragma once
// Faults the simulated analyzer can be told to show, from tests (set the fields) or
// from vantrel-sim options and the stand-in GPIB library's control entry (ApplyFaultOption).
// Counters count answers down to 0; a negative count means "from now on".
#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::sim {

// A canned answer for one query, e.g. "CON:RBW?" answered "9" (out of the table).
struct AnswerOverride {
  std::string text;
  int count = -1;  // answers left; negative = until reset
};

struct SimFaults {
  // Every answer becomes readable this many milliseconds later than usual.
  int answerDelayMs = 0;
  // The next N answers are never sent.
  int dropAnswers = 0;
  // The next N answers of `bareNumbersQuery` ("" = any query) come as bare numbers,
  // without their unit ("1000" instead of "1000 kHz").
  int bareNumbers = 0;
  std::string bareNumbersQuery;
  // Canned answers by query (upper-case, as sent, e.g. "CON:RBW?").
  std::map<std::string, AnswerOverride> overrides;
  // The next N live trace blocks carry wrong check bytes.
  int badCheckBytes = 0;
  // Only live trace 2 is present.
  bool onlyTrace2 = false;
  // Status bytes of live traces 1..3 as sent; negative = the model's own.
  std::array<int, 3> statusBytes{-1, -1, -1};
  // This point (0..500) of every live trace reads 0x0400; negative = none.
  int point0400 = -1;
  // The next N limit-line answers lack their last field.
  int shortLimitLines = 0;
  // The next N answers are replaced by garbage bytes.
  int garbageAnswers = 0;
  // The link answers nothing (after `silentAfter` more answers when that is >= 0).
  bool silent = false;
  int silentAfter = -1;
  // The link is gone: the port closes, the device disappears, GPIB has no listener
  // (after `vanishAfter` more answers when that is >= 0).
  bool vanished = false;
  int vanishAfter = -1;
};

struct FaultOptionInfo {
  const char* name;
  const char* argument;  // "" for a flag
  const char* help;
};

// Every option ApplyFaultOption understands, for --help.
const std::vector<FaultOptionInfo>& FaultOptions();

class AnalyzerModel;

// Applies "name", "name=value" or "reset" (the names of FaultOptions()); some options
// change the instrument's data rather than the faults (stored-65535). Returns an error
// text, or "" on success.
std::string ApplyFaultOption(AnalyzerModel& model, std::string_view option);

}  // namespace vantrel::sim

// Every settings query of AnalyzerCommands against a scripted analyzer on the virtual
// clock: each query the program sends is answered with the input's next line (the last
// line repeats once they run out), on the link the selector byte picks; the three
// verified commands read their settings back.
// Input: a link selector byte, then answer lines separated by LF.
#include <functional>
#include <string>
#include <vector>

#include "commands/analyzer_commands.h"
#include "commands/analyzer_settings.h"
#include "fuzz_check.h"
#include "fuzz_links.h"
#include "util/datetime.h"
#include "util/text.h"

using namespace vantrel;
using namespace vantrel::fuzz;

namespace {

std::vector<std::string> Lines(std::string_view text) {
  const std::vector<std::string_view> pieces = Split(text, '\n');
  return {pieces.begin(), pieces.end()};
}

bool InTable(std::span<const std::string_view> table, const std::string& label) {
  if (label.empty()) return true;
  for (const std::string_view entry : table) {
    if (entry == label) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const ConnectionKind kind = KindOf(data[0]);
  const std::vector<std::string> answers = Lines(Text(data + 1, size - 1));

  ScriptedAnalyzer analyzer;
  std::size_t next = 0;
  analyzer.respond = [&](const std::string& command) {
    if (command.empty() || command.back() != '?') return std::vector<Piece>{};
    const std::string& text = answers[std::min(next, answers.size() - 1)];
    ++next;
    return TextAnswer(text, kind);
  };
  AnalyzerCommands commands(analyzer.Transport(kind));

  // The window's refresh order; each step runs while unread answers are left, so an
  // input pays for the queries it answers.
  AnalyzerSettings s;
  float sweepMs = 0;
  bool markerMode = false;
  double markerFreq = 0, markerLevel = 0;
  const std::function<void()> steps[] = {
      [&] { s.RefLevel = commands.Get_RefLevel(); },
      [&] { s.RefUnit = commands.Get_RefUnit(); },
      [&] { s.Scale = commands.Get_Scale(); },
      [&] { s.FreqStart = commands.Get_FreqStart(); },
      [&] { s.FreqStop = commands.Get_FreqStop(); },
      [&] { s.FreqCenter = commands.Get_FreqCenter(); },
      [&] { s.Span = commands.Get_SPAN(); },
      [&] { s.RBW = commands.Get_RBW(); },
      [&] { s.VBW = commands.Get_VBW(); },
      [&] { s.RBWMode = commands.Get_RBWMode(); },
      [&] { s.VBWMode = commands.Get_VBWMode(); },
      [&] { sweepMs = commands.Get_SweepTime(); },
      [&] { s.SweepTime = commands.Get_SweepTime_str(); },
      [&] { s.Detection = commands.Get_Detection(); },
      [&] { s.TimeStamp = commands.Get_Clock(); },
      [&] { markerMode = commands.Get_MM_MODE(); },
      [&] { markerFreq = commands.Get_MarkerFreq(); },
      [&] { markerLevel = commands.Get_MarkerLevel(); },
      // The verified commands read back what they set (five passes at most).
      [&] { commands.Set_RBW(answers.front().substr(0, 16), true); },
      [&] { commands.Set_VBW("1MHz", true); },
      [&] { commands.Set_Detection(answers.back().substr(0, 16), true); },
  };
  for (const auto& step : steps) {
    if (next >= answers.size()) break;
    step();
  }
  (void)sweepMs, (void)markerMode, (void)markerFreq, (void)markerLevel;

  FUZZ_CHECK(InTable(kUnitNames, s.RefUnit));
  FUZZ_CHECK(InTable(kRbwLabels, s.RBW));
  FUZZ_CHECK(InTable(kVbwLabels, s.VBW));
  FUZZ_CHECK(InTable(kDetectorNames, s.Detection));
  FUZZ_CHECK(s.Scale == 0 || s.Scale == 10 || s.Scale == 5 || s.Scale == 2 || s.Scale == 1);
  if (!s.TimeStamp.empty()) {
    FUZZ_CHECK(s.TimeStamp.size() == 19);
    FUZZ_CHECK(ParseDate(s.TimeStamp.substr(0, 10)).has_value());
    FUZZ_CHECK(ParseTime(s.TimeStamp.substr(11)).has_value());
  }
  FUZZ_CHECK(analyzer.notifier.busyDepth == 0);
  return 0;
}

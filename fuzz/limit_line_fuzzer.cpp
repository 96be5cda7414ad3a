// A limit line as the analyzer sends it ("n,f1,l1,...,fn,ln"): parsed as it stands, then
// read through the program's transport (over USB it may span three reports).
// Input: a link selector byte, then the answer.
#include <algorithm>

#include "commands/limit_line.h"
#include "fuzz_check.h"
#include "fuzz_links.h"

using namespace vantrel;
using namespace vantrel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const ConnectionKind kind = KindOf(data[0]);
  const std::string answer(Text(data + 1, size - 1));

  const LimitLine before{{1.0, 2.0}};
  LimitLine line = before;
  const LimitLineParse parsed = ParseLimitLineText(answer, line);
  const auto fields = static_cast<std::size_t>(std::count(answer.begin(), answer.end(), ',')) + 1;
  switch (parsed) {
    case LimitLineParse::NoFields:
      FUZZ_CHECK(line == before);
      break;
    case LimitLineParse::Rejected:
      FUZZ_CHECK(line.empty());
      break;
    case LimitLineParse::Doubtful:
    case LimitLineParse::Good:
      FUZZ_CHECK(!line.empty() && line.size() <= (fields - 1) / 2);
      break;
  }
  if (parsed == LimitLineParse::Good) {
    for (const LimitPoint& p : line) FUZZ_CHECK(p.frequencyMHz >= 0);
  }

  ScriptedAnalyzer analyzer;
  analyzer.respond = [&](const std::string& command) {
    return command == "MEAS:LMTLINE 1?" ? TextAnswer(answer, kind) : std::vector<Piece>{};
  };
  LimitLine read = before;
  ReadLimitLine(analyzer.Transport(kind), 1, read);
  FUZZ_CHECK(analyzer.Count("MEAS:LMTLINE 1?") >= 1 && analyzer.Count("MEAS:LMTLINE 1?") <= 3);
  FUZZ_CHECK(!analyzer.notifier.statuses.empty() && analyzer.notifier.statuses.back().empty());
  return 0;
}

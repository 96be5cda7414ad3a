// A stored trace as the analyzer sends it ("{v0,v1,...,v500}"): parsed as it stands,
// then read through the program's transport (over USB it spans many reports).
// Input: a link selector byte, then the answer.
#include <array>
#include <numeric>

#include "commands/stored_trace.h"
#include "fuzz_check.h"
#include "fuzz_links.h"

using namespace vantrel;
using namespace vantrel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const ConnectionKind kind = KindOf(data[0]);
  const std::string answer(Text(data + 1, size - 1));

  std::array<std::int16_t, kTracePoints> points{};
  const StoredTraceParse parsed = ParseStoredTraceText(answer, points);
  long long sum = 0;
  for (const std::int16_t p : points) {
    FUZZ_CHECK(p <= 1023);
    sum += p;
  }
  if (parsed == StoredTraceParse::Filled) FUZZ_CHECK(sum != 0);
  if (parsed == StoredTraceParse::Empty) FUZZ_CHECK(sum == 0);

  ScriptedAnalyzer analyzer;
  analyzer.respond = [&](const std::string& command) {
    return command == "MEAS:TRA:READ?" ? TextAnswer(answer, kind) : std::vector<Piece>{};
  };
  RawTrace record;
  int drawn = 0;
  int markers = 0;
  StoredTraceHooks hooks;
  hooks.drawStoredTraces = [&] { ++drawn; };
  hooks.recomputeMarkers = [&] { ++markers; };
  ReadStoredTrace(analyzer.Transport(kind), "3", record, hooks);
  FUZZ_CHECK(record.Mode() == 3);
  FUZZ_CHECK(markers == 1 && drawn <= 1);
  for (const std::int16_t p : record.Points()) FUZZ_CHECK(p <= 1023);
  FUZZ_CHECK(analyzer.notifier.busyDepth == 0);
  return 0;
}

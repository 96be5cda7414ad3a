// Answers of the 2.7 GHz model: the text trace ("{v0,...,v500}"), the version and the
// sweep time, parsed as they stand and then read through the model's own serial link.
#include <array>

#include "commands/sa27_commands.h"
#include "commands/trace_text.h"
#include "fuzz_check.h"
#include "fuzz_links.h"

using namespace vantrel;
using namespace vantrel::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string answer(Text(data, size));

  std::array<std::int16_t, kTracePoints> points{};
  const int count = ParseTraceTextPoints(answer, points);
  FUZZ_CHECK(count >= 1 && count <= kTracePoints);
  for (const std::int16_t p : points) FUZZ_CHECK(p >= 0 && p <= 1023);
  (void)Sa27VersionNumber(answer);
  (void)Sa27SweepTimeMs(answer);

  ScriptedAnalyzer analyzer;
  analyzer.respond = [&](const std::string&) {
    return TextAnswer(answer, ConnectionKind::ComPort);
  };
  CommandTransport& transport = analyzer.Transport(ConnectionKind::ComPort);
  Sa27Link link(analyzer.clock, analyzer.notifier, transport.Ports().serial);
  Sa27Commands commands(link);
  if (!link.Connect()) return 0;
  commands.ReadTrace(kSa27LiveTraceWaitMs, points);
  for (const std::int16_t p : points) FUZZ_CHECK(p >= 0 && p <= 1023);
  FUZZ_CHECK(commands.ReadLimitLine(Sa27LimitKind::Lower).size() <=
             static_cast<std::size_t>(kSa27LimitPoints));
  return 0;
}

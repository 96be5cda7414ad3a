// The live trace block in its three framings (serial, USB, GPIB): decoded as it stands,
// then read through the program's transport ("meas:tra:read all?" and "meas:tra:read 1?").
// Input: a selector byte (link; bit 2 the IO log, bit 3 its "IO Message" box, bit 4 trace 1
// alone instead of all three), a byte for how the block arrives (pieces, gap), the block.
#include <array>
#include <span>

#include "commands/live_traces.h"
#include "commands/trace_block.h"
#include "fuzz_check.h"
#include "fuzz_links.h"

using namespace vantrel;
using namespace vantrel::fuzz;

namespace {

void CheckDecoded(std::span<const RawTrace> traces, int present) {
  int valid = 0;
  for (const RawTrace& t : traces) {
    FUZZ_CHECK(t.Mode() >= 0 && t.Mode() <= 3);
    if (t.Valid()) {
      ++valid;
    } else {
      for (const std::int16_t p : t.Points()) FUZZ_CHECK(p == 0);
    }
  }
  FUZZ_CHECK(valid == present);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const ConnectionKind kind = KindOf(data[0]);
  const std::size_t pieces = 1 + (data[1] & 0x0F);
  const std::uint32_t gapMs = (data[1] >> 4) * 20u;
  const std::vector<std::uint8_t> block(data + 2, data + size);
  const TraceFraming framing =
      kind == ConnectionKind::Gpib ? TraceFraming::Gpib : TraceFraming::SerialUsb;

  std::array<RawTrace, 3> decoded{};
  DecodeTraceBlock(block, framing, decoded);
  CheckDecoded(decoded, CountPresentTraces(block, framing));

  ScriptedAnalyzer analyzer;
  analyzer.respond = [&](const std::string& command) {
    std::vector<Piece> out;
    if (command != "meas:tra:read all?" && command != "meas:tra:read 1?") return out;
    const std::size_t per = (block.size() + pieces - 1) / pieces;
    for (std::size_t at = 0, i = 0; at < block.size(); at += per, ++i) {
      const std::size_t end = std::min(block.size(), at + per);
      out.push_back({std::vector<std::uint8_t>(block.begin() + static_cast<long>(at),
                                               block.begin() + static_cast<long>(end)),
                     static_cast<std::uint32_t>(i) * gapMs});
    }
    return out;
  };
  CommandTransport& transport = analyzer.Transport(kind);

  if ((data[0] & 0x10) != 0) {
    std::vector<std::int16_t> points;
    GetTraceRawData(transport, points);
    FUZZ_CHECK(points.size() == static_cast<std::size_t>(kTracePoints));
    for (const std::int16_t p : points) FUZZ_CHECK(p >= 0 && p <= 1023);
  } else {
    std::array<RawTrace, 3> read{};
    std::string log;
    ReadAllTraces(transport, read,
                  IoLogSink{(data[0] & 0x04) != 0 ? &log : nullptr, (data[0] & 0x08) != 0});
    for (const RawTrace& t : read) FUZZ_CHECK(t.Mode() >= 0 && t.Mode() <= 3);
  }
  return 0;
}

// The live trace block in its three framings (serial, USB, GPIB): decoded as it stands,
// then read through the program's transport ("meas:tra:read all?" and "meas:tra:read 1?").
// Input: a selector byte (bits 0-1 the link, 2 the IO log, 3 its "IO Message" box, 4 trace
// 1 alone instead of all three, 5-7 how many reads get the block before a good one
// follows, 7 meaning every read), a byte for how the block arrives (pieces, gap), the block.
#include <array>
#include <span>

#include "commands/live_traces.h"
#include "commands/trace_block.h"
#include "fuzz_check.h"
#include "fuzz_links.h"

using namespace vantrel;
using namespace vantrel::fuzz;

namespace {

// A good answer that ends the rereading: three absent traces, or a trace 1 of ones.
std::vector<std::uint8_t> GoodAnswer(const std::string& command, TraceFraming framing) {
  const bool gpib = framing == TraceFraming::Gpib;
  std::vector<std::uint8_t> out;
  if (command == "meas:tra:read all?") {
    for (int t = 0; t < 3; ++t) {
      if (gpib) {
        out.insert(out.end(), {0, 0});
      } else {
        out.insert(out.end(), {'#', 0, 13});
      }
    }
  } else {
    for (int k = 0; k < kTracePoints; ++k) {
      out.insert(out.end(), {0, 1});
      if (!gpib) out.push_back(13);
    }
  }
  return out;
}

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

  const int blockReads = (data[0] >> 5) == 7 ? 1000 : (data[0] >> 5) + 1;
  int reads = 0;
  ScriptedAnalyzer analyzer;
  analyzer.respond = [&](const std::string& command) {
    std::vector<Piece> out;
    if (command != "meas:tra:read all?" && command != "meas:tra:read 1?") return out;
    if (++reads > blockReads) {
      out.push_back({GoodAnswer(command, framing), 0});
      return out;
    }
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

#include "commands/trace_block.h"

#include <algorithm>

#include "link/byte_codec.h"

namespace vantrel {

namespace {

struct Layout {
  int statusOffset[3];
  int checkOffset[3];
  std::uint8_t checkValue;
  int headerBytes;
  int pointBytes;
};

constexpr Layout kSerialLayout{{1, 4, 7}, {2, 5, 8}, 13, kSerialHeaderBytes, kSerialPointBytes};
constexpr Layout kGpibLayout{{1, 3, 5}, {0, 2, 4}, 0, kGpibHeaderBytes, kGpibPointBytes};

const Layout& LayoutOf(TraceFraming framing) {
  return framing == TraceFraming::Gpib ? kGpibLayout : kSerialLayout;
}

std::uint8_t ByteAt(std::span<const std::uint8_t> data, std::size_t index) {
  return index < data.size() ? data[index] : 0;
}

}  // namespace

int CountPresentTraces(std::span<const std::uint8_t> data, TraceFraming framing) {
  const Layout& layout = LayoutOf(framing);
  int present = 0;
  for (int offset : layout.statusOffset) {
    if (TracePresent(ByteAt(data, static_cast<std::size_t>(offset)))) ++present;
  }
  return present;
}

bool DecodeTraceBlock(std::span<const std::uint8_t> data, TraceFraming framing,
                      std::span<RawTrace> traces) {
  const Layout& layout = LayoutOf(framing);
  std::size_t cursor = static_cast<std::size_t>(layout.headerBytes);
  const std::size_t count = traces.size() < 3 ? traces.size() : 3;
  for (std::size_t t = 0; t < count; ++t) {
    RawTrace& trace = traces[t];
    const std::uint8_t status = ByteAt(data, static_cast<std::size_t>(layout.statusOffset[t]));
    const bool present = TracePresent(status);
    trace.SetMode(static_cast<std::int16_t>(status >> 6));
    trace.SetValid(present);
    trace.words[RawTrace::kSpareWord] = 0;
    auto points = trace.Points();
    if (!present) {
      std::fill(points.begin(), points.end(), std::int16_t{0});
      continue;
    }
    if (cursor + static_cast<std::size_t>(kTracePoints * layout.pointBytes) <= data.size()) {
      const std::uint8_t* p = data.data() + cursor;
      for (int k = 0; k < kTracePoints; ++k, p += layout.pointBytes) {
        points[k] = ByteToInt(p[0], p[1]);
      }
    } else {
      for (int k = 0; k < kTracePoints; ++k) {
        const std::size_t at = cursor + static_cast<std::size_t>(k * layout.pointBytes);
        points[k] = ByteToInt(ByteAt(data, at), ByteAt(data, at + 1));
      }
    }
    cursor += static_cast<std::size_t>(kTracePoints * layout.pointBytes);
  }
  for (int offset : layout.checkOffset) {
    if (static_cast<std::size_t>(offset) >= data.size() ||
        data[static_cast<std::size_t>(offset)] != layout.checkValue)
      return false;
  }
  return true;
}

}  // namespace vantrel

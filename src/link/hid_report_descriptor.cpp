#include "link/hid_report_descriptor.h"

#include <map>
#include <vector>

namespace vantrel {
namespace {

// Item types and the tags this parser needs.
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kTagInput = 0x8;
constexpr int kTagOutput = 0x9;
constexpr int kTagFeature = 0xB;
constexpr int kTagReportSize = 0x7;
constexpr int kTagReportId = 0x8;
constexpr int kTagReportCount = 0x9;
constexpr int kTagPush = 0xA;
constexpr int kTagPop = 0xB;
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint64_t kMaxReportBits = 8ull * 65534;

struct GlobalState {
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint32_t reportId = 0;
};

// Bits per report ID, one map per report kind.
using BitsById = std::map<std::uint32_t, std::uint64_t>;

std::uint32_t UnsignedData(std::span<const std::uint8_t> data) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < data.size(); ++i) value |= std::uint32_t{data[i]} << (8 * i);
  return value;
}

std::optional<std::uint16_t> LongestReport(const BitsById& bits) {
  std::uint64_t longest = 0;
  for (const auto& [id, count] : bits) {
    if (count > kMaxReportBits) return std::nullopt;
    const std::uint64_t bytes = (count + 7) / 8 + 1;  // + the report-ID byte
    if (bytes > longest) longest = bytes;
  }
  return static_cast<std::uint16_t>(longest);
}

}  // namespace

std::optional<HidReportLengths> ParseHidReportLengths(std::span<const std::uint8_t> descriptor) {
  GlobalState state;
  std::vector<GlobalState> stack;
  BitsById input, output, feature;

  std::size_t pos = 0;
  while (pos < descriptor.size()) {
    const std::uint8_t prefix = descriptor[pos];
    if (prefix == kLongItemPrefix) {
      // Long item: size byte, tag byte, data. No long items are defined; skip them.
      if (pos + 3 > descriptor.size()) return std::nullopt;
      const std::size_t size = descriptor[pos + 1];
      if (pos + 3 + size > descriptor.size()) return std::nullopt;
      pos += 3 + size;
      continue;
    }
    const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
    const int type = (prefix >> 2) & 0x3;
    const int tag = prefix >> 4;
    if (pos + 1 + size > descriptor.size()) return std::nullopt;
    const std::uint32_t value = UnsignedData(descriptor.subspan(pos + 1, size));
    pos += 1 + size;

    if (type == kTypeMain) {
      BitsById* kind = tag == kTagInput     ? &input
                       : tag == kTagOutput  ? &output
                       : tag == kTagFeature ? &feature
                                            : nullptr;
      if (kind) {
        std::uint64_t& bits = (*kind)[state.reportId];
        bits += std::uint64_t{state.reportSize} * state.reportCount;
        if (bits > kMaxReportBits) return std::nullopt;
      }
    } else if (type == kTypeGlobal) {
      switch (tag) {
        case kTagReportSize:
          state.reportSize = value;
          break;
        case kTagReportId:
          state.reportId = value;
          break;
        case kTagReportCount:
          state.reportCount = value;
          break;
        case kTagPush:
          stack.push_back(state);
          break;
        case kTagPop:
          if (stack.empty()) return std::nullopt;
          state = stack.back();
          stack.pop_back();
          break;
        default:
          break;  // usage page, logical and physical ranges, units: no bearing on size
      }
    }
    // Local items (usages, strings, designators) do not change report sizes.
  }

  HidReportLengths lengths;
  const auto in = LongestReport(input);
  const auto out = LongestReport(output);
  const auto feat = LongestReport(feature);
  if (!in || !out || !feat) return std::nullopt;
  lengths.input = *in;
  lengths.output = *out;
  lengths.feature = *feat;
  return lengths;
}

}  // namespace vantrel

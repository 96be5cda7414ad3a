// Recordings (.sp3) as bytes from disk: any file counts, plays and converts without a
// crash, and every record that reads back writes out to the same bytes.
#include <algorithm>
#include <map>

#include "files/sp3_file.h"
#include "files/sp3_record.h"
#include "files/sp3_to_text.h"
#include "fuzz_check.h"

using namespace vantrel;

namespace {

class BytesStore : public RecordStore {
 public:
  explicit BytesStore(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  std::optional<std::uint64_t> Size(const std::string&) override { return bytes_.size(); }
  std::optional<std::vector<std::uint8_t>> ReadAt(const std::string&, std::uint64_t offset,
                                                  std::size_t count, std::string&) override {
    const std::size_t from = std::min<std::size_t>(offset, bytes_.size());
    const std::size_t to = std::min<std::size_t>(from + count, bytes_.size());
    return std::vector<std::uint8_t>(bytes_.begin() + from, bytes_.begin() + to);
  }
  bool WriteAt(const std::string&, std::uint64_t, const std::vector<std::uint8_t>&,
               std::string&) override {
    return false;
  }
  bool Replace(const std::string&, const std::string&, std::string&) override { return false; }
  bool Append(const std::string&, const std::string&, std::string&) override { return false; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One slot alone: decoded, it encodes back to the bytes it came from.
  std::string error;
  const std::span<const std::uint8_t> slot(data, std::min(size, kSp3SlotBytes));
  if (const auto record = DecodeSp3Record(slot, error)) {
    const std::vector<std::uint8_t> again = EncodeSp3Record(*record);
    FUZZ_CHECK(again.size() <= slot.size());
    FUZZ_CHECK(std::equal(again.begin(), again.end(), slot.begin()));
    std::array<RawTrace, 3> traces{};
    AnalyzerSettings settings;
    ApplySp3Record(*record, traces, settings);
  } else {
    FUZZ_CHECK(!error.empty());
  }

  // The whole input as a file: the converter writes the header and one piece per
  // playable record (stored texts are written as stored, line breaks included).
  BytesStore store(std::vector<std::uint8_t>(data, data + size));
  const std::uint64_t count = CountSp3Records(store, "f.sp3");
  FUZZ_CHECK(count <= Sp3RecordCount(size));
  std::uint64_t pieces = 0;
  const Sp3TextResult result =
      ConvertSp3ToText(store, "f.sp3", [&pieces](const std::string&, std::string&) {
        ++pieces;
        return true;
      });
  FUZZ_CHECK(result.ok ? pieces == count + 1 && result.records == count
                       : !result.message.empty());
  return 0;
}

#include "files/sp3_file.h"

#include "util/text.h"

namespace vantrel {

bool WriteSp3Record(RecordStore& store, const std::string& path, std::uint64_t number,
                    const Sp3Record& record, std::string& error) {
  if (number < 1) {
    error = "Record numbers start at 1.";
    return false;
  }
  return store.WriteAt(path, (number - 1) * kSp3SlotBytes, EncodeSp3Record(record), error);
}

std::uint64_t CountSp3Records(RecordStore& store, const std::string& path) {
  const std::optional<std::uint64_t> size = store.Size(path);
  if (!size) return 0;
  const std::uint64_t count = Sp3RecordCount(*size);
  if (count == 0) return 0;
  std::string error;
  return ReadSp3Record(store, path, count, error) ? count : count - 1;
}

std::optional<Sp3Record> ReadSp3Record(RecordStore& store, const std::string& path,
                                       std::uint64_t number, std::string& error) {
  if (number < 1) {
    error = "Record numbers start at 1.";
    return std::nullopt;
  }
  const auto bytes = store.ReadAt(path, (number - 1) * kSp3SlotBytes, kSp3SlotBytes, error);
  if (!bytes) return std::nullopt;
  auto record = DecodeSp3Record(*bytes, error);
  if (!record) error = "Record " + std::to_string(number) + " of " + path + ": " + error;
  return record;
}

bool IsRecordingFileName(const std::string& path) {
  const std::string name = Trim(path);
  return name.size() >= 3 && ToLower(name.substr(name.size() - 3)) == "sp3";
}

}  // namespace vantrel

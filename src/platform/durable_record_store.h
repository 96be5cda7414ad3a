#pragma once
// Recording files on disk. Every write is on the disk before it returns (fdatasync, or
// _commit on Windows), so a power loss costs at most the record being written. Reading
// never creates or changes a file.
#include "files/record_store.h"

namespace vantrel {

class DurableRecordStore : public RecordStore {
 public:
  std::optional<std::uint64_t> Size(const std::string& path) override;
  std::optional<std::vector<std::uint8_t>> ReadAt(const std::string& path, std::uint64_t offset,
                                                  std::size_t count, std::string& error) override;
  bool WriteAt(const std::string& path, std::uint64_t offset,
               const std::vector<std::uint8_t>& bytes, std::string& error) override;
  bool Replace(const std::string& path, const std::string& bytes, std::string& error) override;
  bool Append(const std::string& path, const std::string& bytes, std::string& error) override;
};

}  // namespace vantrel

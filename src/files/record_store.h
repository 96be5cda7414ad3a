#pragma once
// The seam to the files that hold recordings: reading and writing bytes at an offset,
// with the size known without reading. Production puts every write on the disk before it
// returns; tests keep the files in memory.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class RecordStore {
 public:
  virtual ~RecordStore() = default;
  // Size in bytes; nullopt when the file does not exist (nothing is created).
  virtual std::optional<std::uint64_t> Size(const std::string& path) = 0;
  // Up to `count` bytes from `offset` (fewer at the end of the file); nullopt with the
  // reason in `error` when the file cannot be read.
  virtual std::optional<std::vector<std::uint8_t>> ReadAt(const std::string& path,
                                                          std::uint64_t offset,
                                                          std::size_t count,
                                                          std::string& error) = 0;
  // Writes the bytes at `offset`, creating the file when missing, and makes them durable
  // before returning. False with the reason in `error` when that failed.
  virtual bool WriteAt(const std::string& path, std::uint64_t offset,
                       const std::vector<std::uint8_t>& bytes, std::string& error) = 0;
  // Replaces the file with these bytes (created when missing).
  virtual bool Replace(const std::string& path, const std::string& bytes, std::string& error) = 0;
  // Appends the bytes (created when missing).
  virtual bool Append(const std::string& path, const std::string& bytes, std::string& error) = 0;
};

}  // namespace vantrel

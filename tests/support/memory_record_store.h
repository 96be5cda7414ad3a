#pragma once
// Recording files kept in memory, with a switch that makes writes fail.
#include <algorithm>
#include <map>

#include "files/record_store.h"

namespace vantrel::testing {

class MemoryRecordStore : public RecordStore {
 public:
  std::map<std::string, std::vector<std::uint8_t>> files;
  bool failWrites = false;

  std::optional<std::uint64_t> Size(const std::string& path) override {
    const auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.size();
  }
  std::optional<std::vector<std::uint8_t>> ReadAt(const std::string& path, std::uint64_t offset,
                                                  std::size_t count, std::string& error) override {
    const auto it = files.find(path);
    if (it == files.end()) {
      error = path + " does not exist";
      return std::nullopt;
    }
    const auto& f = it->second;
    const std::size_t from = std::min<std::size_t>(offset, f.size());
    const std::size_t to = std::min<std::size_t>(from + count, f.size());
    return std::vector<std::uint8_t>(f.begin() + from, f.begin() + to);
  }
  bool WriteAt(const std::string& path, std::uint64_t offset,
               const std::vector<std::uint8_t>& bytes, std::string& error) override {
    if (failWrites) return Fail(error);
    auto& f = files[path];
    if (f.size() < offset + bytes.size()) f.resize(offset + bytes.size());
    std::copy(bytes.begin(), bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
  }
  bool Replace(const std::string& path, const std::string& bytes, std::string& error) override {
    if (failWrites) return Fail(error);
    files[path].assign(bytes.begin(), bytes.end());
    return true;
  }
  bool Append(const std::string& path, const std::string& bytes, std::string& error) override {
    if (failWrites) return Fail(error);
    files[path].insert(files[path].end(), bytes.begin(), bytes.end());
    return true;
  }
  std::string Text(const std::string& path) const {
    const auto& f = files.at(path);
    return std::string(f.begin(), f.end());
  }

 private:
  static bool Fail(std::string& error) {
    error = "the disk is full";
    return false;
  }
};

}  // namespace vantrel::testing

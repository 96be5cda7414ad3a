#pragma once
// Splits the bytes a host writes into command lines at CR; LF and NUL are dropped.
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::sim {

class LineSplitter {
 public:
  // A complete line when `byte` is the CR that ends it.
  std::optional<std::string> Push(std::uint8_t byte) {
    if (byte == '\r') {
      std::string line;
      line.swap(partial_);
      return line;
    }
    if (byte != '\n' && byte != 0) partial_.push_back(static_cast<char>(byte));
    return std::nullopt;
  }
  void Clear() { partial_.clear(); }

 private:
  std::string partial_;
};

}  // namespace vantrel::sim

#include "util/text.h"

#include <algorithm>

namespace vantrel {

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> pieces;
  for (;;) {
    const std::size_t at = text.find(separator);
    pieces.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return pieces;
    text.remove_prefix(at + 1);
  }
}

std::string ToUpper(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : char(c); });
  return out;
}

std::string ToLower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : char(c); });
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (true) {
    const auto hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string RemoveChars(std::string_view text, std::string_view chars) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (chars.find(c) == std::string_view::npos) out.push_back(c);
  }
  return out;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

int Position(std::string_view text, std::string_view part) {
  const auto hit = text.find(part);
  return hit == std::string_view::npos ? 0 : static_cast<int>(hit) + 1;
}

}  // namespace vantrel

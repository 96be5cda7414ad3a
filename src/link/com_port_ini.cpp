#include "link/com_port_ini.h"

#include <charconv>

#include "util/text.h"

namespace vantrel {
namespace {

std::string_view NextLine(std::string_view text, std::size_t& at) {
  const std::size_t end = text.find('\n', at);
  std::string_view line = text.substr(at, end == std::string_view::npos ? text.npos : end - at);
  at = end == std::string_view::npos ? text.size() : end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::optional<ComPortLine> ReadLine(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string key = ToUpper(Trim(line.substr(0, eq)));
  if (key.size() < 4 || key.compare(0, 3, "COM") != 0) return std::nullopt;
  // Decimal digits only (no sign, no blanks); a number too long for an int names no port.
  const char* first = key.data() + 3;
  const char* last = key.data() + key.size();
  int number = 0;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || *first < '0' || *first > '9') return std::nullopt;
  std::string device = Trim(line.substr(eq + 1));
  if (device.empty()) return std::nullopt;
  return ComPortLine{number, std::move(device)};
}

}  // namespace

std::vector<ComPortLine> ParseComPortsIni(std::string_view text) {
  text = WithoutUtf8Bom(text);
  std::vector<ComPortLine> lines;
  for (std::size_t at = 0; at < text.size();) {
    if (auto line = ReadLine(NextLine(text, at))) lines.push_back(std::move(*line));
  }
  return lines;
}

std::optional<std::string> ComPortDeviceFromIni(std::string_view text, int number) {
  text = WithoutUtf8Bom(text);
  for (std::size_t at = 0; at < text.size();) {
    auto line = ReadLine(NextLine(text, at));
    if (line && line->number == number) return std::move(line->device);
  }
  return std::nullopt;
}

}  // namespace vantrel

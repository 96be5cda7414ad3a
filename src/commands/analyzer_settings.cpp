#include "commands/analyzer_settings.h"

#include "util/text.h"

namespace vantrel {

namespace {

// A code read from an answer names a table entry only when it is exactly an integer.
std::optional<std::size_t> EntryOf(double code, int first, std::size_t count) {
  const double offset = code - first;
  if (!(offset >= 0) || offset >= static_cast<double>(count)) return std::nullopt;
  const auto entry = static_cast<std::size_t>(offset);
  if (static_cast<double>(entry) != offset) return std::nullopt;
  return entry;
}

std::string Squeezed(std::string_view label) {
  return ToUpper(RemoveChars(label, " "));
}

}  // namespace

std::string TableLabel(std::span<const std::string_view> table, double index) {
  const auto entry = EntryOf(index, 0, table.size());
  return entry ? std::string(table[*entry]) : std::string();
}

std::optional<int> TableIndex(std::span<const std::string_view> table, std::string_view label) {
  const std::string wanted = Squeezed(label);
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (Squeezed(table[i]) == wanted) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::string DetectorName(double code) {
  const auto entry = EntryOf(code, 1, std::size(kDetectorNames));
  return entry ? std::string(kDetectorNames[*entry]) : std::string();
}

std::optional<int> DetectorCode(std::string_view name) {
  const std::string wanted = ToUpper(Trim(name));
  for (const auto& alias : kDetectorAliases) {
    if (alias.name == wanted) return alias.code;
  }
  return std::nullopt;
}

std::string UnitName(double code) {
  const auto entry = EntryOf(code, 1, std::size(kUnitNames));
  return entry ? std::string(kUnitNames[*entry]) : std::string();
}

std::optional<int> UnitCode(std::string_view name) {
  const std::string wanted = ToUpper(Trim(name));
  for (std::size_t i = 0; i < std::size(kUnitNames); ++i) {
    if (ToUpper(kUnitNames[i]) == wanted) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

float ScaleOfCode(double code) {
  const auto entry = EntryOf(code, 1, std::size(kScaleDbPerDiv));
  return entry ? static_cast<float>(kScaleDbPerDiv[*entry]) : 0.0f;
}

std::optional<int> ScaleCode(int dbPerDiv) {
  for (std::size_t i = 0; i < std::size(kScaleDbPerDiv); ++i) {
    if (kScaleDbPerDiv[i] == dbPerDiv) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

}  // namespace vantrel

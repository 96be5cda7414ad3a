#pragma once
// Text helpers as the program compares and cleans instrument answers and typed values.
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Removes spaces (only the space character) at both ends, like the instrument
// protocol's "trimmed" answers; tabs and CR are kept on purpose.
std::string Trim(std::string_view text);
// The pieces between separators, empty ones included; always at least one. The views
// point into `text`.
std::vector<std::string_view> Split(std::string_view text, char separator);
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// Removes every occurrence of the given characters.
std::string RemoveChars(std::string_view text, std::string_view chars);
bool Contains(std::string_view text, std::string_view part);
// 1-based position of `part` in `text`, 0 when absent (the comparisons of answers
// are written in these terms: "HZ at position 3 or later").
int Position(std::string_view text, std::string_view part);

}  // namespace vantrel

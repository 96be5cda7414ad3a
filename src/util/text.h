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

// The text after a leading UTF-8 byte order mark, which Windows editors (Notepad) put at
// the start of files they save as UTF-8; text without one as it is.
std::string_view WithoutUtf8Bom(std::string_view text);

// Appends one byte of 8-bit text as UTF-8, read in Windows-1252: the code page plain text
// files are written in on a Western Windows. Its 0x80..0x9F are the euro sign, typographic
// quotes and dashes; the five bytes it leaves undefined keep their Latin-1 code points.
void AppendWindows1252AsUtf8(unsigned char byte, std::string& out);
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace vantrel

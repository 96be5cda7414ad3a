// The settings files beside the program: SAV61Setting.ini (the window's choices) and
// Setting.ini (the program-wide flags), as bytes from disk in UTF-8 (with or without a byte order mark) or Windows-1252.
#include <array>
#include <string>

#include "files/settings_file.h"
#include "fuzz_check.h"
#include "util/text.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzz::Text(data, size);
  const std::string text = DecodeSettingsBytes(bytes);
  // Decoding gives UTF-8, which decodes to itself but for a byte order mark at its start;
  // past the file's own mark nothing is lost.
  FUZZ_CHECK(DecodeSettingsBytes(text) == WithoutUtf8Bom(text));
  FUZZ_CHECK(text.size() >= WithoutUtf8Bom(bytes).size());

  const WindowSettingsText read = ParseWindowSettings(text);
  for (const SettingProblem& problem : read.problems) {
    FUZZ_CHECK(problem.line >= 1 && FindWindowSetting(problem.key) >= 0);
    FUZZ_CHECK(!problem.reason.empty());
  }
  // What was read, written out and read again, is the same, without a problem.
  std::array<std::string, kWindowSettingCount> values;
  for (std::size_t i = 0; i < values.size(); ++i) {
    values[i] = read.values[i].value_or(kWindowSettings[i].defaultValue);
  }
  const WindowSettingsText again = ParseWindowSettings(WriteWindowSettings(values));
  FUZZ_CHECK(again.problems.empty());
  for (std::size_t i = 0; i < values.size(); ++i) {
    FUZZ_CHECK(again.values[i] == values[i]);
    if (kWindowSettings[i].kind == SettingKind::Boolean) {
      FUZZ_CHECK(ReadSettingBoolean(values[i]).has_value());
    }
  }
  (void)ParseWindowSettings(bytes);

  std::string problem;
  if (const auto flag = ParseGlobalFlags(text, problem)) {
    FUZZ_CHECK(*flag >= 0 && *flag <= 255);
    std::string none;
    FUZZ_CHECK(ParseGlobalFlags(WriteGlobalFlags(*flag), none) == flag && none.empty());
  }
  return 0;
}

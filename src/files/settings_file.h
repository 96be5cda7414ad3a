#pragma once
// The two settings files as text: the window's choices ("SAV61Setting.ini", 31 keys in a
// fixed order) and the program-wide flags ("Setting.ini"). Reading never throws and
// never gives up on the whole file: each line stands alone, and a value that cannot be
// read is reported with its key and line so only that setting falls back to its default.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

inline constexpr char kWindowSettingsFileName[] = "SAV61Setting.ini";
inline constexpr char kGlobalFlagsFileName[] = "Setting.ini";

// How a value is written and read back.
enum class SettingKind {
  Boolean,  // "True"/"False" (any case on reading)
  Text,     // as it stands in its control
  Check,    // a check box: 0, 1 or 2 (greyed)
  Folder,   // text, taken only when it names an existing folder
  Colour,   // decimal red + 256 * green + 65536 * blue
};

// What "Default" puts into the control.
enum class SettingDefault {
  Value,          // defaultValue
  FirstItem,      // a list's first item
  Unchanged,      // the control keeps what it has
  ProgramFolder,  // the program's folder
};

struct SettingKey {
  const char* key;      // as written
  const char* control;  // objectName of the control it comes from and goes to
  SettingKind kind;
  SettingDefault rule;
  const char* defaultValue;
  // Applied after every other value, in table order: each choice refills the next list.
  bool appliedLast;
};

inline constexpr int kWindowSettingCount = 32;
// The window settings file's keys in the order they are written.
extern const std::array<SettingKey, kWindowSettingCount> kWindowSettings;

// Index of a key in kWindowSettings, compared trimmed and without case; -1 if unknown.
int FindWindowSetting(std::string_view key);

// One value that could not be taken, with where it stood.
struct SettingProblem {
  int line = 0;  // 1-based
  std::string key;
  std::string value;
  std::string reason;
};

struct WindowSettingsText {
  // The value text of each key (cut at a second "="), when the file had the key; a
  // later line wins over an earlier one.
  std::array<std::optional<std::string>, kWindowSettingCount> values;
  std::vector<SettingProblem> problems;
};

// Reads the file's text (already decoded to UTF-8). Lines end in CR LF or LF. Blank
// lines, lines without "=" and unknown keys are skipped; a known value of the wrong form
// (a Boolean that is not True or False, a check value other than 0..2, a colour that is
// not a 32-bit number) is left out of `values` and listed in `problems`.
WindowSettingsText ParseWindowSettings(std::string_view text);

// The whole file: the 31 lines in table order, each "key=value" and CR LF.
std::string WriteWindowSettings(const std::array<std::string, kWindowSettingCount>& values);

// The typed readers (blanks around the value are ignored).
std::optional<bool> ReadSettingBoolean(std::string_view value);
std::optional<int> ReadSettingCheck(std::string_view value);
std::optional<std::uint32_t> ReadSettingColour(std::string_view value);
std::string WriteSettingBoolean(bool value);

// The global flags file: the "DontShowEMISteps" value (0..255), if the text has a usable
// one; a problem is described in `problem`.
std::optional<int> ParseGlobalFlags(std::string_view text, std::string& problem);
std::string WriteGlobalFlags(int dontShowEmiSteps);

// File bytes as UTF-8: valid UTF-8 stays as it is, anything else is read as Windows-1252,
// the 8-bit code page older versions wrote.
std::string DecodeSettingsBytes(std::string_view bytes);

}  // namespace vantrel

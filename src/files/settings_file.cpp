#include "files/settings_file.h"

#include <charconv>

#include "util/text.h"

namespace vantrel {

namespace {

using K = SettingKind;
using D = SettingDefault;

// One setting of "Setting.ini".
constexpr char kDontShowEmiStepsKey[] = "DontShowEMISteps";

std::string_view Line(std::string_view text, std::size_t& at) {
  const std::size_t end = text.find('\n', at);
  std::string_view line = text.substr(at, end == std::string_view::npos ? text.npos : end - at);
  at = end == std::string_view::npos ? text.size() : end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The value: after the first "=", up to the next "=" or the end of the line.
std::string_view ValueOf(std::string_view line, std::size_t equals) {
  std::string_view value = line.substr(equals + 1);
  return value.substr(0, value.find('='));
}

std::optional<long long> WholeNumber(std::string_view value) {
  const std::string trimmed = Trim(value);
  long long n = 0;
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, n);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return n;
}

std::optional<std::string> Problem(SettingKind kind, std::string_view value) {
  switch (kind) {
    case K::Boolean:
      if (!ReadSettingBoolean(value)) return "is not True or False";
      break;
    case K::Check:
      if (!ReadSettingCheck(value)) return "is not 0, 1 or 2";
      break;
    case K::Colour:
      if (!ReadSettingColour(value)) return "is not a colour number from 0 to 16777215";
      break;
    case K::Text:
    case K::Folder:
      break;
  }
  return std::nullopt;
}

bool IsUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t follow = 0;
    if (lead < 0x80) {
      follow = 0;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      follow = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      follow = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      follow = 3;
    } else {
      return false;
    }
    for (std::size_t k = 1; k <= follow; ++k) {
      if (i + k >= bytes.size() || (static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += follow + 1;
  }
  return true;
}

}  // namespace

const std::array<SettingKey, kWindowSettingCount> kWindowSettings{{
    {"COMSel", "OptCOM", K::Boolean, D::Value, "True", false},
    {"USBSel", "optUSB", K::Boolean, D::Value, "False", false},
    {"GPIBSel", "optGPIB", K::Boolean, D::Value, "False", false},
    {"COMNO", "Combo1", K::Text, D::Value, "1", false},
    {"USBDev", "cboUSB", K::Text, D::Value, "None", false},
    {"GPIBAddr", "cboGPIB", K::Text, D::Value, "2", false},
    {"SaveJPG", "optSave_0", K::Boolean, D::Value, "True", false},
    {"SaveBMP", "optSave_1", K::Boolean, D::Value, "False", false},
    {"SaveText", "optSave_2", K::Boolean, D::Value, "False", false},
    {"SamplingRate", "cboSamplingRate", K::Text, D::Value, "1", false},
    {"RecordingLimit", "cboRecordingLimit", K::Text, D::Value, "None", false},
    {"RecLimitUnit", "cboRecLimitUnit", K::Text, D::Value, "Hr.", false},
    {"RecordingPeak", "chkRecordingPeak", K::Check, D::Value, "0", false},
    {"RecordFolder", "txtRecFolder", K::Folder, D::ProgramFolder, "", false},
    {"HLimit", "chkHLimit", K::Check, D::Value, "0", false},
    {"LLimit", "chkLLimit", K::Check, D::Value, "0", false},
    {"EMC_Presscan", "optPrescan", K::Boolean, D::Value, "True", true},
    {"EMC_Spot", "optSpot", K::Boolean, D::Value, "False", true},
    {"EMC_Mode", "cboEMCMode", K::Text, D::FirstItem, "", true},
    {"EMC_Std", "cboStd", K::Text, D::FirstItem, "", true},
    {"EMC_Detection", "cboEMCDetection", K::Text, D::FirstItem, "", true},
    {"EMC_Reflvl", "txtReflvl", K::Text, D::Value, "107", false},
    {"EMC_Threshold", "chkThreshold", K::Check, D::Value, "0", false},
    {"EMC_ThresholdLevel", "txtThreshold", K::Text, D::Value, "0", false},
    {"EMC_SpotCenter", "txtSpotCenter", K::Text, D::Value, "15", false},
    {"EMC_RBW", "cboEMCRBW", K::Text, D::Unchanged, "", false},
    {"EMC_StoredFile", "txtOFileName", K::Text, D::Value, "", false},
    {"EMC_StoredColor", "lblColor", K::Colour, D::Value, "16777088", false},
    // Added after the first 28: earlier files lack it and read as not chosen.
    {"SavePNG", "optSave_3", K::Boolean, D::Value, "False", false},
    // The waterfall under the graph and how many sweeps it keeps (after SavePNG).
    {"Waterfall", "chkWaterfall", K::Check, D::Value, "0", false},
    {"WaterfallRows", "cboWaterfallRows", K::Text, D::Value, "500", false},
    // The waterfall's height in pixels as the bar was dragged; 0, and files without it,
    // give the default share.
    {"WaterfallHeight", "splWaterfall", K::Text, D::Value, "0", false},
}};

int FindWindowSetting(std::string_view key) {
  const std::string wanted = ToLower(Trim(key));
  for (int i = 0; i < kWindowSettingCount; ++i) {
    if (ToLower(kWindowSettings[static_cast<std::size_t>(i)].key) == wanted) return i;
  }
  return -1;
}

WindowSettingsText ParseWindowSettings(std::string_view text) {
  WindowSettingsText read;
  int number = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::string_view line = Line(text, at);
    ++number;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const int index = FindWindowSetting(line.substr(0, equals));
    if (index < 0) continue;
    const SettingKey& key = kWindowSettings[static_cast<std::size_t>(index)];
    const std::string_view value = ValueOf(line, equals);
    if (auto reason = Problem(key.kind, value)) {
      read.problems.push_back({number, key.key, std::string(value), std::move(*reason)});
      read.values[static_cast<std::size_t>(index)].reset();
      continue;
    }
    read.values[static_cast<std::size_t>(index)] = std::string(value);
  }
  return read;
}

std::string WriteWindowSettings(const std::array<std::string, kWindowSettingCount>& values) {
  std::string out;
  for (std::size_t i = 0; i < kWindowSettings.size(); ++i) {
    out += kWindowSettings[i].key;
    out += '=';
    out += values[i];
    out += "\r\n";
  }
  return out;
}

std::optional<bool> ReadSettingBoolean(std::string_view value) {
  const std::string word = ToLower(Trim(value));
  if (word == "true") return true;
  if (word == "false") return false;
  return std::nullopt;
}

std::optional<int> ReadSettingCheck(std::string_view value) {
  const auto n = WholeNumber(value);
  if (!n || *n < 0 || *n > 2) return std::nullopt;
  return static_cast<int>(*n);
}

std::optional<std::uint32_t> ReadSettingColour(std::string_view value) {
  const auto n = WholeNumber(value);
  if (!n || *n < 0 || *n > 0xFFFFFF) return std::nullopt;
  return static_cast<std::uint32_t>(*n);
}

std::string WriteSettingBoolean(bool value) {
  return value ? "True" : "False";
}

std::optional<int> ParseGlobalFlags(std::string_view text, std::string& problem) {
  std::optional<int> flag;
  int number = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::string_view line = Line(text, at);
    ++number;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (ToLower(Trim(line.substr(0, equals))) != ToLower(kDontShowEmiStepsKey)) continue;
    const std::string_view value = ValueOf(line, equals);
    const auto n = WholeNumber(value);
    if (!n || *n < 0 || *n > 255) {
      problem = "line " + std::to_string(number) + ": \"" + kDontShowEmiStepsKey + "=" +
                std::string(value) + "\" is not a number from 0 to 255.";
      continue;
    }
    flag = static_cast<int>(*n);
  }
  return flag;
}

std::string WriteGlobalFlags(int dontShowEmiSteps) {
  return std::string(kDontShowEmiStepsKey) + "=" + std::to_string(dontShowEmiSteps) + "\r\n";
}

std::string DecodeSettingsBytes(std::string_view bytes) {
  bytes = WithoutUtf8Bom(bytes);
  if (IsUtf8(bytes)) return std::string(bytes);
  return Windows1252ToUtf8(bytes);
}

}  // namespace vantrel

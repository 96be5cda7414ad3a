#pragma once
// Keyboard shortcuts of the analyzer window's toolbar buttons, in the keys' text form
// ("F5", "Ctrl+S"); "" for a button without one.
#include <string_view>

namespace vantrel {

struct ToolbarShortcut {
  const char* key;
  const char* keys;
};

inline constexpr ToolbarShortcut kToolbarShortcuts[] = {
    {"btnOpenCOM", "Ctrl+K"}, {"btnGetTrace", "Ctrl+R"}, {"btnCapture", "F5"},
    {"btnLive", "F6"},        {"btnSave", "Ctrl+S"},    {"btnPrint", "Ctrl+P"},
    {"btnMarker", "Ctrl+M"},
};

constexpr std::string_view ToolbarShortcutOf(std::string_view key) {
  for (const ToolbarShortcut& s : kToolbarShortcuts) {
    if (key == s.key) return s.keys;
  }
  return {};
}

}  // namespace vantrel

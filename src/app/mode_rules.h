#pragma once
// The main frame's three instrument modes and the windows each keeps open.
#include <array>

namespace vantrel {

enum class InstrumentMode { Sa3GHz, Sa27GHz, Emi27GHz };

struct ModeWindows {
  bool frmSAV61 = false;
  bool frmMain = false;
  bool frmEScr = false;
  bool frmControl = false;
  bool operator==(const ModeWindows&) const = default;
};

constexpr ModeWindows WindowsOfMode(InstrumentMode mode) {
  switch (mode) {
    case InstrumentMode::Sa27GHz:
      return {false, true, false, false};
    case InstrumentMode::Emi27GHz:
      return {false, false, true, true};
    case InstrumentMode::Sa3GHz:
    default:
      return {true, false, false, false};
  }
}

// The Mode menu items in order; exactly the one of the current mode is checked.
inline constexpr std::array<const char*, 3> kModeMenuItems{"mnuSAV61", "mnuSAMode", "mnuEMIMode"};

constexpr const char* MenuItemOfMode(InstrumentMode mode) {
  return kModeMenuItems[static_cast<std::size_t>(mode)];
}

}  // namespace vantrel

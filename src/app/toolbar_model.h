#pragma once
// The analyzer window's toolbar as state: which buttons are down, enabled, visible,
// their tool tips and image indexes, and the rules of the connected and disconnected
// states. The window mirrors this state onto its toolbar.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

struct ToolbarKeyInfo {
  const char* key;
  const char* toolTip;  // at load
  bool toggle;
  int image;  // index into the image list at load
};

// Every key in toolbar order.
inline constexpr std::array<ToolbarKeyInfo, 15> kToolbarKeys{{
    {"btnOpenCOM", "Connect to PC", true, 1},
    {"btnGetTrace", "Recording", true, 3},
    {"btnCapture", "Capture", false, 5},
    {"btnLive", "Live", true, 18},
    {"btnSave", "Save to PC", false, 6},
    {"btnPrint", "Print", false, 7},
    {"btnMarker", "Marker", true, 8},
    {"btnClear", "Clear display", false, 9},
    {"btnDrawPCStored", "Play back from PC", true, 10},
    {"btnDrawStored", "Draw memory signal", false, 11},
    {"btnGetLimit", "Get Limit Lines from unit", false, 12},
    {"btnSetting", "Setting", true, 13},
    {"btnEMCMode", "EMC Mode", true, 14},
    {"btnControl", "Control", true, 16},
    {"btnQuit", "Exit", false, 17},
}};

// Image indexes that code switches between.
inline constexpr int kImageDisconnected = 1;
inline constexpr int kImageConnected = 2;
inline constexpr int kImageRecordingIdle = 3;
inline constexpr int kImageRecordingOn = 4;
inline constexpr int kImageSaMode = 14;
inline constexpr int kImageEmiMode = 15;
inline constexpr int kImageLive = 18;
inline constexpr int kImageCount = 18;

struct ToolbarButton {
  std::string key;
  bool toggle = false;
  bool down = false;
  bool enabled = true;
  bool visible = true;
  std::string toolTip;
  int image = 0;
};

class ToolbarModel {
 public:
  ToolbarModel();

  // Looked up by key in any letter case; throws std::out_of_range for an unknown key.
  ToolbarButton& operator[](std::string_view key);
  const ToolbarButton& operator[](std::string_view key) const;
  const std::vector<ToolbarButton>& Buttons() const { return buttons_; }

  // Every button but btnEMCMode and btnSetting disabled; btnQuit and btnOpenCOM enabled.
  void SetDisconnected();
  // Every button enabled; in EMI mode btnGetLimit, btnGetTrace and btnLive disabled.
  void SetConnected();
  // The toolbar part of switching between SA and EMI mode, after btnEMCMode changed.
  void ApplyModeButtons();
  // A capture is running: the buttons that start other work wait until it is done;
  // btnCapture stays enabled to stop it.
  void SetWorking();
  // Continuous acquisition started (btnGetTrace down) or ended (up).
  void SetAcquiring(bool acquiring);
  // Live sweeping started (btnLive down) or ended: like a recording, without its file.
  void SetLive(bool live);
  // Playback from a file started (btnDrawPCStored down) or ended: the graph's marker
  // and print buttons are usable meanwhile, also when disconnected.
  void SetPlayingBack(bool playing);

 private:
  ToolbarButton* Find(std::string_view key);
  std::vector<ToolbarButton> buttons_;
};

}  // namespace vantrel

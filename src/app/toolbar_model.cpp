#include "app/toolbar_model.h"

#include <stdexcept>

#include "util/text.h"

namespace vantrel {

ToolbarModel::ToolbarModel() {
  for (const ToolbarKeyInfo& info : kToolbarKeys) {
    ToolbarButton button;
    button.key = info.key;
    button.toggle = info.toggle;
    button.toolTip = info.toolTip;
    button.image = info.image;
    buttons_.push_back(button);
  }
}

ToolbarButton* ToolbarModel::Find(std::string_view key) {
  const std::string wanted = ToLower(key);
  for (ToolbarButton& button : buttons_) {
    if (ToLower(button.key) == wanted) return &button;
  }
  throw std::out_of_range("no toolbar button " + std::string(key));
}

ToolbarButton& ToolbarModel::operator[](std::string_view key) {
  return *Find(key);
}

const ToolbarButton& ToolbarModel::operator[](std::string_view key) const {
  return *const_cast<ToolbarModel*>(this)->Find(key);
}

void ToolbarModel::SetDisconnected() {
  for (ToolbarButton& button : buttons_) {
    const std::string key = ToLower(button.key);
    if (key != "btnemcmode" && key != "btnsetting") button.enabled = false;
  }
  (*this)["btnQuit"].enabled = true;
  (*this)["btnOpenCOM"].enabled = true;
}

void ToolbarModel::SetConnected() {
  for (ToolbarButton& button : buttons_) button.enabled = true;
  if ((*this)["btnEMCMode"].down) {
    // The SA-only buttons stay off in EMI mode; the Control panel is put away with them.
    for (const char* key :
         {"btnGetLimit", "btnGetTrace", "btnDrawPCStored", "btnControl", "btnLive"}) {
      (*this)[key].enabled = false;
    }
    (*this)["btnControl"].down = false;
  } else {
    (*this)["btnGetTrace"].enabled = true;
  }
}

void ToolbarModel::ApplyModeButtons() {
  ToolbarButton& mode = (*this)["btnEMCMode"];
  if (mode.down) {
    ToolbarButton& control = (*this)["btnControl"];
    control.down = false;
    control.enabled = false;
    mode.toolTip = "SA Mode";
    mode.image = kImageEmiMode;
    (*this)["btnGetLimit"].enabled = false;
    (*this)["btnGetTrace"].enabled = false;
    (*this)["btnDrawPCStored"].enabled = false;
    (*this)["btnLive"].enabled = false;
  } else {
    mode.toolTip = "EMI Mode";
    mode.image = kImageSaMode;
    if ((*this)["btnOpenCOM"].down) {
      (*this)["btnGetLimit"].enabled = true;
      (*this)["btnGetTrace"].enabled = true;
      (*this)["btnControl"].enabled = true;
      (*this)["btnLive"].enabled = true;
    }
    (*this)["btnDrawPCStored"].enabled = true;
  }
}

void ToolbarModel::SetWorking() {
  // btnCapture stays usable: a second press stops the capture it started.
  for (const char* key : {"btnGetTrace", "btnSave", "btnPrint", "btnClear", "btnDrawPCStored",
                          "btnDrawStored", "btnGetLimit", "btnEMCMode", "btnLive"}) {
    (*this)[key].enabled = false;
  }
}

void ToolbarModel::SetAcquiring(bool acquiring) {
  ToolbarButton& trace = (*this)["btnGetTrace"];
  if (acquiring) {
    for (const char* key :
         {"btnEMCMode", "btnCapture", "btnClear", "btnDrawStored", "btnGetLimit"}) {
      (*this)[key].enabled = false;
    }
    (*this)["btnLive"].enabled = false;  // the recording's loop refreshes the graph already
    trace.toolTip = "Recording off";
    trace.image = kImageRecordingOn;
  } else {
    if ((*this)["btnOpenCOM"].down) SetConnected();
    trace.toolTip = "Recording";
    trace.image = kImageRecordingIdle;
  }
}

void ToolbarModel::SetLive(bool live) {
  if (live) {
    // btnGetTrace stays usable: a recording takes the loop over from Live.
    for (const char* key : {"btnEMCMode", "btnCapture", "btnClear", "btnDrawStored",
                            "btnGetLimit", "btnDrawPCStored"}) {
      (*this)[key].enabled = false;
    }
  } else if ((*this)["btnOpenCOM"].down) {
    SetConnected();
  }
}

void ToolbarModel::SetPlayingBack(bool playing) {
  if (playing) {
    (*this)["btnMarker"].enabled = true;
    (*this)["btnPrint"].enabled = true;
  } else if (!(*this)["btnOpenCOM"].down) {
    (*this)["btnMarker"].enabled = false;
    (*this)["btnPrint"].enabled = false;
  }
}

}  // namespace vantrel

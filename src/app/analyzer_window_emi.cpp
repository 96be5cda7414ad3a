// The analyzer window's EMI mode: the EMI panel gets the few window operations it needs.
#include "app/analyzer_window.h"
#include "app/emi_marker_panel.h"
#include "app/emi_panel.h"
#include "app/setting_panel.h"
#include "platform/standard_folder.h"

namespace vantrel {

void AnalyzerWindow::WireEmi() {
  EmiPanel::Hooks h;
  h.settingAndEmiDown = [this] { return Down("btnSetting") && Down("btnEMCMode"); };
  h.connected = [this] { return Down("btnOpenCOM"); };
  h.linkReady = [this] {
    return SelectedKind() != ConnectionKind::ComPort || links_.serial->IsOpen();
  };
  h.windowVisible = [this] { return isVisible(); };
  h.clearDisplay = [this] { ClearDisplay(false); };
  h.redraw = [this] { DrawGrid(); };
  h.toolbarWorking = [this] {
    // Only the mode, setting, exit and connect buttons stay usable while it measures.
    for (const ToolbarButton& b : toolbar_.Buttons()) {
      const std::string key = b.key;
      toolbar_[key].enabled = key == "btnEMCMode" || key == "btnSetting" || key == "btnQuit" ||
                              key == "btnOpenCOM";
    }
    SyncToolbar();
  };
  h.toolbarIdle = [this] {
    if (Down("btnOpenCOM")) {
      toolbar_.SetConnected();
      toolbar_["btnGetLimit"].enabled = false;
      toolbar_["btnGetTrace"].enabled = false;
      toolbar_["btnDrawPCStored"].enabled = false;
    } else {
      toolbar_.SetDisconnected();
    }
    SyncToolbar();
  };
  h.capture = [this] { CaptureTrace(); };
  h.showEmiSteps = [this] {
    if (showEmiSteps) showEmiSteps();
  };
  h.standardFiles = [this] {
    return links_.standardFolders ? ReadStandardFolders(links_.standardFolders())
                                  : std::vector<StandardFile>{};
  };
  h.readStandard = [](const std::string& path) {
    return ReadStandardFile(QString::fromStdString(path));
  };
  emi_ = new EmiPanel(*setting_, commands_, links_.notifier, std::move(h));
}

void AnalyzerWindow::PaintEmiGraph(Canvas& canvas) {
  emi_->FillGraph(emiGraph_);
  fraEMCMarker_->FillMarkers(emiGraph_);
  emiGraph_.printer = false;
  emiGraph_.fontScale = state_.fontScale;
  emiGraph_.gridColor = state_.gridColor;
  emiGraph_.backColor = state_.backColor;
  emiGraph_.showError = [this](int number, const std::string& description) {
    ShowErrorBox(links_.notifier, number, description);
  };
  const LimitStandard& standard = emi_->Standard();
  EMC_DrawGrid(canvas, emiGraph_, standard.lowerPresent, standard.upperPresent, true);
  fraEMCMarker_->PlaceHandles(emiGraph_);
}

}  // namespace vantrel

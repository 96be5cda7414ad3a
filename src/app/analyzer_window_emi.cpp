// The analyzer window's EMI mode: the EMI panel gets the few window operations it needs.
#include "app/analyzer_window.h"
#include "app/emi_marker_panel.h"
#include "app/emi_panel.h"
#include "app/setting_panel.h"
#include "platform/qt_canvas.h"
#include "platform/small_file.h"
#include "platform/standard_folder.h"
#include "app/emi_results_window.h"
#include "app/graph_picture.h"
#include <QComboBox>
#include <QDoubleSpinBox>
#include "emi/emi_corrections.h"
#include "emi/emi_rules.h"
#include "util/datetime.h"
#include "util/format.h"
#include "util/text.h"

#include <QFileInfo>
#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {

// Pen width of the report's graph at 2400 pixels across: lines a third of a millimetre
// wide at 300 dpi.
constexpr int kPrintLineWidth = 4;

}  // namespace

void AnalyzerWindow::WireEmi() {
  EmiPanel::Hooks h;
  h.settingAndEmiDown = [this] { return Down("btnSetting") && Down("btnEMCMode"); };
  h.connected = [this] { return Down("btnOpenCOM"); };
  h.linkReady = [this] {
    return SelectedKind() != ConnectionKind::ComPort || links_.serial->IsOpen();
  };
  h.windowVisible = [this] { return isVisible(); };
  // In SA mode (the settings file, "Default") only the EMI measurement goes, never the
  // spectrum on show.
  h.clearDisplay = [this] {
    if (EmiMode()) {
      ClearDisplay(false);
    } else {
      emi_->ClearMeasurement();
    }
  };
  h.measurementReplaced = [this] { fraEMCMarker_->ClearMarkers(); };
  h.relayout = [this] { LayoutSettingPanel(); };
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
  if (!links_.sharedEmi) links_.sharedEmi = std::make_shared<SharedEmi>();
  emi_ = new EmiPanel(*setting_, commands_, links_.notifier, std::move(h), links_.sharedEmi);
}

void AnalyzerWindow::UpdateShownEmi() {
  const LimitStandard& standard = emi_->Standard();
  const std::vector<CorrectionTable>& tables = emiResults_->TickedCorrections();
  shownEmi_ = ApplyCorrections(emi_->Results(), standard, tables);
  emi_->FillGraph(emiGraph_, &shownEmi_);
  fraEMCMarker_->FillMarkers(emiGraph_);
  emiGraph_.correctionsCaption = CorrectionsCaption(tables);
  emiGraph_.guardBandDb = emiResults_->spnGuardBand->value();
  // Judged again only when what it judges changed, so final measurements stay.
  const std::string key = shownEmi_.header.timeStamp + "|" + standard.emiMode + "|" +
                          FormatShortest(standard.freqStart) + "|" + FormatShortest(standard.freqStop) +
                          "|" + emiGraph_.modeText + "|" + emiGraph_.correctionsCaption + "|" +
                          std::to_string(shownEmi_.trace.size());
  if (key != shownEmiKey_) {
    shownEmiKey_ = key;
    emiResults_->Recompute();
  }
  emiGraph_.finalQuasiPeak.clear();
  emiGraph_.finalAverage.clear();
  for (const EmissionResult& e : emiResults_->Table().emissions) {
    if (e.quasiPeak) emiGraph_.finalQuasiPeak.push_back({e.frequency, *e.quasiPeak, 0});
    if (e.average) emiGraph_.finalAverage.push_back({e.frequency, *e.average, 0});
  }
}

void AnalyzerWindow::PaintEmiGraph(Canvas& canvas) {
  UpdateShownEmi();
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

QImage AnalyzerWindow::EmiReportPicture() {
  UpdateShownEmi();
  EmiGraphState st = emiGraph_;
  st.printer = true;
  st.lineWidth = kPrintLineWidth;
  st.scaleHeight = std::any_of(st.markers.begin(), st.markers.end(),
                               [](const EmiMarker& m) { return m.ticked; })
                       ? kScaleHeightWithMarkers
                       : kScaleHeight;
  // Print resolution: 2400 pixels across, in the shape of the window's picture.
  const double aspect = pic1_->width() > 0 ? static_cast<double>(pic1_->height()) / pic1_->width() : 0.75;
  QImage picture(2400, static_cast<int>(2400 * std::clamp(aspect, 0.4, 1.5)), QImage::Format_RGB32);
  picture.fill(Qt::white);
  picture.setDotsPerMeterX(11811);  // 300 dpi: the text has its printed size
  picture.setDotsPerMeterY(11811);
  QPainter painter(&picture);
  QtCanvas canvas(painter, QRectF(0, 0, picture.width(), picture.height()));
  const LimitStandard& standard = emi_->Standard();
  EMC_DrawGrid(canvas, st, standard.lowerPresent, standard.upperPresent, false);
  return picture;
}

void AnalyzerWindow::WireEmiResults() {
  EmiResultsHost h;
  h.emissions = [this] {
    UpdateShownEmi();
    return FindEmiPeaks(emiGraph_.markerPoints, kEmiTracePoints);
  };
  h.measured = [this] { return std::span<const EmiPoint>(shownEmi_.trace); };
  h.rbwMHz = [this] { return static_cast<double>(RbwInMHz(shownEmi_.header.rbw)); };
  h.standard = [this]() -> const LimitStandard& { return emi_->Standard(); };
  h.axis = [this] {
    return EmiConductedWideRange(emiGraph_) ? FrequencyAxis::Logarithmic : FrequencyAxis::Linear;
  };
  h.correctionsChanged = [this] { DrawGrid(); };
  h.finalMeasured = [this] { DrawGrid(); };
  h.measureSpot = [this](double mhz, const std::string& detector) -> std::optional<double> {
    const auto level = emi_->MeasureSpot(mhz, detector);
    if (!level) return std::nullopt;
    return *level + TotalCorrection(emiResults_->TickedCorrections(), mhz);
  };
  h.settleMs = [this](const std::string& detector) {
    // The single-point test's fixed waits, and its settle time at the conducted or
    // radiated RBW.
    const LimitStandard& standard = emi_->Standard();
    const float rbw = ToLower(standard.emiMode) == "conducted" ? 0.009f : 0.12f;
    return kSinglePointFixedWaitsMs + SinglePointSettleMs(detector, rbw, standard);
  };
  h.reportContent = [this] {
    UpdateShownEmi();
    EmiReportContent c;
    c.dateTime = FormatDateTime(links_.clock.LocalNow(), "yyyy/mm/dd hh:mm:ss");
    c.standardName = setting_->cboStd->currentText().toStdString();
    c.mode = emiGraph_.modeText;
    c.detector = shownEmi_.header.detection.empty() ? emi_->Standard().detection : shownEmi_.header.detection;
    c.rbw = shownEmi_.header.rbw;
    c.refLevel = emiGraph_.emiRefLevel;  // the measurement's, as its graph shows it
    c.header = shownEmi_.header;
    return c;
  };
  h.reportPicture = [this] { return EmiReportPicture(); };
  h.chooseFile = [this](const QString& filter) {
    return chooseSaveFile ? chooseSaveFile(filter) : QString();
  };
  if (links_.settingsPath) {
    h.settingsPath = [this] { return links_.settingsPath(QStringLiteral("EmiReport.ini")); };
  }
  h.notifier = &links_.notifier;
  emiResults_ = new EmiResultsWindow(std::move(h), this);
  std::vector<CorrectionTable> tables;
  if (links_.correctionFolders) {
    for (const QString& path : FilesInFolders(links_.correctionFolders(), QStringLiteral("*.csv"))) {
      const SmallFileRead read = ReadSmallFile(path);
      tables.push_back(ParseCorrectionTable(read.bytes.value_or(std::string()),
                                            QFileInfo(path).fileName().toStdString()));
      if (!read.bytes) tables.back().problems.push_back({0, "cannot be read: " + read.error.toStdString()});
    }
  }
  emiResults_->SetAvailableCorrections(std::move(tables));
}

}  // namespace vantrel

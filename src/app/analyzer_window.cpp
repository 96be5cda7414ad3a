#include "app/analyzer_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QImage>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "app/control_panel.h"
#include "app/control_panel_rules.h"
#include "app/emi_marker_panel.h"
#include "app/focus_rules.h"
#include "app/emi_results_window.h"
#include "app/emi_marker_panel.h"
#include "app/emi_results_window.h"
#include "app/emi_panel.h"
#include "app/folder_picker.h"
#include "app/graph_picture.h"
#include "app/marker_panel.h"
#include "app/process_globals.h"
#include "app/recording_controller.h"
#include "app/setting_panel.h"
#include "app/settings_files.h"
#include "app/toolbar_icons.h"
#include "app/toolbar_shortcuts.h"
#include "app/twips.h"
#include "app/waterfall_picture.h"
#include "display/capture.h"
#include "display/graph_font_fit.h"
#include "display/spectrum_graph.h"
#include "display/stored_display.h"
#include "platform/qt_canvas.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

// Pic1 in the normal window state, below the toolbar (twips).
constexpr int kGraphHomeWidth = 12000;
constexpr int kGraphHomeHeight = 8250;
// The maximised graph's font grows with its width from this width on (twips).
constexpr double kFontScaleWidth = 6015;
constexpr double kPanelMargin = 80;

}  // namespace

AnalyzerWindow::AnalyzerWindow(AnalyzerLinks links, QWidget* parent)
    : QWidget(parent),
      links_(std::move(links)),
      usb_(*links_.hid, links_.notifier),
      transport_(LinkPorts{links_.clock, links_.notifier, *links_.serial, *links_.gpib, usb_}),
      setup_(transport_),
      commands_(transport_),
      source_(commands_),
      refresh_(links_.clock, links_.notifier, source_, state_) {
  setObjectName(QStringLiteral("frmSAV61"));
  setAttribute(Qt::WA_DeleteOnClose);
  transport_.selectedKind = [this] { return SelectedKind(); };

  BuildToolbar();
  pic1_ = new GraphPicture(this);
  pic1_->draw = [this](Canvas& canvas) { PaintGraph(canvas); };
  BuildPanels();
  settingsStore_ = std::make_unique<WindowSettingsStore>(*this, links_.notifier);
  settingsStore_->setFolder = [this](const QString& folder) { setting_->SetFolder(folder); };
  settingsStore_->programFolder = [] { return QCoreApplication::applicationDirPath(); };
  connect(setting_->cmdDefaultSetting, &QPushButton::clicked, this, [this] {
    settingsStore_->ApplyDefaults();
    emi_->ControlsRestored();
  });

  refresh_.hooks.selectedKind = [this] { return SelectedKind(); };
  refresh_.hooks.serialOpen = [this] { return links_.serial->IsOpen(); };
  refresh_.hooks.ioMessageLog = &IoMessageLog;
  refresh_.hooks.ioMessageBox = [this] { return setting_->chkDebug->isChecked(); };
  refresh_.hooks.refreshLimitLines = [this] { marker_->RefreshLimits(); };
  refresh_.hooks.recording = [this] { return Down("btnGetTrace"); };
  recordStore_ = std::move(links_.records);
  WireRecording();
  WireOutput();
  WireWaveText();
  refresh_.hooks.stopRequested = [this] {
    return transport_.CheckLinkLost() || transport_.stopRequested;
  };
  refresh_.hooks.linkLost = [this] { return transport_.CheckLinkLost(); };
  refresh_.hooks.onLinkLost = [this] { OnLinkLost(); };
  setup_.log = [](const std::string& line) { IoMessageLog += line + "\r\n"; };
  WireEmi();
  WireEmiResults();
  WireWaterfall();

  const int toolbarHeight = toolbar1_->sizeHint().height();
  resize(TwipsToPixels(kGraphHomeWidth, Dpi()),
         toolbarHeight + TwipsToPixels(kGraphHomeHeight, Dpi()));
  Load();
}

AnalyzerWindow::~AnalyzerWindow() {
  // The marker panel watches Pic1 until it goes; it must go first.
  delete marker_;
  marker_ = nullptr;
  try {
    if (links_.serial->IsOpen()) links_.serial->Close();
    usb_.HidClose();
  } catch (const std::exception&) {
  }
}

double AnalyzerWindow::Dpi() const {
  return logicalDpiX() > 0 ? logicalDpiX() : 96.0;
}

int AnalyzerWindow::Twips(double twips) const {
  return TwipsToPixels(twips, Dpi());
}

void AnalyzerWindow::BuildToolbar() {
  toolbar1_ = new QToolBar(this);
  toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
  toolbar1_->setIconSize(QSize(32, 32));
  toolbar1_->setAttribute(Qt::WA_AlwaysShowToolTips);
  for (const ToolbarButton& button : toolbar_.Buttons()) {
    const QString key = QString::fromStdString(button.key);
    QAction* action = toolbar1_->addAction(QString());
    action->setObjectName(key);
    action->setCheckable(button.toggle);
    const std::string_view keys = ToolbarShortcutOf(button.key);
    if (!keys.empty()) {
      action->setShortcut(QKeySequence(QString::fromLatin1(keys.data(), keys.size())));
    }
    // The tool tip shows the shortcut beside the button's own text, also while the
    // window is not the active one.
    if (QWidget* face = toolbar1_->widgetForAction(action)) {
      face->setAttribute(Qt::WA_AlwaysShowToolTips);
      face->installEventFilter(this);
    }
    actions_[key] = action;
    connect(action, &QAction::triggered, this, [this, key](bool checked) {
      ToolbarButton& state = toolbar_[key.toStdString()];
      if (state.toggle) state.down = checked;
      DispatchToolbar(key);
    });
  }
}

void AnalyzerWindow::BuildPanels() {
  setting_ = new SettingPanel(state_, links_.notifier, this);
  control_ = new ControlPanel(commands_, refresh_, state_, links_.notifier, this);
  control_->connected = [this] { return Down("btnOpenCOM"); };
  control_->closed = [this] {
    toolbar_["btnControl"].down = false;
    control_->hide();
    SyncToolbar();
  };

  MarkerPanelHost host;
  host.state = &state_;
  host.repaint = [this] { DrawGrid(); };
  host.transport = &transport_;
  host.clock = &links_.clock;
  host.notifier = &links_.notifier;
  host.processEvents = [this] { links_.clock.ProcessEvents(); };
  marker_ = new MarkerPanel(pic1_, host, this);
  marker_->setObjectName(QStringLiteral("fraMarker"));
  connect(marker_, &MarkerPanel::okClicked, this, [this] {
    toolbar_["btnMarker"].down = false;
    marker_->hide();
    SyncToolbar();
  });

  EmiMarkerPanelHost emiHost;
  emiHost.repaint = [this] { DrawGrid(); };
  emiHost.graph = [this]() -> const EmiGraphState& { return emiGraph_; };
  emiHost.markerPoints = [this]() -> const EmiTrace& {
    UpdateShownEmi();
    return emiGraph_.markerPoints;
  };
  emiHost.backColor = [this] { return state_.backColor; };
  emiHost.notifier = &links_.notifier;
  fraEMCMarker_ = new EmiMarkerPanel(pic1_, std::move(emiHost), this);
  connect(fraEMCMarker_, &EmiMarkerPanel::resultsClicked, this, [this] {
    UpdateShownEmi();
    emiResults_->show();
    emiResults_->raise();
  });
  connect(fraEMCMarker_, &EmiMarkerPanel::okClicked, this, [this] {
    toolbar_["btnMarker"].down = false;
    fraEMCMarker_->hide();
    SyncToolbar();
  });

  connect(setting_->cmdOK1, &QPushButton::clicked, this, [this] {
    toolbar_["btnSetting"].down = false;
    setting_->hide();
    SyncToolbar();
  });
  setting_->chooseColor = [this](Rgb current) -> std::optional<Rgb> {
    const QColor chosen =
        QColorDialog::getColor(QColor(RedOf(current), GreenOf(current), BlueOf(current)), this);
    if (!chosen.isValid()) return std::nullopt;  // cancelled
    return MakeRgb(chosen.red(), chosen.green(), chosen.blue());
  };
  setting_->showDebugWindow = [this] {
    if (showDebugWindow) showDebugWindow();
  };
  setting_->usbPicked = [this](int index) {
    if (IsNumeric(setting_->cboUSB->itemText(index).toStdString())) setup_.usbDeviceIndex = index;
  };

  // A click on a panel brings it to the front.
  for (QWidget* panel : {static_cast<QWidget*>(setting_), static_cast<QWidget*>(control_),
                         static_cast<QWidget*>(marker_), static_cast<QWidget*>(fraEMCMarker_)}) {
    panel->installEventFilter(this);
    panel->setAutoFillBackground(true);  // opaque over the graph
    panel->hide();
  }
}

void AnalyzerWindow::Load() {
  // 1. Working arrays, flags, colours.
  state_.markerTrace.fill(0);
  refresh_.TraceBusy = false;
  state_.gridColor = kDefaultGridColor;
  marker_->SetSelectedMarker(MarkerPanel::kNoMarker);
  ClosingFlag = false;
  state_.closing = false;
  LoadGlobalFlags();
  state_.higherLimitLoaded = false;
  state_.lowerLimitLoaded = false;
  // 2. Lists (the Control panel fills its own).
  for (int i = 1; i <= 30; ++i) setting_->cboGPIB->addItem(QString::number(i));
  setting_->cboGPIB->setCurrentIndex(1);
  setting_->cboEMCMode->addItems({QStringLiteral("Conducted"), QStringLiteral("Radiation")});
  setting_->cboEMCMode->setCurrentIndex(0);
  // 3. The EMI measurement list and the limit standards.
  emi_->Load();
  // 4., 5. Graph home, stored-trace colour, dB per count, zeroed arrays.
  const int toolbarHeight = toolbar1_->sizeHint().height();
  graphHome_ = QRect(0, static_cast<int>(PixelsToTwips(toolbarHeight, Dpi())), kGraphHomeWidth,
                     kGraphHomeHeight);
  state_.storedColor = kStoredTraceColor;
  state_.dbPerCount = kDbPerCount;
  ZeroTraces();
  // 7., 8. Sampling rate and recording limit.
  setting_->cboSamplingRate->setEditText(QStringLiteral("1"));
  setting_->SamplingRate = 1;
  setting_->cboRecLimitUnit->setEditText(QStringLiteral("Hr."));
  setting_->cboRecordingLimit->setEditText(QStringLiteral("None"));
  // 10. Port list.
  setting_->Combo1->setEditText(QString::number(ComPortNumber));
  // 11. Live trace colours.
  for (std::size_t i = 0; i < state_.liveTraces.size(); ++i) {
    state_.liveTraces[i].SetColour(kLiveTraceColors[i]);
  }
  // 12. Caption, USB list.
  setWindowTitle(QStringLiteral("3GHz SA"));
  setup_.usbDeviceIndex = -1;
  setup_.RefreshUsbList();
  SyncUsbList();
  // The listing is a step of its own: what it said about the devices (report lengths
  // guessed) must not stand in the status bar as if it were still going on.
  links_.notifier.SetStatus("");
  // 13. Stored-trace swatch.
  setting_->ShowStoredColor();
  // 14. Toolbar.
  SetToolbarDisconnected();
  toolbar_["btnDrawPCStored"].enabled = true;
  // 15. Recording folder: the program's folder.
  setting_->SetFolder(QCoreApplication::applicationDirPath());
  // 16. Hidden buttons.
  toolbar_["btnDrawStored"].visible = false;
  toolbar_["btnGetLimit"].visible = false;
  toolbar_["btnEMCMode"].visible = false;
  // 18. Settings file, then the folder controls follow the recording folder.
  LoadSettings();
  setting_->SetFolder(setting_->txtRecFolder->text());
  // 19. Transport preselection.
  if (ConnectionSetup::GpibDriverPresent(*links_.gpib)) {
    setting_->optGPIB->setChecked(true);
  } else {
    setting_->optGPIB->setChecked(false);
    setting_->OptCOM->setChecked(true);
  }
  // 20.
  setup_.connectCount = 0;
  SyncToolbar();
  ArrangeSettingPanel();
  FormResize(FormState::Normal);
}

QAction* AnalyzerWindow::ToolbarAction(const QString& key) const {
  const auto it = actions_.find(key);
  return it == actions_.end() ? nullptr : it->second;
}

ConnectionKind AnalyzerWindow::SelectedKind() const {
  if (setting_->optUSB->isChecked()) return ConnectionKind::Usb;
  if (setting_->optGPIB->isChecked()) return ConnectionKind::Gpib;
  return ConnectionKind::ComPort;
}

double AnalyzerWindow::SamplingRate() const {
  return setting_->SamplingRate;
}

void AnalyzerWindow::SyncToolbar() {
  for (const ToolbarButton& button : toolbar_.Buttons()) {
    QAction* action = actions_.at(QString::fromStdString(button.key));
    const QSignalBlocker block(action);
    action->setChecked(button.toggle && button.down);
    action->setEnabled(button.enabled);
    action->setVisible(button.visible);
    action->setToolTip(QString::fromStdString(button.toolTip));
    action->setText(QString::fromStdString(button.toolTip));
    if (action->property("imageIndex").toInt() != button.image) {
      action->setIcon(ToolbarImage(button.image));
      action->setProperty("imageIndex", button.image);
    }
  }
}

void AnalyzerWindow::SyncUsbList() {
  QComboBox* list = setting_->cboUSB;
  list->clear();
  for (const std::string& entry : setup_.usbEntries) list->addItem(QString::fromStdString(entry));
  list->setCurrentText(QString::fromStdString(setup_.usbText));
}

void AnalyzerWindow::SetToolbarDisconnected() {
  toolbar_.SetDisconnected();
  setting_->cmdOK1->setEnabled(true);
  SyncToolbar();
}

void AnalyzerWindow::SetToolbarConnected() {
  toolbar_.SetConnected();
  SyncToolbar();
}

void AnalyzerWindow::DispatchToolbar(const QString& key) {
  recordingLimitSeconds_ =
      vantrel::RecordingLimitSeconds(setting_->cboRecLimitUnit->currentText().toStdString(),
                                     setting_->cboRecordingLimit->currentText().toStdString());
  const std::string lower = ToLower(key.toStdString());
  if (lower == "btnopencom") {
    ToggleConnection();
  } else if (lower == "btngettrace" && liveRunning_) {
    // Live's loop sees the button at its next pass, ends and starts the recording.
  } else if (lower == "btngettrace") {
    recordStartTime_ = links_.clock.LocalNow();
    toolbar_.SetAcquiring(Down("btnGetTrace"));
    SyncToolbar();
    recording_->ToggleRecording(recordStartTime_);
  } else if (lower == "btncapture") {
    if (refresh_.TraceBusy) {
      transport_.stopRequested = true;  // the second press stops the running capture
    } else {
      CaptureTrace();
    }
  } else if (lower == "btnlive") {
    ToggleLive();
  } else if (lower == "btnmarker") {
    LayoutMarkerPanel();
  } else if (lower == "btnclear") {
    ClearDisplay(true);
  } else if (lower == "btndrawpcstored") {
    toolbar_.SetPlayingBack(Down("btnDrawPCStored"));
    SyncToolbar();
    recording_->PlayBackFromPc();
  } else if (lower == "btndrawstored") {
    DrawStoredFromUnit();
  } else if (lower == "btngetlimit") {
    marker_->RefreshLimits();
    DrawGrid();
  } else if (lower == "btnsetting") {
    ToggleSettingPanel();
  } else if (lower == "btnemcmode") {
    ApplyMode();
  } else if (lower == "btnquit") {
    ConfirmExit();
  } else if (lower == "btncontrol") {
    ToggleControlPanel();
  } else if (lower == "btnsave") {
    SaveToPc();
  } else if (lower == "btnprint") {
    PrintView();
  }
  SyncToolbar();
}

void AnalyzerWindow::ToggleConnection() {
  links_.notifier.SetBusy(true);
  setup_.identified = false;
  try {
    if (Down("btnOpenCOM")) {
      Connect();
    } else {
      Disconnect();
    }
  } catch (const std::exception& error) {
    links_.notifier.ShowMessage(error.what(), MessageIcon::None);
    if (SelectedKind() == ConnectionKind::ComPort) {
      toolbar_["btnOpenCOM"].down = links_.serial->IsOpen();
    }
    marker_->setEnabled(true);
    SyncToolbar();
  }
  links_.notifier.SetBusy(false);
}

void AnalyzerWindow::Connect() {
  setup_.portText = setting_->Combo1->currentText().toStdString();
  setup_.gpibAddressText = setting_->cboGPIB->currentText().toStdString();
  const ConnectOutcome outcome = setup_.Connect();
  if (SelectedKind() == ConnectionKind::Usb) SyncUsbList();

  ToolbarButton& open = toolbar_["btnOpenCOM"];
  ToolbarButton& mode = toolbar_["btnEMCMode"];
  switch (outcome) {
    case ConnectOutcome::NoUsbDevice:
      open.down = false;
      mode.down = false;
      mode.visible = false;
      SyncToolbar();
      ApplyMode();
      return;
    case ConnectOutcome::Identified:
      SetToolbarConnected();
      marker_->setEnabled(true);
      open.toolTip = "Disconnect from PC";
      open.image = kImageConnected;
      break;
    case ConnectOutcome::NotIdentified:
      // The setup closed the serial port, emptied panel 1 and said "Communication Error!".
      open.down = false;
      open.toolTip = "Connect to PC";
      open.image = kImageDisconnected;
      SetToolbarDisconnected();
      if (!mode.down) toolbar_["btnDrawPCStored"].enabled = true;
      mode.down = false;
      mode.visible = false;
      ApplyMode();
      break;
  }
  SyncToolbar();

  links_.clock.ProcessEvents();
  if (!open.down) return;
  if (mode.down) {
    toolbar_["btnGetLimit"].enabled = false;
    toolbar_["btnGetTrace"].enabled = false;
    toolbar_["btnDrawPCStored"].enabled = false;
    emi_->cboStd_Click();
  }
  mode.visible = true;
  SyncToolbar();
  if (setup_.connectCount == 1 && DontShowEMISteps == 0 && showEmiSteps) showEmiSteps();
  control_->FillRBWList();
  refresh_.GetTrace(false, true);
  control_->CopySettingsToControls();
}

void AnalyzerWindow::Disconnect(bool keepDisplay) {
  // A refresh running inside a wait ends at its next step and writes nothing.
  if (refresh_.TraceBusy) transport_.stopRequested = true;
  ToolbarButton& control = toolbar_["btnControl"];
  control.down = false;
  control.enabled = false;
  ToggleControlPanel();
  ToolbarButton& trace = toolbar_["btnGetTrace"];
  const bool acquiring = trace.down;
  if (acquiring) {
    transport_.stopRequested = true;
    trace.down = false;
    trace.toolTip = "Recording";
    trace.image = kImageRecordingIdle;
  }
  setup_.Disconnect(acquiring);
  if (!keepDisplay) ZeroTraces();
  marker_->setEnabled(false);
  SetToolbarDisconnected();
  if (!EmiMode()) toolbar_["btnDrawPCStored"].enabled = true;
  ToolbarButton& open = toolbar_["btnOpenCOM"];
  open.toolTip = "Connect to PC";
  open.image = kImageDisconnected;
  SyncToolbar();
}

void AnalyzerWindow::OnLinkLost() {
  ToolbarButton& open = toolbar_["btnOpenCOM"];
  if (!open.down) return;
  const std::string link = transport_.LinkName();
  open.down = false;
  Disconnect(true);
  DrawGrid();
  links_.notifier.ShowMessage("The connection to the analyzer on " + link + " was lost.",
                              MessageIcon::Warning);
}

void AnalyzerWindow::ZeroTraces() {
  state_.markerTrace.fill(0);
  for (RawTrace& trace : state_.liveTraces) {
    for (std::int16_t& point : trace.Points()) point = 0;
  }
  for (RawTrace& trace : state_.storedTraces) trace.SetValid(false);
}

void AnalyzerWindow::ApplyMode() {
  emi_->ClearMeasurement();
  state_.markerTrace.fill(0);
  for (RawTrace& trace : state_.liveTraces) {
    for (std::int16_t& point : trace.Points()) point = 0;
  }
  LayoutSettingPanel();
  toolbar_.ApplyModeButtons();
  if (EmiMode()) {
    control_->hide();
    state_.dbPerCount = kDbPerCount;
    marker_->MakeMarker(state_.backColor);
    emiDisplay_ = true;
  } else {
    marker_->HideHandles();
    state_.settings.Span = ModeSpanText(state_.settings.FreqStart, state_.settings.FreqStop);
    marker_->MakeMarker(state_.backColor);
    emiDisplay_ = false;
  }
  SyncToolbar();
  FollowWaterfallChoice();
  DrawGrid();
  LayoutMarkerPanel();
}

void AnalyzerWindow::ToggleSettingPanel() {
  LayoutSettingPanel();
  emi_->cboStd_Click();
  LayoutMarkerPanel();
  if (!Down("btnOpenCOM")) {
    setup_.RefreshUsbList();
    SyncUsbList();
  }
}

void AnalyzerWindow::ArrangeSettingPanel() {
  // Design-time places of the fixed parts; LayoutSettingPanel moves the rest.
  SettingPanel& s = *setting_;
  const int margin = Twips(90);
  const int top = s.fontMetrics().height() + margin;
  int width = 0;
  for (QWidget* part :
       {static_cast<QWidget*>(s.fraPort), static_cast<QWidget*>(s.fraFile),
        static_cast<QWidget*>(s.fraSASetting), static_cast<QWidget*>(s.fraEMCSetting)}) {
    part->adjustSize();
    width = std::max(width, part->width());
  }
  width = std::max(width, s.cmdEMISteps->width() + s.cmdDefaultSetting->width() +
                              s.cmdOK1->width() + Twips(240));
  for (QWidget* part :
       {static_cast<QWidget*>(s.fraPort), static_cast<QWidget*>(s.fraFile),
        static_cast<QWidget*>(s.fraSASetting), static_cast<QWidget*>(s.fraEMCSetting)}) {
    part->resize(width, part->height());
  }
  s.fraPort->move(margin, top);
  s.fraFile->move(margin, s.fraPort->geometry().bottom() + 1);
  s.fraSASetting->move(margin, s.fraFile->geometry().bottom() + 1);
  s.fraEMCSetting->move(margin, s.fraFile->geometry().bottom() + 1);
  s.cmdOK1->move(margin + width - s.cmdOK1->width(), s.fraSASetting->geometry().bottom());
  s.resize(width + 2 * margin, s.cmdOK1->geometry().bottom() + Twips(40));
  s.move(s.x(), toolbar1_->sizeHint().height());
}

void AnalyzerWindow::LayoutSettingPanel() {
  SettingPanel& s = *setting_;
  if (!Down("btnSetting")) {
    s.hide();
    s.fraEMCSetting->hide();
    s.cmdOpenStorage->setEnabled(false);
    return;
  }
  s.show();
  s.move(width() - s.width() - Twips(kPanelMargin), s.y());
  s.raise();
  QWidget* part = s.fraSASetting;
  if (EmiMode()) {
    s.fraSASetting->hide();
    s.fraEMCSetting->show();
    s.cmdOpenStorage->setEnabled(true);
    part = s.fraEMCSetting;
  } else {
    s.fraEMCSetting->hide();
    s.fraSASetting->move(s.fraSASetting->x(), s.fraFile->y() + s.fraFile->height());
    s.fraSASetting->show();
  }
  part->raise();
  s.cmdOK1->move(s.cmdOK1->x(), part->y() + part->height() + Twips(15));
  s.cmdDefaultSetting->move(s.cmdOK1->x() - s.cmdDefaultSetting->width() - Twips(120),
                            s.cmdOK1->y());
  if (EmiMode()) {
    s.cmdEMISteps->move(Twips(60), s.cmdOK1->y());
    s.cmdEMISteps->show();
  } else {
    s.cmdEMISteps->hide();
  }
  s.resize(s.width(), s.cmdOK1->y() + s.cmdOK1->height() + Twips(40));
}

void AnalyzerWindow::LayoutMarkerPanel() {
  if (!Down("btnMarker")) {
    marker_->hide();
    fraEMCMarker_->hide();
    return;
  }
  QWidget* shown = EmiMode() ? static_cast<QWidget*>(fraEMCMarker_) : marker_;
  QWidget* hidden = EmiMode() ? static_cast<QWidget*>(marker_) : fraEMCMarker_;
  shown->adjustSize();
  int left = width() - shown->width() - Twips(kPanelMargin);
  if (!setting_->isHidden()) left -= setting_->width();
  shown->move(left, toolbar1_->sizeHint().height());
  shown->show();
  shown->raise();
  hidden->hide();
}

void AnalyzerWindow::ToggleControlPanel() {
  if (Down("btnControl")) {
    control_->adjustSize();
    if (!control_->isVisible()) control_->move(Twips(kPanelMargin), toolbar1_->sizeHint().height());
    control_->show();
    control_->raise();
  } else {
    control_->hide();
  }
}

void AnalyzerWindow::ClearDisplay(bool repaint) {
  if (EmiMode()) {
    emi_->ClearMeasurement();
    state_.markerTrace.fill(-1);
  } else {
    ZeroTraces();
    marker_->Limits() = LimitLines{};
    state_.higherLimitLoaded = false;
    state_.lowerLimitLoaded = false;
  }
  if (repaint) DrawGrid();
}

void AnalyzerWindow::ConfirmExit() {
  if (links_.notifier.ShowMessage("Do you really want to exit?", MessageIcon::Question,
                                  MessageButtons::YesNo) != MessageResult::Yes) {
    return;
  }
  if (links_.serial->IsOpen()) links_.serial->Close();
  SaveGlobalFlags();
  SaveSettings();
  settingsWritten_ = true;
  if (endProgram) endProgram();
}

void AnalyzerWindow::LoadGlobalFlags() {
  if (links_.settingsPath) {
    LoadGlobalFlagsFile(links_.settingsPath(QString::fromLatin1(kGlobalFlagsFileName)),
                        links_.notifier);
  }
}

void AnalyzerWindow::SaveGlobalFlags() {
  if (links_.settingsPath) {
    SaveGlobalFlagsFile(links_.settingsPath(QString::fromLatin1(kGlobalFlagsFileName)));
  }
}

void AnalyzerWindow::LoadSettings() {
  if (links_.settingsPath) {
    settingsStore_->Load(links_.settingsPath(QString::fromLatin1(kWindowSettingsFileName)));
  }
  // Written into the controls, the EMI choices have not run their handlers yet.
  emi_->ControlsRestored();
}

void AnalyzerWindow::SaveSettings() {
  if (links_.settingsPath) {
    settingsStore_->Save(links_.settingsPath(QString::fromLatin1(kWindowSettingsFileName)));
  }
}

void AnalyzerWindow::CaptureTrace() {
  // A port that went away while idle says so, rather than the capture doing nothing.
  if (transport_.CheckLinkLost()) {
    OnLinkLost();
    return;
  }
  if (EmiMode()) {
    emi_->Capture();
    return;
  }
  CaptureHooks hooks;
  hooks.toolbarWorking = [this] {
    toolbar_.SetWorking();
    SyncToolbar();
  };
  hooks.toolbarIdle = [this] {
    if (Down("btnOpenCOM")) toolbar_.SetConnected();
    SyncToolbar();
  };
  hooks.clearStopAndBuffer = [this] {
    transport_.stopRequested = false;
    transport_.receiveBuffer.clear();
  };
  hooks.drawGrid = [this] { DrawGrid(); };
  hooks.copySettingsToControls = [this] { control_->CopySettingsToControls(); };
  Capture(refresh_, state_, links_.notifier, hooks);
}

void AnalyzerWindow::DrawStoredFromUnit() {
  StoredDisplayHooks hooks;
  hooks.drawGrid = [this] { DrawGrid(); };
  hooks.drawStored = [this] { DrawGrid(); };
  FetchStoredTrace(transport_, setting_->Text1->text().toStdString(), state_, hooks);
}

void AnalyzerWindow::DrawGrid() {
  storedEmiShown_ = false;
  // The picture follows at the next paint; the marker table and handles follow now, so
  // the keys and handlers that read them see this repaint's values.
  drawnSettings_ = state_.settings;
  if (!emiDisplay_ && !state_.closing) {
    state_.UpdateMarkerTrace();
    if (state_.AnyMarkerEnabled() && state_.markerSourceLive) {
      marker_->Calculate(nullptr, state_.markerTrace);
    }
  }
  pic1_->update();
  if (waterfall_ != nullptr && !waterfall_->isHidden()) waterfall_->update();  // its range
}

void AnalyzerWindow::PaintGraph(Canvas& canvas) {
  if (emiDisplay_) {
    marker_->HideHandles();
    PaintEmiGraph(canvas);
    PaintStoredEmiTrace(canvas);
    return;
  }
  fraEMCMarker_->HideHandles();
  // A paint the window system asks for (an expose) shows the graph as it was last drawn:
  // settings read since then (a change cycle) wait for the next repaint, and the marker
  // handles, placed during the paint, stay on the drawn trace.
  std::swap(state_.settings, drawnSettings_);
  struct SwapBack {
    AnalyzerSettings& a;
    AnalyzerSettings& b;
    ~SwapBack() { std::swap(a, b); }
  } swapBack{state_.settings, drawnSettings_};
  GraphLayers layers = marker_->Layers();
  layers.processEvents = nullptr;  // no window events inside a paint
  vantrel::DrawGrid(canvas, state_, layers);
  const bool anyStored = std::any_of(state_.storedTraces.begin(), state_.storedTraces.end(),
                                     [](const RawTrace& t) { return t.Valid(); });
  if (!anyStored) return;
  vantrel::DrawStored(canvas, state_);
  // In "Storage" mode the markers read the stored trace named by the index box.
  if (!state_.markerSourceLive) {
    marker_->CalculateStorage(canvas, setting_->Text1->text().toStdString());
  }
}

FormState AnalyzerWindow::CurrentFormState() const {
  const auto* sub = qobject_cast<const QMdiSubWindow*>(parentWidget());
  const Qt::WindowStates states = sub != nullptr ? sub->windowState() : windowState();
  if (states & Qt::WindowMinimized) return FormState::Minimized;
  if (states & Qt::WindowMaximized) return FormState::Maximized;
  return FormState::Normal;
}

void AnalyzerWindow::FormResize(FormState formState) {
  toolbar1_->setGeometry(0, 0, width(), toolbar1_->sizeHint().height());
  if (formState == FormState::Minimized) return;
  const double dpi = Dpi();
  if (formState == FormState::Normal) {
    pic1_->setGeometry(TwipsToPixels(graphHome_.left(), dpi), TwipsToPixels(graphHome_.top(), dpi),
                       TwipsToPixels(graphHome_.width(), dpi),
                       TwipsToPixels(graphHome_.height(), dpi));
    state_.fontScale = 1;
  } else {
    const int toolbarHeight = toolbar1_->height();
    QRect place = pic1_->geometry();
    place.moveTo(0, toolbarHeight);
    if (toolbarHeight < height()) place.setHeight(height() - toolbarHeight);
    if (PixelsToTwips(width(), dpi) > 1500) place.setWidth(width());
    pic1_->setGeometry(place);
    pic1_->raise();
    const auto wanted =
        static_cast<float>(PixelsToTwips(pic1_->width(), dpi) / kFontScaleWidth * 0.65);
    state_.fontScale = GraphFontScale(wanted);
  }
  LayoutWaterfall();
  DrawGrid();
  LayoutSettingPanel();
  LayoutMarkerPanel();
}

float AnalyzerWindow::GraphFontScale(float wanted) const {
  // Measured with the picture's size and screen resolution on a scratch image.
  QImage probe(1, 1, QImage::Format_RGB32);
  const int dotsPerMeter = static_cast<int>(std::lround(pic1_->logicalDpiX() / 0.0254));
  probe.setDotsPerMeterX(dotsPerMeter);
  probe.setDotsPerMeterY(dotsPerMeter);
  QPainter painter(&probe);
  QtCanvas canvas(painter, QRectF(0, 0, pic1_->width(), pic1_->height()));
  return FittingFontScale(canvas, wanted);
}

void AnalyzerWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FormResize(CurrentFormState());
}

void AnalyzerWindow::StepSelectedMarker(int step) {
  if (EmiMode()) {
    fraEMCMarker_->StepSelectedMarker(step);
    return;
  }
  marker_->StepSelectedMarker(step);
}

void AnalyzerWindow::keyPressEvent(QKeyEvent* event) {
  const bool plain = PlainKey(event);
  if (plain && event->key() == Qt::Key_Left) {
    StepSelectedMarker(-1);
    return;
  }
  if (plain && event->key() == Qt::Key_Right) {
    StepSelectedMarker(1);
    return;
  }
  if (event->key() == Qt::Key_Escape && StopLive()) return;
  if (event->key() == Qt::Key_Escape && refresh_.TraceBusy) {
    transport_.stopRequested = true;  // the running refresh ends at its next step
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    // Escape closes the panel that has the keyboard, as its OK button would.
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && control_->isAncestorOf(focus)) {
      toolbar_["btnControl"].down = false;
      ToggleControlPanel();
    } else if (focus != nullptr && setting_->isAncestorOf(focus)) {
      toolbar_["btnSetting"].down = false;
      setting_->hide();
    } else if (focus != nullptr &&
               (marker_->isAncestorOf(focus) || fraEMCMarker_->isAncestorOf(focus))) {
      toolbar_["btnMarker"].down = false;
      LayoutMarkerPanel();
    }
    SyncToolbar();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool AnalyzerWindow::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) {
    marker_->MakeMarker(state_.backColor);
    DrawGrid();
  }
  return QWidget::event(e);
}

QString AnalyzerWindow::ShownToolTip(const QAction& action) {
  const QString keys = action.shortcut().toString(QKeySequence::NativeText);
  return keys.isEmpty() ? action.toolTip() : action.toolTip() + QStringLiteral(" (") + keys + ')';
}

bool AnalyzerWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    if (auto* face = qobject_cast<QToolButton*>(watched); face && face->defaultAction()) {
      QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(),
                         ShownToolTip(*face->defaultAction()), face);
      return true;
    }
  }
  if (e->type() == QEvent::MouseButtonPress && (watched == setting_ || watched == control_ ||
                                                watched == marker_ || watched == fraEMCMarker_)) {
    static_cast<QWidget*>(watched)->raise();
  }
  return QWidget::eventFilter(watched, e);
}

void AnalyzerWindow::closeEvent(QCloseEvent* event) {
  ClosingFlag = true;
  state_.closing = true;
  // No file stays open between actions, so there is none to close here. After Exit the
  // files were written already; writing them again would only repeat the same content.
  if (!settingsWritten_) {
    SaveGlobalFlags();
    SaveSettings();
  }
  QWidget::closeEvent(event);
}

}  // namespace vantrel

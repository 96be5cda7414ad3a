#include "app/emi_panel.h"
#include "app/standard_problems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/focus_rules.h"
#include "app/wheel_guard.h"
#include "app/setting_panel.h"
#include "display/canvas.h"
#include "display/graph_mapping.h"
#include "emi/emi_rules.h"
#include "util/format.h"
#include "util/notifier.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

void SelectText(QComboBox* box, const std::string& text) {
  const int i = box->findText(Q(text), Qt::MatchFixedString);  // any letter case
  if (i >= 0) box->setCurrentIndex(i);
}

}  // namespace

EmiPanel::EmiPanel(SettingPanel& panel, AnalyzerCommands& commands, Notifier& notifier,
                   Hooks hooks, std::shared_ptr<SharedEmi> shared)
    : QObject(&panel),
      EmiRefLevel(shared->refLevel),
      panel_(panel),
      notifier_(notifier),
      hooks_(std::move(hooks)),
      sequences_(commands),
      shared_(std::move(shared)),
      standard_(shared_->standard),
      results_(shared_->results) {
  sequences_.stopped = [this] { return hooks_.connected && !hooks_.connected(); };
  Build();
  Wire();
}

void EmiPanel::Build() {
  QGroupBox* frame = panel_.fraEMCSetting;
  auto* grid = qobject_cast<QGridLayout*>(frame->layout());
  updRefLvl = new QSpinBox(frame);
  updRefLvl->setObjectName(QStringLiteral("updRefLvl"));
  updRefLvl->setRange(77, 127);
  updRefLvl->setValue(107);
  // Only the arrows show: the value lives in txtReflvl.
  updRefLvl->setFixedWidth(updRefLvl->sizeHint().height());
  updRefLvl->setFocusPolicy(Qt::NoFocus);
  if (auto* number = updRefLvl->findChild<QLineEdit*>()) {
    QPalette hidden = number->palette();
    hidden.setColor(QPalette::Text, Qt::transparent);  // no sliver of a number beside the box
    number->setPalette(hidden);
  }
  grid->addWidget(updRefLvl, 3, 2);
  lblStd = new QLabel(QStringLiteral("Conducted Emission 0.15-30MHz"), frame);
  lblStd->setObjectName(QStringLiteral("lblStd"));
  lblStd->setWordWrap(true);
  grid->addWidget(lblStd, 5, 0, 1, 3);
  lblStdProblems = new QLabel(frame);
  lblStdProblems->setObjectName(QStringLiteral("lblStdProblems"));
  lblStdProblems->setWordWrap(true);
  lblStdProblems->setStyleSheet(QStringLiteral("color: #a00000"));
  lblStdProblems->hide();
  grid->addWidget(lblStdProblems, 6, 0, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("Detector:"), frame), 7, 0);
  cboEMCDetection = new QComboBox(frame);
  cboEMCDetection->setObjectName(QStringLiteral("cboEMCDetection"));
  grid->addWidget(cboEMCDetection, 7, 1, 1, 2);
  lblSpotCenter = new QLabel(QStringLiteral("Center Freq.:"), frame);
  lblSpotCenter->setObjectName(QStringLiteral("lblSpotCenter"));
  txtSpotCenter = new QLineEdit(QStringLiteral("15"), frame);
  txtSpotCenter->setObjectName(QStringLiteral("txtSpotCenter"));
  lblSpotMhz = new QLabel(QStringLiteral("MHz"), frame);
  lblSpotMhz->setObjectName(QStringLiteral("lblSpotMhz"));
  grid->addWidget(lblSpotCenter, 8, 0);
  grid->addWidget(txtSpotCenter, 8, 1);
  grid->addWidget(lblSpotMhz, 8, 2);
  ShowSpotControls(false);
  panel_.cmdEMISteps->setToolTip(QStringLiteral("Display EMI Step Page."));

  // The threshold raises a copy of each limit line on the EMI graph.
  chkThreshold = new QCheckBox(QStringLiteral("Threshold"), frame);
  chkThreshold->setObjectName(QStringLiteral("chkThreshold"));
  txtThreshold = new QLineEdit(QStringLiteral("0"), frame);
  txtThreshold->setObjectName(QStringLiteral("txtThreshold"));
  txtThreshold->installEventFilter(this);
  updThreshold = new QSpinBox(frame);
  updThreshold->setObjectName(QStringLiteral("updThreshold"));
  updThreshold->setRange(-static_cast<int>(kMaxThresholdDb), static_cast<int>(kMaxThresholdDb));
  const int row = grid->rowCount();
  grid->addWidget(chkThreshold, row, 0);
  grid->addWidget(txtThreshold, row, 1);
  grid->addWidget(updThreshold, row, 2);
  for (QWidget* control :
       {static_cast<QWidget*>(panel_.cboStd), static_cast<QWidget*>(panel_.cboEMCMode),
        static_cast<QWidget*>(cboEMCDetection), static_cast<QWidget*>(updRefLvl),
        static_cast<QWidget*>(updThreshold)}) {
    IgnoreWheelWithoutFocus(control);
  }
}

std::optional<double> EmiPanel::ThresholdIn(const QString& text) {
  const std::string t = S(text);
  if (!IsNumeric(t)) return std::nullopt;
  const double value = NumericValue(t);
  if (!(std::fabs(value) <= kMaxThresholdDb)) return std::nullopt;
  return value;
}

bool EmiPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtThreshold && FocusLeavesForAControl(event) && !RefusalGuard::Active() &&
      !ThresholdIn(txtThreshold->text())) {
    // Refused: the message, and the focus back at once.
    const RefusalGuard guard;
    notifier_.ShowMessage("Threshold range is from -80 to 80!\r\nPlease key in a correct number.",
                          MessageIcon::None);
    txtThreshold->setFocus(Qt::OtherFocusReason);
  }
  return QObject::eventFilter(watched, event);
}

void EmiPanel::FillGraph(EmiGraphState& st, const EmiResults* shown) const {
  st.standard = &standard_;
  st.results = shown ? shown : &results_;
  st.modeText = ModeText();
  st.wideRangeScan = WideRangeScan();
  st.spotCenter = NumericValue(S(txtSpotCenter->text()));
  // A measurement keeps the reference level it was taken with: its counts lie below that
  // level, so the labels and limit lines stay in its frame until the next measurement.
  st.emiRefLevel = st.results->trace.empty() ? EmiRefLevel : st.results->refLevel;
  st.rbwText = rbwText;
  st.thresholdOn = chkThreshold->isChecked();
  st.threshold = threshold_;
  UpdateEmiMarkerPoints(st);
}

void EmiPanel::Wire() {
  // A pick always loads what the list shows (the user can pick only with the panel open;
  // the settings file picks with it closed).
  connect(panel_.cboStd, &QComboBox::activated, this, [this] { ApplySelectedStandard(); });
  connect(panel_.cboEMCMode, &QComboBox::activated, this, [this] { ModeClicked(); });
  connect(panel_.cboEMCMode, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    rbwText = ToLower(S(t)) == "radiation" ? "120KHz" : "9KHz";
    RedrawIfVisible();
  });
  connect(cboEMCDetection, &QComboBox::textActivated, this,
          [this](const QString& t) { standard_.detection = S(t); });
  connect(panel_.optPrescan, &QRadioButton::clicked, this, [this] {
    if (hooks_.clearDisplay) hooks_.clearDisplay();
    ShowSpotControls(false);
    LoadStandard();
    RedrawIfVisible();
  });
  connect(panel_.optSpot, &QRadioButton::clicked, this, [this] {
    ShowSpotControls(true);
    PrepareSinglePointTest();
  });
  connect(panel_.txtReflvl, &QLineEdit::textChanged, this, [this](const QString& t) {
    EmiRefLevel = NumericValue(S(t));
    FollowRefLevelText();
  });
  connect(panel_.txtReflvl, &QLineEdit::editingFinished, this, [this] {
    const double typed = NumericValue(S(panel_.txtReflvl->text()));
    const double kept = ClampTypedRefLevel(typed);
    if (kept != typed) panel_.txtReflvl->setText(Q(FormatShortest(kept)));
    EmiRefLevel = NumericValue(S(panel_.txtReflvl->text()));
  });
  connect(updRefLvl, &QSpinBox::valueChanged, this, [this](int value) {
    // The spinner steps the reference level box it sits beside.
    panel_.txtReflvl->setText(QString::number(ClampSpinRefLevel(value)));
    if (hooks_.clearDisplay) hooks_.clearDisplay();
    if (hooks_.redraw) hooks_.redraw();
  });
  connect(chkThreshold, &QCheckBox::toggled, this, [this] { RedrawIfVisible(); });
  connect(txtThreshold, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (const auto value = ThresholdIn(text)) {
      threshold_ = *value;
      RedrawIfVisible();
    }
  });
  connect(updThreshold, &QSpinBox::valueChanged, this, [this](int value) {
    txtThreshold->setText(QString::number(value));
  });
  connect(panel_.cmdEMISteps, &QPushButton::clicked, this, [this] {
    if (hooks_.showEmiSteps) hooks_.showEmiSteps();
  });
  connect(txtSpotCenter, &QLineEdit::returnPressed, this, [this] {
    if (hooks_.capture) hooks_.capture();
  });
}

std::string EmiPanel::ModeText() const { return S(panel_.cboEMCMode->currentText()); }

bool EmiPanel::WideRangeScan() const { return panel_.optPrescan->isChecked(); }

void EmiPanel::RedrawIfVisible() {
  if (hooks_.redraw && (!hooks_.windowVisible || hooks_.windowVisible())) hooks_.redraw();
}

void EmiPanel::Load() {
  ClearMeasurement();
  standard_.lowerPresent = false;
  standard_.upperPresent = false;
  ReadStdTitle();
  LoadStandard();
  panel_.txtReflvl->setText(Q(FormatShortest(EmiRefLevel)));
}

void EmiPanel::ListForMode() {
  panel_.cboStd->clear();
  entries_.clear();
  const std::vector<StandardFile> files =
      hooks_.standardFiles ? hooks_.standardFiles() : std::vector<StandardFile>{};
  StandardListing listing = ListStandards(files, ModeText());
  ShowStandardProblems(lblStdProblems, listing.problems);
  entries_ = std::move(listing.entries);
  for (const StandardEntry& e : entries_) panel_.cboStd->addItem(Q(e.name));
  panel_.cboStd->setCurrentIndex(-1);
  if (entries_.empty()) lblStd->clear();
}

void EmiPanel::ReadStdTitle() {
  ListForMode();
  if (entries_.empty()) return;
  panel_.cboStd->setCurrentIndex(0);
  lblStd->setText(Q(entries_[0].description));
  cboStd_Click();
}

void EmiPanel::LoadStandard() {
  const int i = panel_.cboStd->currentIndex();
  if (i < 0 || i >= static_cast<int>(entries_.size())) return;
  if (hooks_.readStandard) ParseStandard(hooks_.readStandard(entries_[i].path).bytes, standard_);
  const DetectorChoice choice =
      AdjustDetector(WideRangeScan() ? EmiTestType::WideRangeScan : EmiTestType::SinglePointTest,
                     S(cboEMCDetection->currentText()), standard_.detection);
  standard_.detection = choice.detection;
  if (choice.list) FillDetectionList(*choice.list);
  SelectText(cboEMCDetection, standard_.detection);
}

void EmiPanel::FillDetectionList(const std::vector<std::string>& names) {
  cboEMCDetection->clear();
  for (const std::string& name : names) cboEMCDetection->addItem(Q(Trim(name)));
}

void EmiPanel::cboStd_Click() {
  if (!hooks_.settingAndEmiDown || !hooks_.settingAndEmiDown()) return;
  ApplySelectedStandard();
}

void EmiPanel::ApplySelectedStandard() {
  if (auto spot = SpotCenterForMode(ModeText(), S(txtSpotCenter->text()))) {
    txtSpotCenter->setText(Q(*spot));
  }
  const int i = panel_.cboStd->currentIndex();
  if (i < 0 || i >= static_cast<int>(entries_.size())) return;
  lastChoice_[ToLower(ModeText())] = entries_[i].path;
  lblStd->setText(Q(entries_[i].description));
  if (hooks_.clearDisplay) hooks_.clearDisplay();
  LoadStandard();
  panel_.txtReflvl->setText(Q(FormatShortest(EmiRefLevel)));
  SelectText(panel_.cboEMCMode, standard_.emiMode);
  if (panel_.optSpot->isChecked()) {
    SelectText(panel_.cboEMCMode,
               SetSpotWindow(standard_, NumericValue(S(txtSpotCenter->text()))));
  }
  RedrawIfVisible();
}

void EmiPanel::RelistSameRegulation() {
  const int i = panel_.cboStd->currentIndex();
  std::optional<StandardEntry> current;
  if (i >= 0 && i < static_cast<int>(entries_.size())) current = entries_[i];
  ListForMode();
  const auto remembered = lastChoice_.find(ToLower(ModeText()));
  const int pick = ChooseStandard(entries_, current ? &*current : nullptr,
                                  remembered == lastChoice_.end() ? "" : remembered->second);
  if (pick < 0) return;
  panel_.cboStd->setCurrentIndex(pick);
  ApplySelectedStandard();
}

void EmiPanel::ControlsRestored() {
  ShowSpotControls(panel_.optSpot->isChecked());
  ApplySelectedStandard();
}

void EmiPanel::ModeClicked() {
  const std::string mode = ModeText();
  rbwText = ToLower(mode) == "radiation" ? "120KHz" : "9KHz";
  if (!(ToLower(mode) == ToLower(standard_.emiMode) && WideRangeScan())) {
    if (hooks_.clearDisplay) hooks_.clearDisplay();
    RelistSameRegulation();
  }
  RedrawIfVisible();
}

void EmiPanel::ShowSpotControls(bool visible) {
  lblSpotCenter->setVisible(visible);
  txtSpotCenter->setVisible(visible);
  lblSpotMhz->setVisible(visible);
  // The EMI frame grows or shrinks by the row, so the rows above keep their room.
  QGroupBox* frame = panel_.fraEMCSetting;
  frame->resize(frame->width(), frame->sizeHint().height());
  if (hooks_.relayout) hooks_.relayout();
}

void EmiPanel::PrepareSinglePointTest() {
  const double spot = NumericValue(S(txtSpotCenter->text()));
  SelectText(panel_.cboEMCMode, spot > 30 ? "Radiation" : "Conducted");
  RelistSameRegulation();
  SelectText(panel_.cboEMCMode, SetSpotWindow(standard_, spot));
  RedrawIfVisible();
}

void EmiPanel::ClearMeasurement() {
  results_.trace.clear();
  for (EmiPoint& p : results_.markerPoints) p = {0, kNoLevel, -1};
  // The sweep the linear graph draws and its markers read: no reading anywhere.
  results_.liveBuffer.assign(kEmiTracePoints, -1);
}

void EmiPanel::SetMeasuring(bool measuring) {
  for (QWidget* control :
       {static_cast<QWidget*>(panel_.cboStd), static_cast<QWidget*>(panel_.cboEMCMode),
        static_cast<QWidget*>(cboEMCDetection), static_cast<QWidget*>(panel_.optPrescan),
        static_cast<QWidget*>(panel_.optSpot), static_cast<QWidget*>(panel_.txtReflvl),
        static_cast<QWidget*>(updRefLvl), static_cast<QWidget*>(txtSpotCenter),
        static_cast<QWidget*>(panel_.cmdDefaultSetting)}) {
    control->setEnabled(!measuring);
  }
  if (measuring && hooks_.toolbarWorking) hooks_.toolbarWorking();
  if (!measuring && hooks_.toolbarIdle) hooks_.toolbarIdle();
}

void EmiPanel::FollowRefLevelText() {
  const double level = NumericValue(S(panel_.txtReflvl->text()));
  const QSignalBlocker block(updRefLvl);  // following the box is no step
  updRefLvl->setValue(ClampSpinRefLevel(static_cast<int>(std::clamp<std::int64_t>(
      RoundHalfEven(level), std::numeric_limits<int>::min(), std::numeric_limits<int>::max()))));
}

std::optional<double> EmiPanel::MeasureSpot(double mhz, const std::string& detector) {
  if (sequences_.Running()) return std::nullopt;
  LimitStandard spot = standard_;
  SetSpotWindow(spot, mhz);
  spot.detection = detector;
  EmiResults measured;
  // The final measurement of the scan in force, at the scan's reference level.
  const double refLevel = results_.trace.empty() ? EmiRefLevel : results_.refLevel;
  SetMeasuring(true);
  const EmiOutcome outcome = sequences_.RunSinglePointTest(spot, refLevel, measured);
  SetMeasuring(false);
  if (outcome != EmiOutcome::Done) return std::nullopt;
  std::optional<double> highest;
  for (const EmiPoint& p : measured.trace) {
    if (std::isfinite(p.level) && p.level < kNoLevel && (!highest || p.level > *highest)) highest = p.level;
  }
  return highest;
}

void EmiPanel::EMC_GetTrace() {
  if (!hooks_.connected || !hooks_.connected()) return;
  if (entries_.empty()) {
    notifier_.ShowMessage("There is no limit standard for the mode \"" + ModeText() +
                              "\" in the standard folder, so nothing was measured.",
                          MessageIcon::Warning);
    return;
  }
  if (!WideRangeScan()) PrepareSinglePointTest();
  // The sequence takes its own copy of the standard and the reference level here.
  SetMeasuring(true);
  EmiOutcome outcome;
  if (!WideRangeScan()) {
    outcome = sequences_.RunSinglePointTest(standard_, EmiRefLevel, results_);
  } else if (ToLower(ModeText()) == "conducted") {
    outcome = sequences_.RunConductedScan(standard_, EmiRefLevel, results_);
  } else {
    outcome = sequences_.RunRadiatedScan(standard_, EmiRefLevel, results_);
  }
  SetMeasuring(false);
  if (outcome != EmiOutcome::Done) return;
  if (!results_.header.rbw.empty()) rbwText = results_.header.rbw;
  if (hooks_.measurementReplaced) hooks_.measurementReplaced();
}

void EmiPanel::Capture() {
  if (hooks_.linkReady && !hooks_.linkReady()) return;
  // Enter in the spot centre box is not blocked by the toolbar: one sequence at a time.
  if (sequences_.Running()) return;
  notifier_.SetBusy(true);
  EMC_GetTrace();
  if (hooks_.redraw) hooks_.redraw();
  if (hooks_.toolbarIdle) hooks_.toolbarIdle();
  notifier_.SetBusy(false);
}

}  // namespace vantrel

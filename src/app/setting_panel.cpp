#include "app/setting_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/control_panel_rules.h"
#include "app/focus_rules.h"
#include "app/folder_picker.h"
#include "app/pick_only_combo.h"
#include "app/process_globals.h"
#include "display/capture.h"
#include "display/display_state.h"
#include "util/notifier.h"
#include "util/format.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

std::string S(const QString& text) {
  return text.toStdString();
}

// A colour swatch shows its colour as the label's back colour.
void PaintSwatch(QLabel* swatch, Rgb colour) {
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
  swatch->setPalette(palette);
}

// A click on a swatch, or Space or Enter while it has the focus, opens its colour dialog.
bool SwatchActivated(QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) return true;
  if (event->type() != QEvent::KeyPress) return false;
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

QComboBox* MakeCombo(const char* name, const QStringList& items, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(true);
  ActOnPicksOnly(combo);  // typed text is checked when the focus leaves, never picked
  combo->addItems(items);
  return combo;
}

}  // namespace

SettingPanel::SettingPanel(DisplayState& state, Notifier& notifier, QWidget* parent)
    : QGroupBox(QStringLiteral("Setting"), parent), state_(state), notifier_(notifier) {
  setObjectName(QStringLiteral("fraSetting"));
  BuildPort();
  BuildFile();
  BuildSa();
  BuildEmi();
  cmdOK1 = new QPushButton(QStringLiteral("OK"), this);
  cmdOK1->setObjectName(QStringLiteral("cmdOK1"));
  cmdDefaultSetting = new QPushButton(QStringLiteral("Default"), this);
  cmdDefaultSetting->setObjectName(QStringLiteral("cmdDefaultSetting"));
  cmdEMISteps = new QPushButton(QStringLiteral("Display EMI Step Page."), this);
  cmdEMISteps->setObjectName(QStringLiteral("cmdEMISteps"));
  for (QPushButton* b : {cmdOK1, cmdDefaultSetting, cmdEMISteps}) b->adjustSize();
  for (QWidget* field : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(cboSamplingRate),
                         static_cast<QWidget*>(Text1), static_cast<QWidget*>(Label3)}) {
    field->installEventFilter(this);
  }
}

void SettingPanel::BuildPort() {
  fraPort = new QGroupBox(QStringLiteral("Connection Port"), this);
  fraPort->setObjectName(QStringLiteral("fraPort"));
  auto* grid = new QGridLayout(fraPort);
  OptCOM = new QRadioButton(QStringLiteral("COM port"), fraPort);
  OptCOM->setObjectName(QStringLiteral("OptCOM"));
  optUSB = new QRadioButton(QStringLiteral("USB"), fraPort);
  optUSB->setObjectName(QStringLiteral("optUSB"));
  optGPIB = new QRadioButton(QStringLiteral("GPIB"), fraPort);
  optGPIB->setObjectName(QStringLiteral("optGPIB"));
  Combo1 = MakeCombo("Combo1", {}, fraPort);
  for (int i = 1; i <= 16; ++i) Combo1->addItem(QString::number(i));
  cboUSB = new QComboBox(fraPort);
  cboUSB->setObjectName(QStringLiteral("cboUSB"));
  cboGPIB = new QComboBox(fraPort);
  cboGPIB->setObjectName(QStringLiteral("cboGPIB"));
  grid->addWidget(OptCOM, 0, 0);
  grid->addWidget(new QLabel(QStringLiteral("Port:"), fraPort), 0, 1);
  grid->addWidget(Combo1, 0, 2);
  grid->addWidget(optUSB, 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("Dev:"), fraPort), 1, 1);
  grid->addWidget(cboUSB, 1, 2);
  grid->addWidget(optGPIB, 2, 0);
  grid->addWidget(new QLabel(QStringLiteral("Addr:"), fraPort), 2, 1);
  grid->addWidget(cboGPIB, 2, 2);

  // A pick names a listed port; typed text is only checked when the focus leaves.
  connect(Combo1, &QComboBox::activated, this, [this](int index) {
    const std::string item = S(Combo1->itemText(index));
    if (!CheckPortNumber(item)) ComPortNumber = RoundToInt16(NumericValue(item));
  });
  connect(cboUSB, &QComboBox::activated, this, [this](int index) {
    if (usbPicked) usbPicked(index);
  });
}

void SettingPanel::BuildFile() {
  fraFile = new QGroupBox(QStringLiteral("File save as"), this);
  fraFile->setObjectName(QStringLiteral("fraFile"));
  auto* grid = new QGridLayout(fraFile);
  const char* captions[] = {"JPG File", "BMP File", "Text File", "PNG File"};
  for (int i = 0; i < 4; ++i) {
    optSave[i] = new QRadioButton(QString::fromLatin1(captions[i]), fraFile);
    optSave[i]->setObjectName(QStringLiteral("optSave_%1").arg(i));  // a control array
    optSave[i]->setProperty("index", i);
    grid->addWidget(optSave[i], i / 3, i % 3);
  }
  optSave[0]->setChecked(true);
}

void SettingPanel::BuildSa() {
  fraSASetting = new QGroupBox(this);
  fraSASetting->setObjectName(QStringLiteral("fraSASetting"));
  auto* grid = new QGridLayout(fraSASetting);
  grid->addWidget(new QLabel(QStringLiteral("Sampling rate:"), fraSASetting), 0, 0);
  cboSamplingRate = MakeCombo("cboSamplingRate",
                              {"1", "2", "5", "10", "15", "20", "25", "30", "60"}, fraSASetting);
  grid->addWidget(cboSamplingRate, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Sec."), fraSASetting), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Recording limit:"), fraSASetting), 1, 0);
  cboRecordingLimit =
      MakeCombo("cboRecordingLimit", {"None", "10", "30", "60", "100", "300", "600"}, fraSASetting);
  grid->addWidget(cboRecordingLimit, 1, 1);
  cboRecLimitUnit = MakeCombo("cboRecLimitUnit", {"Sec.", "Min.", "Hr."}, fraSASetting);
  grid->addWidget(cboRecLimitUnit, 1, 2);

  grid->addWidget(new QLabel(QStringLiteral("Recording folder:"), fraSASetting), 2, 0, 1, 3);
  Drive1 = new DriveList(fraSASetting);
  grid->addWidget(Drive1, 3, 0, 1, 3);
  Dir1 = new FolderList(fraSASetting);
  Dir1->setMaximumHeight(Dir1->fontMetrics().height() * 6);
  grid->addWidget(Dir1, 4, 0, 1, 3);
  txtRecFolder = new QLineEdit(fraSASetting);
  txtRecFolder->setObjectName(QStringLiteral("txtRecFolder"));
  grid->addWidget(txtRecFolder, 5, 0, 1, 3);

  chkDebug = new QCheckBox(QStringLiteral("IO Message"), fraSASetting);
  chkDebug->setObjectName(QStringLiteral("chkDebug"));
  grid->addWidget(chkDebug, 6, 0);
  chkRecordingPeak = new QCheckBox(QStringLiteral("Recording Peak"), fraSASetting);
  chkRecordingPeak->setObjectName(QStringLiteral("chkRecordingPeak"));
  grid->addWidget(chkRecordingPeak, 6, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Memory:"), fraSASetting), 7, 0);
  Text1 = new QLineEdit(QStringLiteral("1"), fraSASetting);
  Text1->setObjectName(QStringLiteral("Text1"));
  grid->addWidget(Text1, 7, 1);
  Label3 = new QLabel(fraSASetting);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setAutoFillBackground(true);
  Label3->setMinimumSize(24, 16);
  Label3->setFocusPolicy(Qt::StrongFocus);  // Space or a click opens the colour dialog
  Label3->setToolTip(QStringLiteral("Colour of memory traces"));
  grid->addWidget(Label3, 7, 2);
  chkWaterfall = new QCheckBox(QStringLiteral("Waterfall"), fraSASetting);
  chkWaterfall->setObjectName(QStringLiteral("chkWaterfall"));
  grid->addWidget(chkWaterfall, 8, 0);
  cboWaterfallRows = MakeCombo("cboWaterfallRows", {"100", "200", "500", "1000"}, fraSASetting);
  cboWaterfallRows->setEditText(QStringLiteral("500"));
  cboWaterfallRows->setToolTip(QStringLiteral("Sweeps the waterfall keeps"));
  grid->addWidget(cboWaterfallRows, 8, 1);
  grid->addWidget(new QLabel(QStringLiteral("sweeps"), fraSASetting), 8, 2);

  connect(cboSamplingRate, &QComboBox::activated, this, [this](int index) {
    if (const auto rate = TypedSamplingRate(S(cboSamplingRate->itemText(index)))) {
      SamplingRate = *rate;
    }
  });
  connect(cboSamplingRate, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (const auto rate = TypedSamplingRate(S(text))) SamplingRate = *rate;
  });
  connect(Drive1, &DriveList::driveChanged, this,
          [this](const QString& drive) { Dir1->SetPath(drive); });
  connect(Dir1, &FolderList::pathChanged, this,
          [this](const QString& path) { txtRecFolder->setText(path); });
  connect(txtRecFolder, &QLineEdit::textChanged, this,
          [this](const QString& text) { RecordFolder = text; });
  connect(chkDebug, &QCheckBox::toggled, this, [this](bool checked) {
    if (checked && showDebugWindow) showDebugWindow();
  });
}

void SettingPanel::BuildEmi() {
  fraEMCSetting = new QGroupBox(QStringLiteral("EMI"), this);
  fraEMCSetting->setObjectName(QStringLiteral("fraEMCSetting"));
  auto* grid = new QGridLayout(fraEMCSetting);
  cboEMCMode = new QComboBox(fraEMCSetting);
  cboEMCMode->setObjectName(QStringLiteral("cboEMCMode"));
  grid->addWidget(cboEMCMode, 0, 0, 1, 2);
  cboStd = new QComboBox(fraEMCSetting);
  cboStd->setObjectName(QStringLiteral("cboStd"));
  grid->addWidget(cboStd, 1, 0, 1, 2);
  optPrescan = new QRadioButton(QStringLiteral("Wide Range Scan"), fraEMCSetting);
  optPrescan->setObjectName(QStringLiteral("optPrescan"));
  optPrescan->setChecked(true);
  optSpot = new QRadioButton(QStringLiteral("Single Point Test"), fraEMCSetting);
  optSpot->setObjectName(QStringLiteral("optSpot"));
  grid->addWidget(optPrescan, 2, 0);
  grid->addWidget(optSpot, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("Ref. level (dBuV):"), fraEMCSetting), 3, 0);
  txtReflvl = new QLineEdit(fraEMCSetting);
  txtReflvl->setObjectName(QStringLiteral("txtReflvl"));
  grid->addWidget(txtReflvl, 3, 1);
  // A wave text file drawn once over the EMI graph, in the swatch's colour.
  grid->addWidget(new QLabel(QStringLiteral("File:"), fraEMCSetting), 9, 0);
  txtOFileName = new QLineEdit(fraEMCSetting);
  txtOFileName->setObjectName(QStringLiteral("txtOFileName"));
  grid->addWidget(txtOFileName, 9, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Color:"), fraEMCSetting), 10, 0);
  lblColor = new QLabel(fraEMCSetting);
  lblColor->setObjectName(QStringLiteral("lblColor"));
  lblColor->setAutoFillBackground(true);
  lblColor->setMinimumSize(24, 16);
  lblColor->setFocusPolicy(Qt::StrongFocus);  // Space or a click opens the colour dialog
  lblColor->installEventFilter(this);
  grid->addWidget(lblColor, 10, 1);
  SetWaveColor(MakeRgb(128, 255, 255));
  cmdOpenStorage = new QPushButton(QStringLiteral("Open File and Draw"), fraEMCSetting);
  cmdOpenStorage->setObjectName(QStringLiteral("cmdOpenStorage"));
  grid->addWidget(cmdOpenStorage, 11, 1, 1, 2);
}

void SettingPanel::SetWaveColor(Rgb colour) {
  PaintSwatch(lblColor, colour);
}

Rgb SettingPanel::WaveColor() const {
  // The swatch is the one place the colour is kept, so the settings file's value shows.
  const QColor c = lblColor->palette().color(QPalette::Window);
  return MakeRgb(c.red(), c.green(), c.blue());
}

void SettingPanel::hideEvent(QHideEvent* event) {
  // A refused entry never outlives the panel: the field shows the value in force again.
  if (CheckPortNumber(S(Combo1->currentText()))) {
    Combo1->setEditText(QString::number(ComPortNumber));
  }
  if (CheckSamplingRate(S(cboSamplingRate->currentText()))) {
    cboSamplingRate->setEditText(QString::fromStdString(FormatShortest(SamplingRate)));
  }
  QGroupBox::hideEvent(event);
}

bool SettingPanel::eventFilter(QObject* watched, QEvent* event) {
  // Focus leaving a field because the panel closes is no validation: hideEvent restores it.
  if (event->type() == QEvent::FocusOut && !RefusalGuard::Active() && !isHidden()) {
    // Focus taken by a message box or a popup is not the user leaving the field.
    if (FocusLeavesForAControl(event)) {
      const RefusalGuard guard;
      bool ok = true;
      if (watched == Combo1) ok = ValidateCombo1();
      if (watched == cboSamplingRate) ok = ValidateSamplingRate();
      if (watched == Text1) ok = ValidateText1();
      // Back at once and still guarded: the field the focus was going to must not check
      // itself now, or two refused fields would pull the focus between them for ever.
      if (!ok) static_cast<QWidget*>(watched)->setFocus(Qt::OtherFocusReason);
    }
  } else if (watched == Label3 && SwatchActivated(event)) {
    PickColor();
    return true;
  } else if (watched == lblColor && SwatchActivated(event)) {
    if (waveColorClicked) waveColorClicked();
    return true;
  }
  return QGroupBox::eventFilter(watched, event);
}

bool SettingPanel::ValidateCombo1() {
  const auto refusal = CheckPortNumber(S(Combo1->currentText()));
  if (!refusal) return true;
  notifier_.ShowMessage(refusal->message, MessageIcon::None);
  if (refusal->text) Combo1->setEditText(QString::fromStdString(*refusal->text));
  return false;
}

bool SettingPanel::ValidateSamplingRate() {
  const auto refusal = CheckSamplingRate(S(cboSamplingRate->currentText()));
  if (!refusal) return true;
  notifier_.ShowMessage(refusal->message, MessageIcon::None);
  return false;
}

bool SettingPanel::ValidateText1() {
  std::string text = S(Text1->text());
  if (ValidateStoredIndex(text, state_, notifier_)) return true;
  Text1->setText(QString::fromStdString(text));
  return false;
}

void SettingPanel::PickColor() {
  PickStoredColor(state_, [this]() -> std::optional<Rgb> {
    if (!chooseColor) return std::nullopt;
    return chooseColor(state_.storedColor);
  });
  ShowStoredColor();
}

void SettingPanel::ShowStoredColor() {
  PaintSwatch(Label3, state_.storedColor);
}

void SettingPanel::SetFolder(const QString& folder) {
  if (!Dir1->SetPath(folder)) return;
  txtRecFolder->setText(Dir1->Path());
  Drive1->SetDriveOf(Dir1->Path());
}

}  // namespace vantrel

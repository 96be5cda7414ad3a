#include "app/control_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/pick_only_combo.h"
#include "app/wheel_guard.h"
#include "commands/analyzer_commands.h"
#include "display/display_state.h"
#include "display/trace_refresh.h"
#include "util/notifier.h"
#include "util/numbers.h"

namespace vantrel {

namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string S(const QString& text) {
  return text.toStdString();
}

QLineEdit* AddBox(QGridLayout* grid, int row, const char* caption, const char* name,
                  const char* text, QWidget* parent) {
  grid->addWidget(new QLabel(QString::fromUtf8(caption), parent), row, 0);
  auto* box = new QLineEdit(QString::fromUtf8(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  grid->addWidget(box, row, 1);
  return box;
}

QComboBox* MakeList(const char* name, const QStringList& items, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setEditable(true);  // shows whatever the analyzer reports, listed or not
  ActOnPicksOnly(list);      // but only a pick from the list sends a command
  list->addItems(items);
  list->setCurrentIndex(items.isEmpty() ? -1 : 0);
  return list;
}

// Pointer busy for the scope of a change.
class BusyPointer {
 public:
  explicit BusyPointer(Notifier& notifier) : notifier_(notifier) { notifier_.SetBusy(true); }
  ~BusyPointer() { notifier_.SetBusy(false); }

 private:
  Notifier& notifier_;
};

}  // namespace

ControlPanel::ControlPanel(AnalyzerCommands& commands, TraceRefresh& refresh, DisplayState& state,
                           Notifier& notifier, QWidget* parent)
    : QGroupBox(QStringLiteral("Control"), parent),
      commands_(commands),
      refresh_(refresh),
      state_(state),
      notifier_(notifier) {
  setObjectName(QStringLiteral("fraControl"));
  auto* layout = new QVBoxLayout(this);

  auto* freq = new QGroupBox(QStringLiteral("Frequence"), this);
  auto* freqGrid = new QGridLayout(freq);
  txtFreqStart_ = AddBox(freqGrid, 0, "Start:", "txtFreqStart", "1000.000", freq);
  txtFreqStop_ = AddBox(freqGrid, 1, "Stop:", "txtFreqStop", "3000.000", freq);
  txtFreqCenter_ = AddBox(freqGrid, 2, "Center:", "txtFreqCenter", "2000.000", freq);
  txtSpan_ = AddBox(freqGrid, 3, "Span:", "txtSpan", "1000.000", freq);
  for (int row = 0; row < 4; ++row) freqGrid->addWidget(new QLabel(QStringLiteral("MHz")), row, 2);
  layout->addWidget(freq);

  auto* amp = new QGroupBox(QStringLiteral("Amplitude"), this);
  auto* ampGrid = new QGridLayout(amp);
  txtAmpRefLevel_ = AddBox(ampGrid, 0, "Ref:", "txtAmpRefLevel", "-30.5", amp);
  updAmpRefLevel_ = new QSpinBox(amp);
  updAmpRefLevel_->setObjectName(QStringLiteral("updAmpRefLevel"));
  updAmpRefLevel_->setRange(kUpDownLowest, kUpDownHighest);
  updAmpRefLevel_->setSingleStep(1);
  updAmpRefLevel_->setValue(-30);
  // Only the arrows show: the value lives in txtAmpRefLevel.
  updAmpRefLevel_->setFixedWidth(updAmpRefLevel_->sizeHint().height());
  updAmpRefLevel_->setFocusPolicy(Qt::NoFocus);
  ampGrid->addWidget(updAmpRefLevel_, 0, 2);
  cboAmpUnit_ = MakeList("cboAmpUnit", {"dBm", "dBmV", "dBuV"}, amp);
  ampGrid->addWidget(cboAmpUnit_, 0, 3);
  ampGrid->addWidget(new QLabel(QStringLiteral("Scale:"), amp), 1, 0);
  cboAmpScale_ = MakeList("cboAmpScale", {"10", "5", "2", "1"}, amp);
  ampGrid->addWidget(cboAmpScale_, 1, 1);
  ampGrid->addWidget(new QLabel(QStringLiteral("dB/Div"), amp), 1, 2, 1, 2);
  layout->addWidget(amp);

  auto* bw = new QGroupBox(QStringLiteral("RBW/VBW"), this);
  auto* bwGrid = new QGridLayout(bw);
  bwGrid->addWidget(new QLabel(QStringLiteral("RBW:"), bw), 0, 0);
  cboRBW_ = MakeList("cboRBW", {}, bw);
  bwGrid->addWidget(cboRBW_, 0, 1);
  bwGrid->addWidget(new QLabel(QStringLiteral("VBW:"), bw), 1, 0);
  cboVBW_ = MakeList("cboVBW",
                     {"Auto", "1MHz", "300kHz", "100kHz", "30kHz", "10kHz", "3kHz", "1kHz", "300Hz",
                      "100Hz", "30Hz", "10Hz"},
                     bw);
  bwGrid->addWidget(cboVBW_, 1, 1);
  layout->addWidget(bw);

  cmdOKControl_ = new QPushButton(QStringLiteral("OK"), this);
  cmdOKControl_->setObjectName(QStringLiteral("cmdOKControl"));
  layout->addWidget(cmdOKControl_, 0, Qt::AlignRight);

  for (QLineEdit* box : {txtFreqStart_, txtFreqStop_, txtFreqCenter_, txtSpan_, txtAmpRefLevel_}) {
    box->installEventFilter(this);
  }
  for (QWidget* control : {static_cast<QWidget*>(cboAmpUnit_), static_cast<QWidget*>(cboAmpScale_),
                           static_cast<QWidget*>(cboRBW_), static_cast<QWidget*>(cboVBW_),
                           static_cast<QWidget*>(updAmpRefLevel_)}) {
    IgnoreWheelWithoutFocus(control);
  }
  for (QComboBox* list : {cboAmpUnit_, cboAmpScale_, cboRBW_, cboVBW_}) {
    connect(list, &QComboBox::activated, this, [this, list](int index) {
      list->setCurrentIndex(index);
      ListPick(list);
    });
  }
  connect(updAmpRefLevel_, &QSpinBox::valueChanged, this, &ControlPanel::UpDownStep);
  connect(cmdOKControl_, &QPushButton::clicked, this, &ControlPanel::OkClicked);
  setTabOrder(txtFreqStart_, txtFreqStop_);
  setTabOrder(txtFreqStop_, txtFreqCenter_);
  setTabOrder(txtFreqCenter_, txtSpan_);
  setTabOrder(txtSpan_, txtAmpRefLevel_);
  setTabOrder(txtAmpRefLevel_, cboAmpUnit_);
  setTabOrder(cboAmpUnit_, cboAmpScale_);
  setTabOrder(cboAmpScale_, cboRBW_);
  setTabOrder(cboRBW_, cboVBW_);
  setTabOrder(cboVBW_, cmdOKControl_);
  adjustSize();
}

bool ControlPanel::eventFilter(QObject* watched, QEvent* event) {
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (box == nullptr) return QGroupBox::eventFilter(watched, event);
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (box == txtAmpRefLevel_) {
        RefLevelEnter();
      } else {
        FrequencyEnter(box);
      }
      return true;
    }
  } else if (event->type() == QEvent::FocusOut) {
    if (box == txtAmpRefLevel_) {
      ValidateRefLevel();
    } else {
      ValidateFrequency(box);
    }
  }
  return QGroupBox::eventFilter(watched, event);
}

void ControlPanel::ChangeCycle(const PanelChange& change) {
  BusyPointer busy(notifier_);
  try {
    SendPanelChange(commands_, change, S(cboAmpUnit_->currentText()));
    refresh_.GetTrace(false, true);
    CopySettingsToControls();
  } catch (const std::exception& error) {
    notifier_.ShowMessage(error.what(), MessageIcon::Critical);
  }
}

void ControlPanel::FrequencyEnter(QLineEdit* box) {
  if (const auto clamped = ClampedFrequencyText(S(box->text()))) box->setText(Q(*clamped));
  const double value = BoxValue(S(box->text()));
  PanelCommand command = PanelCommand::FreqStart;
  if (box == txtFreqStop_) command = PanelCommand::FreqStop;
  if (box == txtFreqCenter_) command = PanelCommand::FreqCenter;
  if (box == txtSpan_) command = PanelCommand::Span;
  ChangeCycle({command, value, ""});
}

void ControlPanel::ValidateFrequency(QLineEdit* box) {
  if (const auto clamped = ClampedFrequencyText(S(box->text()))) box->setText(Q(*clamped));
  const double start = NumericValue(S(txtFreqStart_->text()));
  const double stop = NumericValue(S(txtFreqStop_->text()));
  if (box == txtFreqStart_ && stop < start) txtFreqStart_->setText(txtFreqStop_->text());
  if (box == txtFreqStop_ && start > stop) txtFreqStop_->setText(txtFreqStart_->text());
}

void ControlPanel::ClampRefLevelText() {
  if (const auto clamped =
          ClampedRefLevelText(S(txtAmpRefLevel_->text()), S(cboAmpUnit_->currentText()))) {
    txtAmpRefLevel_->setText(Q(*clamped));
  }
  const double value = NumericValue(S(txtAmpRefLevel_->text()));
  const QSignalBlocker block(updAmpRefLevel_);
  updAmpRefLevel_->setValue(static_cast<int>(
      std::clamp<std::int64_t>(RoundHalfEven(value), kUpDownLowest, kUpDownHighest)));
}

void ControlPanel::RefLevelEnter() {
  ClampRefLevelText();
  ChangeCycle({PanelCommand::RefLvl, BoxValue(S(txtAmpRefLevel_->text())), ""});
}

void ControlPanel::ValidateRefLevel() {
  ClampRefLevelText();
}

void ControlPanel::UpDownStep(int value) {
  txtAmpRefLevel_->setText(QString::number(value));
  ClampRefLevelText();
  if (suppress_ || !Connected()) return;
  ChangeCycle({PanelCommand::RefLvl, BoxValue(S(txtAmpRefLevel_->text())), ""});
}

void ControlPanel::ListPick(QComboBox* list) {
  if (suppress_ || !Connected()) return;
  const std::string text = S(list->currentText());
  if (list == cboAmpUnit_) {
    ChangeCycle({PanelCommand::AmpUnit, 0, text});
  } else if (list == cboAmpScale_) {
    ChangeCycle({PanelCommand::Scale, NumericValue(text), ""});
  } else if (list == cboRBW_) {
    ChangeCycle(RbwPick(text));
  } else if (list == cboVBW_) {
    ChangeCycle(VbwPick(text));
  }
}

PanelTexts ControlPanel::Texts() const {
  PanelTexts t;
  t.freqStart = S(txtFreqStart_->text());
  t.freqStop = S(txtFreqStop_->text());
  t.freqCenter = S(txtFreqCenter_->text());
  t.span = S(txtSpan_->text());
  t.refLevel = S(txtAmpRefLevel_->text());
  t.refLevelUpDown = updAmpRefLevel_->value();
  t.ampUnit = S(cboAmpUnit_->currentText());
  t.ampScale = S(cboAmpScale_->currentText());
  t.rbw = S(cboRBW_->currentText());
  t.vbw = S(cboVBW_->currentText());
  return t;
}

void ControlPanel::OkClicked() {
  {
    BusyPointer busy(notifier_);
    if (Connected()) {
      try {
        const std::vector<PanelChange> changes = ChangedFields(Texts(), state_.settings);
        const std::string unit = S(cboAmpUnit_->currentText());
        for (const PanelChange& change : changes) SendPanelChange(commands_, change, unit);
        if (!changes.empty()) {
          refresh_.GetTrace(false, true);
          CopySettingsToControls();
        }
      } catch (const std::exception& error) {
        notifier_.ShowMessage(error.what(), MessageIcon::Critical);
      }
    }
  }
  if (closed) closed();
}

void ControlPanel::CopySettingsToControls() {
  suppress_ = true;
  const PanelTexts t = PanelTextsOf(state_.settings);
  txtFreqStart_->setText(Q(t.freqStart));
  txtFreqStop_->setText(Q(t.freqStop));
  txtFreqCenter_->setText(Q(t.freqCenter));
  txtSpan_->setText(Q(t.span));
  txtAmpRefLevel_->setText(Q(t.refLevel));
  {
    const QSignalBlocker block(updAmpRefLevel_);  // the arrows' value follows, the text stays
    updAmpRefLevel_->setValue(t.refLevelUpDown);
  }
  cboAmpUnit_->setCurrentText(Q(t.ampUnit));
  cboAmpScale_->setCurrentText(Q(t.ampScale));
  cboRBW_->setCurrentText(Q(t.rbw));
  cboVBW_->setCurrentText(Q(t.vbw));
  suppress_ = false;
}

void ControlPanel::FillRBWList() {
  cboRBW_->clear();
  for (const std::string& item : RbwListItems()) cboRBW_->addItem(Q(item));
}

}  // namespace vantrel

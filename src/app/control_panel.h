#pragma once
// fraControl, the Control panel: frequency, amplitude and RBW/VBW fields that change
// the analyzer's settings one at a time (Enter, a pick, an arrow) or together (OK).
// Every change is followed by a settings re-read and a copy back into the fields.
#include <QGroupBox>
#include <functional>

#include "app/control_panel_rules.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vantrel {

class AnalyzerCommands;
class Notifier;
class TraceRefresh;
struct DisplayState;

class ControlPanel : public QGroupBox {
  Q_OBJECT
 public:
  ControlPanel(AnalyzerCommands& commands, TraceRefresh& refresh, DisplayState& state,
               Notifier& notifier, QWidget* parent = nullptr);

  // btnOpenCOM down.
  std::function<bool()> connected;
  // The OK button is done: btnControl up and the panel hidden.
  std::function<void()> closed;

  // Writes the analyzer's settings into the fields without sending anything.
  void CopySettingsToControls();
  void FillRBWList();
  bool SuppressControlEvents() const { return suppress_; }

  // Field actions, as the keyboard and the lists run them.
  void FrequencyEnter(QLineEdit* box);
  void ValidateFrequency(QLineEdit* box);
  void RefLevelEnter();
  void ValidateRefLevel();
  void UpDownStep(int value);
  void ListPick(QComboBox* list);
  void OkClicked();

  // The fields as the OK button reads them.
  PanelTexts Texts() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChangeCycle(const PanelChange& change);
  bool Connected() const { return connected && connected(); }
  void ClampRefLevelText();

  AnalyzerCommands& commands_;
  TraceRefresh& refresh_;
  DisplayState& state_;
  Notifier& notifier_;
  bool suppress_ = false;

  QLineEdit* txtFreqStart_ = nullptr;
  QLineEdit* txtFreqStop_ = nullptr;
  QLineEdit* txtFreqCenter_ = nullptr;
  QLineEdit* txtSpan_ = nullptr;
  QLineEdit* txtAmpRefLevel_ = nullptr;
  QSpinBox* updAmpRefLevel_ = nullptr;
  QComboBox* cboAmpUnit_ = nullptr;
  QComboBox* cboAmpScale_ = nullptr;
  QComboBox* cboRBW_ = nullptr;
  QComboBox* cboVBW_ = nullptr;
  QPushButton* cmdOKControl_ = nullptr;
};

}  // namespace vantrel

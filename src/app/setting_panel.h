#pragma once
// fraSetting, the Setting panel: connection port, file type for saving, the SA
// sub-panel (sampling rate, recording limit, recording folder, IO messages, stored
// trace colour and index) and the EMI sub-panel. The window places the parts
// (LayoutSettingPanel); the fields check their own input here.
#include <QGroupBox>
#include <QString>
#include <functional>
#include <optional>

#include "display/canvas.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantrel {

class DriveList;
class FolderList;
class Notifier;
struct DisplayState;

class SettingPanel : public QGroupBox {
  Q_OBJECT
 public:
  SettingPanel(DisplayState& state, Notifier& notifier, QWidget* parent = nullptr);

  // Acquisition and playback interval, seconds.
  double SamplingRate = 1;
  // Folder the recordings go to (txtRecFolder).
  QString RecordFolder;

  // The colour dialog of Label3; nullopt when cancelled.
  std::function<std::optional<Rgb>(Rgb current)> chooseColor;
  // chkDebug ticked: show the IO message window.
  std::function<void()> showDebugWindow;
  // cboUSB picked: the list index.
  std::function<void(int)> usbPicked;

  // Field checks run when the focus leaves a field; false keeps the focus there.
  bool ValidateCombo1();
  bool ValidateSamplingRate();
  bool ValidateText1();
  // Label3 clicked.
  void PickColor();
  // Shows the stored-trace colour on Label3.
  void ShowStoredColor();
  // Points Drive1, Dir1 and txtRecFolder at `folder` (Dir1 := folder, Drive1 := its drive).
  void SetFolder(const QString& folder);

  QGroupBox* fraPort = nullptr;
  QRadioButton* OptCOM = nullptr;
  QRadioButton* optUSB = nullptr;
  QRadioButton* optGPIB = nullptr;
  QComboBox* Combo1 = nullptr;
  QComboBox* cboUSB = nullptr;
  QComboBox* cboGPIB = nullptr;

  QGroupBox* fraFile = nullptr;
  QRadioButton* optSave[4] = {};  // JPG, BMP, text, PNG

  QGroupBox* fraSASetting = nullptr;
  QComboBox* cboSamplingRate = nullptr;
  QComboBox* cboRecordingLimit = nullptr;
  QComboBox* cboRecLimitUnit = nullptr;
  DriveList* Drive1 = nullptr;
  FolderList* Dir1 = nullptr;
  QLineEdit* txtRecFolder = nullptr;
  QCheckBox* chkDebug = nullptr;
  QCheckBox* chkRecordingPeak = nullptr;  // the five peaks of every sample to a .csv file
  QCheckBox* chkWaterfall = nullptr;      // the waterfall under the graph
  QComboBox* cboWaterfallRows = nullptr;  // sweeps the waterfall keeps
  QLabel* Label3 = nullptr;
  QLineEdit* Text1 = nullptr;

  QGroupBox* fraEMCSetting = nullptr;
  QComboBox* cboEMCMode = nullptr;
  QComboBox* cboStd = nullptr;
  QLineEdit* txtReflvl = nullptr;
  QRadioButton* optPrescan = nullptr;
  QRadioButton* optSpot = nullptr;
  QLineEdit* txtOFileName = nullptr;
  QLabel* lblColor = nullptr;
  QPushButton* cmdOpenStorage = nullptr;
  // lblColor's back colour: the colour of a drawn wave text file.
  Rgb WaveColor() const;
  void SetWaveColor(Rgb colour);
  // lblColor clicked (or Space on it).
  std::function<void()> waveColorClicked;

  QPushButton* cmdOK1 = nullptr;
  QPushButton* cmdDefaultSetting = nullptr;
  QPushButton* cmdEMISteps = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildPort();
  void BuildFile();
  void BuildSa();
  void BuildEmi();

  DisplayState& state_;
  Notifier& notifier_;
};

}  // namespace vantrel

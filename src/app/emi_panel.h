#pragma once
// The EMI part of the analyzer window: the standard list with its description and
// problems, the detector list, test type, spot centre and reference level controls of
// fraEMCSetting, and the capture action in EMI mode that runs a measurement sequence.
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "emi/emi_graph.h"
#include "emi/emi_sequences.h"
#include "emi/limit_standard.h"
#include "emi/shared_emi.h"
#include "emi/standard_list.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace vantrel {

inline constexpr double kMaxThresholdDb = 80;

class Canvas;
class Notifier;
class SettingPanel;

class EmiPanel : public QObject {
  Q_OBJECT
 public:
  struct Hooks {
    std::function<bool()> settingAndEmiDown;  // btnSetting and btnEMCMode both pressed
    std::function<bool()> connected;          // btnOpenCOM pressed
    std::function<bool()> linkReady;          // serial port open, or another transport
    std::function<bool()> windowVisible;
    std::function<void()> clearDisplay;  // the window's clear, without a repaint
    std::function<void()> redraw;
    std::function<void()> toolbarWorking;
    std::function<void()> toolbarIdle;
    std::function<void()> capture;  // the window's capture action
    std::function<void()> showEmiSteps;
    // A new measurement took the place of the last one: its markers go.
    std::function<void()> measurementReplaced;
    // The EMI frame changed its height: the Setting panel is laid out again.
    std::function<void()> relayout;
    // The standard folder's files, and one of them read again; none without them.
    std::function<std::vector<StandardFile>()> standardFiles;
    std::function<StandardFile(const std::string& path)> readStandard;
  };

  // `shared`: the standard, measurement and reference level this window shares with the
  // other model's EMI windows (never null).
  EmiPanel(SettingPanel& panel, AnalyzerCommands& commands, Notifier& notifier, Hooks hooks,
           std::shared_ptr<SharedEmi> shared);

  // Window load: empty measurement, no limits, the standards listed and loaded.
  void Load();
  void ReadStdTitle();
  void LoadStandard();
  // The user's pick in cboStd, and opening the Setting panel in EMI mode: acts only while
  // btnSetting and btnEMCMode are both down.
  void cboStd_Click();
  // The entry cboStd shows becomes the loaded standard, whatever panel is open: its
  // description, the display cleared, the file loaded, the mode and spot window after it.
  void ApplySelectedStandard();
  // Re-lists for the mode shown, keeping the user's standard where it is listed, else its
  // counterpart of the same regulation (ChooseStandard), and loads it.
  void RelistSameRegulation();
  // After the settings file or "Default" wrote the EMI controls: the spot controls, the
  // loaded standard and its detector follow what the controls show.
  void ControlsRestored();
  void FillDetectionList(const std::vector<std::string>& names);

  // The capture action in EMI mode, and the measurement it runs.
  void Capture();
  void EMC_GetTrace();
  void PrepareSinglePointTest();
  void ShowSpotControls(bool visible);
  // The EMI part of the clear-display operation.
  void ClearMeasurement();
  // What the EMI graph draws from: the standard, the measurement, the mode, the spot
  // centre, the reference level and the threshold (markers and colours are the window's).
  // `shown`: the measurement as the graph shows it (through correction tables); the
  // panel's own measurement without it.
  void FillGraph(EmiGraphState& st, const EmiResults* shown = nullptr) const;
  // A single-point test at `mhz` with `detector` on a copy of the standard, for the final
  // measurement of an emission: the highest level of its window, or none when it was
  // stopped or measured nothing.
  std::optional<double> MeasureSpot(double mhz, const std::string& detector);
  bool eventFilter(QObject* watched, QEvent* event) override;

  LimitStandard& Standard() { return standard_; }
  const std::vector<StandardEntry>& Entries() const { return entries_; }
  const EmiResults& Results() const { return results_; }
  EmiSequences& Sequences() { return sequences_; }
  bool WideRangeScan() const;

  double& EmiRefLevel;
  std::string rbwText = "9KHz";  // the graph header's RBW

  QLabel* lblStd = nullptr;
  QLabel* lblStdProblems = nullptr;
  QComboBox* cboEMCDetection = nullptr;
  QLabel* lblSpotCenter = nullptr;
  QLineEdit* txtSpotCenter = nullptr;
  QLabel* lblSpotMhz = nullptr;
  QSpinBox* updRefLvl = nullptr;
  QCheckBox* chkThreshold = nullptr;
  QLineEdit* txtThreshold = nullptr;
  QSpinBox* updThreshold = nullptr;

 private:
  void Build();
  void Wire();
  void ModeClicked();
  void RedrawIfVisible();
  std::string ModeText() const;
  // Fills cboStd and the entries for the mode shown; selects nothing.
  void ListForMode();
  // While a sequence runs on its copy of the standard, the reference level and the
  // detector, no control that changes them can be used (nor the toolbar's).
  void SetMeasuring(bool measuring);
  // txtReflvl's number onto the arrows, so a step starts from what the box shows.
  void FollowRefLevelText();

  SettingPanel& panel_;
  Notifier& notifier_;
  Hooks hooks_;
  EmiSequences sequences_;
  std::shared_ptr<SharedEmi> shared_;
  LimitStandard& standard_;
  EmiResults& results_;
  std::vector<StandardEntry> entries_;
  // The standard last chosen in each mode (lower-cased mode text -> file path).
  std::map<std::string, std::string> lastChoice_;
  double threshold_ = 0;  // the last threshold typed within range

  static std::optional<double> ThresholdIn(const QString& text);
};

}  // namespace vantrel

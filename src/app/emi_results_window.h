#pragma once
// frmEmiResults: the strongest emissions of the last EMI scan against the standard's
// limits with margins and verdicts, the correction tables to see them through, the final
// quasi-peak and average measurement of the emissions close to a limit, and the report.
#include <QWidget>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emi/correction_table.h"
#include "emi/emi_report.h"
#include "emi/emi_results.h"

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTextEdit;

namespace vantrel {

class Notifier;

struct EmiResultsHost {
  // The peak search's emissions of the graph in force (highest first), the loaded
  // standard and the axis the graph uses.
  std::function<std::vector<EmiPoint>()> emissions;
  // Every measured point of the measurement in force (all bands), and its RBW in MHz.
  std::function<std::span<const EmiPoint>()> measured;
  std::function<double()> rbwMHz;
  std::function<const LimitStandard&()> standard;
  std::function<FrequencyAxis()> axis;
  // The ticked tables changed: the graph and every level follow.
  std::function<void()> correctionsChanged;
  // Final measurements were made: the graph shows them.
  std::function<void()> finalMeasured;
  // One final measurement: level at `mhz` with "QPeak" or "AVG" (tables applied by the
  // window), none when it was stopped.
  std::function<std::optional<double>(double mhz, const std::string& detector)> measureSpot;
  // The settle time a final measurement with `detector` waits, for the time estimate.
  std::function<double(const std::string& detector)> settleMs;
  // The report's measurement fields and the graph at print resolution.
  std::function<EmiReportContent()> reportContent;
  std::function<QImage()> reportPicture;
  std::function<QString(const QString& filter)> chooseFile;  // empty when cancelled
  std::function<QString()> settingsPath;  // where the device fields are remembered
  Notifier* notifier = nullptr;
};

class EmiResultsWindow : public QWidget {
  Q_OBJECT
 public:
  EmiResultsWindow(EmiResultsHost host, QWidget* parent = nullptr);

  // The correction folders' tables, listed to tick.
  void SetAvailableCorrections(std::vector<CorrectionTable> tables);
  const std::vector<CorrectionTable>& TickedCorrections() const { return ticked_; }

  // Judges the emissions again (after a scan, a standard change or a new guard band).
  void Recompute();
  const EmiResultsTable& Table() const { return table_; }

  // "Re-measure": final measurements of the emissions within the guard band; pressed
  // again, it stops after the measurement in hand.
  void Remeasure();
  bool WriteReport(const QString& pdfPath);
  std::string Csv() const { return ResultsCsv(table_); }

  QTableWidget* tblResults = nullptr;
  QLabel* lblOverall = nullptr;
  QDoubleSpinBox* spnGuardBand = nullptr;
  QSpinBox* spnEmissions = nullptr;
  QListWidget* lstCorrections = nullptr;
  QPushButton* cmdRemeasure = nullptr;
  QPushButton* cmdCopy = nullptr;
  QPushButton* cmdExportCsv = nullptr;
  QPushButton* cmdReport = nullptr;
  QLineEdit* txtDutName = nullptr;
  QLineEdit* txtDutModel = nullptr;
  QLineEdit* txtDutSerial = nullptr;
  QLineEdit* txtDutOperator = nullptr;
  QTextEdit* txtDutNotes = nullptr;

 private:
  void Fill();
  void LoadDevice();
  void SaveDevice() const;
  DeviceUnderTest Device() const;

  EmiResultsHost host_;
  std::vector<CorrectionTable> available_;
  std::vector<CorrectionTable> ticked_;
  EmiResultsTable table_;
  bool remeasuring_ = false;
  bool stopRemeasure_ = false;
  bool recomputeLater_ = false;  // asked to judge again while re-measuring
};

}  // namespace vantrel

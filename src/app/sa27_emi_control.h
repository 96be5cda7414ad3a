#pragma once
// frmControl, "EMC Mode Control Panel": the older 2.7 GHz analyzer's EMI mode. Its own
// serial link, every standard file with a name, the reference level and threshold, the
// band-by-band capture and the ten markers, drawn into the display window frmEScr.
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/analyzer_links.h"
#include "app/exchange_guard.h"
#include "commands/sa27_commands.h"
#include "emi/emi_graph.h"
#include "emi/sa27_emi_sequence.h"
#include "emi/shared_emi.h"
#include "emi/standard_list.h"
#include "link/sa27_link.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel {

class EmiMarkerPanel;
class Sa27EmiDisplay;

class Sa27EmiControl : public QWidget {
  Q_OBJECT
 public:
  // Takes the serial port of `links` and its shared EMI data (its own when it has none).
  Sa27EmiControl(AnalyzerLinks links, Sa27EmiDisplay* display, QWidget* parent = nullptr);
  ~Sa27EmiControl() override;

  // chkPort ticked and unticked.
  void OpenPort();
  void ClosePort();
  // cmdCapture: the measurement, then the graph.
  void Capture();
  void SelectStandard(int index);
  void Repaint();

  Sa27Link& Link() { return link_; }
  SharedEmi& Shared() { return *shared_; }
  const EmiGraphState& Graph() const { return graph_; }
  EmiMarkerPanel* Markers() const { return markers_; }
  const std::vector<StandardEntry>& Entries() const { return entries_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ListStandardFiles();
  void FillGraph();
  void PaintDisplay(class Canvas& canvas);
  void UpdateEnabled();
  void Quit();

  AnalyzerLinks links_;
  Sa27Link link_;
  Sa27Commands commands_;
  Sa27EmiSequence sequence_;
  ExchangeGuard exchange_;
  std::shared_ptr<SharedEmi> shared_;
  QPointer<Sa27EmiDisplay> display_;
  EmiGraphState graph_;
  std::vector<StandardEntry> entries_;
  double threshold_ = 0;
  bool closing_ = false;

  QComboBox* cboPortNo_ = nullptr;
  QCheckBox* chkPort_ = nullptr;
  QComboBox* cboStd_ = nullptr;
  QLabel* lblStd_ = nullptr;
  QLabel* lblStdProblems_ = nullptr;
  QLineEdit* txtReflvl_ = nullptr;
  QCheckBox* chkThreshold_ = nullptr;
  QLineEdit* txtThreshold_ = nullptr;
  QPushButton* cmdCapture_ = nullptr;
  EmiMarkerPanel* markers_ = nullptr;
};

}  // namespace vantrel

#pragma once
// frmMain, "2.7GHz SA": the older 2.7 GHz analyzer's spectrum window. Serial only, with
// command buttons instead of a toolbar; the graph, markers, limit lines and files are
// the 3 GHz window's, over the older model's link and dialect.
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/analyzer_links.h"
#include "app/exchange_guard.h"
#include "commands/limit_line.h"
#include "commands/sa27_commands.h"
#include "display/display_state.h"
#include "display/markers.h"
#include "link/sa27_link.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace vantrel {

class GraphPicture;
class MarkerHandle;

inline constexpr double kSa27MaxFrequencyMHz = 2700;

class Sa27Window : public QWidget {
  Q_OBJECT
 public:
  // Takes the serial port of `links`; USB, GPIB and the rest are not used.
  explicit Sa27Window(AnalyzerLinks links, QWidget* parent = nullptr);
  ~Sa27Window() override;

  // Seams for the file and printer dialogs (tests replace them). The save dialog gets
  // the file filter of the format chosen in cboSaveType and answers the file name.
  std::function<QString(const QString& filter)> chooseSaveFile;
  std::function<bool(QPrinter&)> choosePrinter;

  // The button actions, as their clicks run them.
  void OpenPort();
  void ClosePort();
  void Capture();
  void DrawStoredTrace();
  void GetLimit();
  void Clear();
  void Save();
  void Print();
  void Quit();

  DisplayState& State() { return state_; }
  Sa27Link& Link() { return link_; }
  const LimitLine& HigherLimit() const { return higher_; }
  const LimitLine& LowerLimit() const { return lower_; }
  const MarkerView& Markers() const { return markers_; }

 protected:
  // A close during an exchange stops the link and waits for the exchange to unwind.
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs one exchange with the analyzer: busy pointer on, a click that arrives inside
  // one of its waits is ignored, and a close asked for meanwhile follows afterwards.
  void Exchange(const std::function<void()>& work);
  void BuildControls();
  void WireOutput();
  void OnLimitChecked(QCheckBox* box, bool loaded, const char* message);
  void OnMarkerEdited(int i);
  void ReadSettings();
  void Repaint();
  void PaintGraph(class Canvas& canvas);
  // The marker pictures onto their markers after a drawing; a dropped one moves its marker.
  void PlaceHandles();
  void DropHandle(int index, const QPoint& pixel);
  GraphLayers Layers();
  QImage PrintPicture();

  AnalyzerLinks links_;
  Sa27Link link_;
  Sa27Commands commands_;
  DisplayState state_;
  LimitLine higher_;
  LimitLine lower_;
  MarkerView markers_;
  bool higherRead_ = false;
  bool lowerRead_ = false;
  ExchangeGuard exchange_;

  QComboBox* combo1_ = nullptr;
  QLineEdit* text1_ = nullptr;
  QCheckBox* chkHLimit_ = nullptr;
  QCheckBox* chkLLimit_ = nullptr;
  QComboBox* cboSaveType_ = nullptr;
  std::array<QCheckBox*, kMarkers> chkMkr_{};
  std::array<QLineEdit*, kMarkers> txtMkr_{};
  GraphPicture* pic1_ = nullptr;
  std::array<MarkerHandle*, kMarkers> picMKR_{};
};

}  // namespace vantrel

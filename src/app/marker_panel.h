#pragma once
// fraMarker, the "Marker Function" panel of frmSAV61: five markers with their delta
// references, the marker source, "All to Peaks", the limit-line choices and "OK".
// It owns the marker handles over the graph Pic1 and the two limit lines, and gives the
// graph drawing its marker and limit-line layers.
#include <QGroupBox>
#include <QPointF>
#include <QPointer>
#include <array>
#include <functional>

#include "commands/limit_line.h"
#include "display/display_state.h"
#include "display/limit_line_refresh.h"
#include "display/markers.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantrel {

class Clock;
class CommandTransport;
class MarkerHandle;
class Notifier;

// What the panel needs from the window that embeds it.
struct MarkerPanelHost {
  DisplayState* state = nullptr;  // required; markerEnabled, markerSourceLive and the
                                  // limit flags are kept up to date by the panel
  // Repaints the graph (DrawGrid on Pic1 with the panel's Layers()).
  std::function<void()> repaint;
  // Graph units (x 0..500, y 0..1023) to Pic1 pixels and back. When empty, the panel
  // maps with GraphScale(any marker enabled) stretched over Pic1's whole rectangle,
  // which is how the graph is painted.
  std::function<QPointF(double x, double y)> graphToPixel;
  std::function<QPointF(const QPointF& pixel)> pixelToGraph;
  // For "Get Limit Lines from unit"; RefreshLimits does nothing while any is null.
  CommandTransport* transport = nullptr;
  Clock* clock = nullptr;
  Notifier* notifier = nullptr;         // also shows the marker input messages when set
  std::function<void()> processEvents;  // lets pending window events run
};

class MarkerPanel : public QGroupBox {
  Q_OBJECT
 public:
  static constexpr int kNoMarker = 99;

  // `pic1` is the graph widget; the handles picMKR_0..4 become its children.
  MarkerPanel(QWidget* pic1, MarkerPanelHost host, QWidget* parent = nullptr);
  ~MarkerPanel() override;

  // The layers DrawGrid calls: markerCalculate, hideMarkerHandles, drawHigherLimit,
  // drawLowerLimit (processEvents is the host's).
  GraphLayers Layers();

  // MarkerCalculate on any count array (the stored-trace display in "Storage" mode);
  // `target` may be null to compute the table and handles only.
  void Calculate(Canvas* target, std::span<const std::int16_t> counts);
  // After DrawStored in "Storage" mode: the marker rows on the stored trace whose slot
  // `indexText` (Text1) names, when that trace is valid and a marker is enabled.
  void CalculateStorage(Canvas& target, const std::string& indexText);
  void HideHandles();

  // SelectedMarker: 0..4, or 99 for none.
  int SelectedMarker() const { return selected_; }
  void SetSelectedMarker(int index);
  // Steps the selected marker one trace point (-1 left, +1 right) for the window's
  // arrow keys; false when nothing is selected or at the end of the trace.
  bool StepSelectedMarker(int step);
  // Repaints handle `which` (0..4, or 99 for all) in `back`: magenta when selected.
  void MakeMarker(Rgb back, int which = kNoMarker);
  // The handle's lower tip to graph point (x, y), when it lies on the graph.
  void PlaceHandle(int index, double x, double y);
  // A handle dropped at graph x: the marker moves to that trace point (0..498).
  void DropHandle(int index, double x, double y);

  // "All to Peaks": markers 0..4 onto the strongest peaks of the marker trace.
  void AllToPeaks();

  // RefreshLimitLines with the checked lines; for the refresh and btnGetLimit.
  void RefreshLimits();
  const LimitLines& Limits() const { return limits_; }
  LimitLines& Limits() { return limits_; }
  bool HigherChecked() const;
  bool LowerChecked() const;

  // The marker rows, table and handle positions as last computed.
  const MarkerView& View() const { return view_; }

 signals:
  // cmdOK2: the window puts btnMarker up and hides the panel.
  void okClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildRows();
  void BuildOptions();
  void SyncState();
  void Repaint();
  void OnEnabledClicked(int i);
  bool ValidateText(int i);
  QPointF ToPixel(double x, double y) const;
  QPointF ToGraph(const QPointF& pixel) const;

  // Pic1 may go before the panel does; the guard keeps the destructor safe.
  QPointer<QWidget> pic1_;
  MarkerPanelHost host_;
  MarkerView view_;
  LimitLines limits_;
  int selected_ = kNoMarker;

  std::array<QCheckBox*, kMarkers> chkMMkr_{};
  std::array<QLineEdit*, kMarkers> txtMkr_{};
  std::array<QComboBox*, kMarkers> cboMkrDelta_{};
  std::array<MarkerHandle*, kMarkers> picMKR_{};
  QRadioButton* optMkrLive_ = nullptr;
  QRadioButton* optStorage_ = nullptr;
  QPushButton* cmdSAPeaks_ = nullptr;
  QCheckBox* chkHLimit_ = nullptr;
  QCheckBox* chkLLimit_ = nullptr;
  QPushButton* cmdOK2_ = nullptr;
};

}  // namespace vantrel

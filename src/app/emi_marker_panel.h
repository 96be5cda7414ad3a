#pragma once
// fraEMCMarker: the ten EMI markers (tick box and frequency box each), "All to Peaks" and
// the marker pictures over the EMI graph. Frequencies are typed, stepped with the arrow
// keys or set by dropping a marker picture on the graph; every change redraws the graph.
#include <QGroupBox>
#include <QPointer>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/focus_rules.h"
#include "emi/emi_graph.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vantrel {

class MarkerHandle;
class Notifier;

struct EmiMarkerPanelHost {
  // Redraws the EMI graph (EMC_DrawGrid on Pic1 with the limit-present flags).
  std::function<void()> repaint;
  // The state of the last drawing: scale, marker points and handle places.
  std::function<const EmiGraphState&()> graph;
  // The marker points of the graph in force, brought up to date first.
  std::function<const EmiTrace&()> markerPoints;
  std::function<Rgb()> backColor;
  Notifier* notifier = nullptr;
  // The rule for typed frequencies (the analyzer's range); the spectrum markers' unless set.
  TextCheck checkFrequency = SpectrumMarkerCheck;
  // Object names of the marker pictures, with %1 for the index.
  QString handleName = QStringLiteral("picEMCMKR_%1");
  // Whether "Results..." and "OK" belong to this panel.
  bool windowButtons = true;
};

class EmiMarkerPanel : public QGroupBox {
  Q_OBJECT
 public:
  EmiMarkerPanel(QWidget* pic1, EmiMarkerPanelHost host, QWidget* parent = nullptr);
  ~EmiMarkerPanel() override;

  // The ticks and frequency texts into the state about to be drawn.
  void FillMarkers(EmiGraphState& st) const;
  // After a drawing: each marker picture onto its emission, or hidden.
  void PlaceHandles(const EmiGraphState& st);
  void HideHandles();

  // cmdPeaks: every marker unticked, then markers 0.. on the highest emissions.
  void AllToPeaks();
  // A new measurement: every marker unticked, none selected, no picture shown.
  void ClearMarkers();
  // The selected marker one column left (-1) or right (+1); false when none is selected.
  bool StepSelectedMarker(int step);
  int SelectedMarker() const { return selected_; }
  void SetSelectedMarker(int index);
  // Repaints the pictures in `back`: magenta for the selected one.
  void MakeMarker(Rgb back);

  QCheckBox* Tick(int i) const { return chkEMCMMkr_[i]; }
  QLineEdit* FrequencyBox(int i) const { return txtEMCMkr_[i]; }

 signals:
  // cmdOK3: the window puts btnMarker up and hides the panel.
  void okClicked();
  // cmdResults: the results table of the scan.
  void resultsClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void chkEMCMMkr_Click(int index);
  bool txtEMCMkr_Validate(int index);
  void DropHandle(int index, const QPoint& pixel);
  // The frequency text one column left (-1) or right (+1) of marker `index`'s picture.
  std::optional<std::string> StepText(int index, int step) const;
  UserScale Scale() const;
  QPointF ToPixel(double x, double y) const;
  QPointF ToGraph(const QPointF& pixel) const;
  void Repaint();

  QPointer<QWidget> pic1_;
  EmiMarkerPanelHost host_;
  int selected_ = kNoActiveMarker;
  std::array<QCheckBox*, kEmiMarkers> chkEMCMMkr_{};
  std::array<QLineEdit*, kEmiMarkers> txtEMCMkr_{};
  // Children of the graph's picture, which may live in another window and go first.
  std::array<QPointer<MarkerHandle>, kEmiMarkers> picMKR_{};
  QPushButton* cmdPeaks_ = nullptr;
  QPushButton* cmdOK3_ = nullptr;
  QPushButton* cmdResults_ = nullptr;
};

}  // namespace vantrel

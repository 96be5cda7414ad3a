#pragma once
// picMKR(i): a marker's handle, a small picture over the graph Pic1 with the marker's
// number above a downward triangle whose lower tip sits on the trace. Pressing the mouse
// on it starts a drag; the handle follows the pointer and reports where it was let go.
#include <QPoint>
#include <QWidget>
#include <functional>

#include "display/canvas.h"

namespace vantrel {

// A handle's pen: red, magenta while it is the selected (dragged) marker.
inline constexpr Rgb kHandleColor = MakeRgb(255, 0, 0);
inline constexpr Rgb kSelectedHandleColor = MakeRgb(255, 0, 255);

class MarkerHandle : public QWidget {
  Q_OBJECT
 public:
  // Size in pixels; the drawing uses its own scale of 190 x 300 units.
  static constexpr int kWidth = 14;
  static constexpr int kHeight = 22;

  // `graph` is Pic1, the handle's parent.
  MarkerHandle(int index, QWidget* graph);

  int Index() const { return index_; }
  // MakeMarker for this handle: background and pen colour, then repaint.
  void SetColors(Rgb back, Rgb pen);
  Rgb PenColor() const { return pen_; }
  Rgb BackColor() const { return back_; }
  bool Dragging() const { return dragging_; }
  // Puts the lower tip (centre of the bottom edge) at `pixel` in the parent's coordinates.
  void MoveTipTo(const QPointF& pixel);

  // Called with the parent's coordinates of the point where a drag ended.
  std::function<void(int index, QPoint dropPixel)> dropped;
  // A press and release without moving: a drop onto the handle itself.
  std::function<void(int index)> droppedOnItself;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int index_;
  Rgb back_ = 0;
  Rgb pen_ = MakeRgb(255, 0, 0);
  bool dragging_ = false;
  bool moved_ = false;
  QPoint pressPixel_;
};

}  // namespace vantrel

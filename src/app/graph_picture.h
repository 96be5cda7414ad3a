#pragma once
// Pic1, the graph's picture box. Every paint redraws the view from the window's display
// state (grid, traces, markers, stored traces), so a resize or an uncovered window never
// talks to the instrument.
#include <QWidget>
#include <functional>
#include <memory>

namespace vantrel {

class Canvas;
class QtKeptLayer;

class GraphPicture : public QWidget {
  Q_OBJECT
 public:
  explicit GraphPicture(QWidget* parent = nullptr);
  ~GraphPicture() override;

  // Draws the whole view on a canvas laid over the picture; empty: black.
  std::function<void(Canvas&)> draw;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Kept between paints: the stored traces, painted again only when they change.
  std::unique_ptr<QtKeptLayer> kept_;
};

}  // namespace vantrel

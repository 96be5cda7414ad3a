#pragma once
// splWaterfall: the bar between the graph and the waterfall. Dragging it sets the
// waterfall's height, which the settings file keeps (0: the default share).
#include <QWidget>
#include <functional>

namespace vantrel {

class WaterfallSplitter : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int waterfallHeight READ WaterfallHeight WRITE SetWaterfallHeight USER true)
 public:
  static constexpr int kThickness = 5;  // pixels

  explicit WaterfallSplitter(QWidget* parent = nullptr);

  // The waterfall's height the user chose, in pixels; 0 until one was chosen.
  int WaterfallHeight() const { return height_; }
  void SetWaterfallHeight(int pixels);

  // The waterfall's height shown now, where a drag starts from.
  std::function<int()> shownHeight;
  // The chosen height changed: lay the window out again.
  std::function<void()> heightChanged;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int height_ = 0;
  double pressY_ = 0;
  int pressHeight_ = 0;
};

}  // namespace vantrel

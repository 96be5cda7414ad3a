#pragma once
// picWaterfall: the sweep history under the graph, newest sweep at the top, each point
// under the same point of the graph above it. It paints what the history holds; a
// click or a drag along the rows picks a row.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vantrel {

class SweepHistory;

class WaterfallPicture : public QWidget {
  Q_OBJECT
 public:
  WaterfallPicture(const SweepHistory& history, QWidget* parent = nullptr);

  // The level range shown now: the reference level and dB per division.
  std::function<double()> refLevel;
  std::function<double()> scale;
  // A row was clicked or dragged over (0 the newest).
  std::function<void(std::size_t age)> rowPicked;

  // The row painted at y, if any.
  std::optional<std::size_t> RowAt(int y) const;
  // The pixel columns of the graph's first and last trace point in this width.
  static double PointX(double point, int width);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  double RowHeight() const;
  void Pick(int y);

  const SweepHistory& history_;
  QImage image_;
  std::vector<std::uint32_t> pixels_;
  std::uint64_t drawnGeneration_ = ~std::uint64_t{0};
  double drawnRef_ = 0;
  double drawnScale_ = 0;
  std::optional<std::size_t> lastPicked_;
};

}  // namespace vantrel

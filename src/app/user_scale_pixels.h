#pragma once
// Between a picture's user scale (the graph's units) and its pixels, for the marker
// pictures laid over a graph.
#include <QPointF>
#include <QSize>
#include <algorithm>

#include "display/canvas.h"

namespace vantrel {

inline QPointF UserToPixel(const UserScale& sc, const QSize& size, double x, double y) {
  return {(x - sc.left) / sc.width * size.width(), (y - sc.top) / sc.height * size.height()};
}

inline QPointF PixelToUser(const UserScale& sc, const QSize& size, const QPointF& pixel) {
  const double w = std::max(1, size.width());
  const double h = std::max(1, size.height());
  return {sc.left + pixel.x() / w * sc.width, sc.top + pixel.y() / h * sc.height};
}

}  // namespace vantrel

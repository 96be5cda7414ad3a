#include "app/graph_picture.h"

#include <QPainter>

#include "platform/qt_canvas.h"

namespace vantrel {

GraphPicture::GraphPicture(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Pic1"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Clicking the graph gives it the keyboard, so the arrow keys reach the window.
  setFocusPolicy(Qt::ClickFocus);
  setMinimumSize(200, 150);
}

void GraphPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!draw) return;
  QtCanvas canvas(painter, QRectF(rect()));
  draw(canvas);
}

}  // namespace vantrel

#include "app/graph_picture.h"

#include <QPainter>

#include "platform/qt_canvas.h"
#include "platform/qt_kept_layer.h"

namespace vantrel {

GraphPicture::GraphPicture(QWidget* parent)
    : QWidget(parent), kept_(std::make_unique<QtKeptLayer>()) {
  setObjectName(QStringLiteral("Pic1"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Clicking the graph gives it the keyboard, so the arrow keys reach the window.
  setFocusPolicy(Qt::ClickFocus);
  setMinimumSize(200, 150);
}

GraphPicture::~GraphPicture() = default;

void GraphPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!draw) return;
  QtCanvas canvas(painter, QRectF(rect()));
  canvas.KeepLayer(kept_.get());
  draw(canvas);
}

}  // namespace vantrel

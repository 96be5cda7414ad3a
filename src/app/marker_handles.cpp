#include "app/marker_handles.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace vantrel {
namespace {

constexpr double kUnitsWide = 190;
constexpr double kUnitsHigh = 300;

QColor ToQColor(Rgb c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

MarkerHandle::MarkerHandle(int index, QWidget* graph) : QWidget(graph), index_(index) {
  setObjectName(QStringLiteral("picMKR_%1").arg(index));
  resize(kWidth, kHeight);
  setCursor(Qt::SizeHorCursor);
  hide();
}

void MarkerHandle::SetColors(Rgb back, Rgb pen) {
  back_ = back;
  pen_ = pen;
  update();
}

void MarkerHandle::MoveTipTo(const QPointF& pixel) {
  move(qRound(pixel.x() - width() / 2.0), qRound(pixel.y() - height()));
}

void MarkerHandle::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), ToQColor(back_));
  p.scale(width() / kUnitsWide, height() / kUnitsHigh);
  QPen pen(ToQColor(pen_));
  pen.setCosmetic(true);
  p.setPen(pen);
  QFont font = p.font();
  font.setPixelSize(150);  // in handle units: the upper half holds the number
  p.setFont(font);
  // Printed as a number is printed: a blank where a minus sign would stand.
  p.drawText(QRectF(20, 0, kUnitsWide - 20, 150), Qt::AlignLeft | Qt::AlignTop,
             QStringLiteral(" %1").arg(index_));
  p.drawLine(QPointF(0, 150), QPointF(180, 150));
  p.drawLine(QPointF(93, 290), QPointF(0, 150));
  p.drawLine(QPointF(93, 290), QPointF(180, 150));
}

void MarkerHandle::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragging_ = true;
  moved_ = false;
  pressPixel_ = mapToParent(event->position().toPoint());
  raise();
  event->accept();
}

void MarkerHandle::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  const QPointF at = mapToParent(event->position());
  if (!moved_ && (at.toPoint() - pressPixel_).manhattanLength() < QApplication::startDragDistance())
    return;
  moved_ = true;
  // The tip follows the pointer so the drop lands where the user sees the triangle.
  MoveTipTo(at);
  event->accept();
}

void MarkerHandle::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
  event->accept();
  if (!moved_) {
    if (droppedOnItself) droppedOnItself(index_);
    return;
  }
  if (dropped) dropped(index_, mapToParent(event->position().toPoint()));
}

}  // namespace vantrel

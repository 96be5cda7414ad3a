#include "app/waterfall_picture.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "display/graph_frame.h"
#include "display/sweep_history.h"

namespace vantrel {

WaterfallPicture::WaterfallPicture(const SweepHistory& history, QWidget* parent)
    : QWidget(parent), history_(history) {
  setObjectName(QStringLiteral("picWaterfall"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(QStringLiteral("Click a played-back sweep to show it on the graph"));
}

double WaterfallPicture::PointX(double point, int width) {
  // The graph's user scale runs the same way across Pic1's full width.
  return (point - kScaleLeft) / kScaleWidth * width;
}

double WaterfallPicture::RowHeight() const {
  return static_cast<double>(height()) / static_cast<double>(history_.Capacity());
}

std::optional<std::size_t> WaterfallPicture::RowAt(int y) const {
  if (y < 0 || height() <= 0) return std::nullopt;
  const auto age = static_cast<std::size_t>(y / RowHeight());
  if (age >= history_.Size()) return std::nullopt;
  return age;
}

void WaterfallPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const std::size_t rows = history_.Size();
  if (rows == 0) return;
  const double ref = refLevel ? refLevel() : 0;
  const double perDivision = scale ? scale() : 10;
  // The picture of the rows is made again only when they or the range changed.
  if (history_.Generation() != drawnGeneration_ || ref != drawnRef_ || perDivision != drawnScale_) {
    history_.Render(ref, perDivision, pixels_);
    if (image_.width() != kTracePoints || image_.height() != static_cast<int>(rows)) {
      image_ = QImage(kTracePoints, static_cast<int>(rows), QImage::Format_RGB32);
    }
    for (int y = 0; y < image_.height(); ++y) {
      std::memcpy(image_.scanLine(y), pixels_.data() + static_cast<std::size_t>(y) * kTracePoints,
                  kTracePoints * sizeof(std::uint32_t));
    }
    drawnGeneration_ = history_.Generation();
    drawnRef_ = ref;
    drawnScale_ = perDivision;
  }
  // Point n covers half a point either side of its place on the graph.
  const double left = PointX(-0.5, width());
  const double right = PointX(kTracePoints - 0.5, width());
  painter.drawImage(QRectF(left, 0, right - left, RowHeight() * static_cast<double>(rows)), image_);
}

void WaterfallPicture::Pick(int y) {
  const std::optional<std::size_t> age = RowAt(y);
  if (!age || age == lastPicked_) return;
  lastPicked_ = age;
  if (rowPicked) rowPicked(*age);
}

void WaterfallPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  lastPicked_.reset();
  Pick(static_cast<int>(event->position().y()));
}

void WaterfallPicture::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) Pick(static_cast<int>(event->position().y()));
}

}  // namespace vantrel

#include "platform/qt_kept_layer.h"

#include <QPaintDevice>
#include <cmath>
#include <cstring>

#include "platform/qt_canvas.h"

namespace vantrel {

namespace {

// Premultiplied source over destination, channel by channel with the rounding QPainter
// uses, so a covered pixel ends up as it would under QPainter::drawImage.
QRgb Over(QRgb src, QRgb dst) {
  const uint a = 255 - qAlpha(src);
  uint rb = (dst & 0xff00ff) * a;
  rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  uint ag = ((dst >> 8) & 0xff00ff) * a;
  ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return src + (ag | rb);
}

}  // namespace

QtKeptLayer::QtKeptLayer() = default;
QtKeptLayer::~QtKeptLayer() = default;

int QtKeptLayer::TargetWidth() const {
  if (target_ == nullptr) return 0;
  const QPaintDevice* device = target_->Painter().device();
  const qreal dpr = device != nullptr ? device->devicePixelRatioF() : 1.0;
  return static_cast<int>(std::ceil(target_->Area().width() * dpr));
}

int QtKeptLayer::TargetHeight() const {
  if (target_ == nullptr) return 0;
  const QPaintDevice* device = target_->Painter().device();
  const qreal dpr = device != nullptr ? device->devicePixelRatioF() : 1.0;
  return static_cast<int>(std::ceil(target_->Area().height() * dpr));
}

Canvas& QtKeptLayer::Redraw(LayerKey key) {
  FinishDrawing();
  key_ = std::move(key);
  const QPaintDevice* device = target_->Painter().device();
  const QSize size(TargetWidth(), TargetHeight());
  const qreal dpr = device != nullptr ? device->devicePixelRatioF() : 1.0;
  if (image_.size() != size || image_.devicePixelRatio() != dpr) {
    image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(dpr);
  }
  image_.fill(Qt::transparent);
  runs_.clear();
  painter_ = std::make_unique<QPainter>(&image_);
  canvas_ = std::make_unique<QtCanvas>(*painter_, QRectF(QPointF(0, 0), target_->Area().size()));
  return *canvas_;
}

void QtKeptLayer::FinishDrawing() {
  if (!painter_) return;
  canvas_.reset();  // draws what its polyline still holds
  painter_->end();
  painter_.reset();
  runs_.clear();
  for (int y = 0; y < image_.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(y));
    int x = 0;
    while (x < image_.width()) {
      const int alpha = qAlpha(row[x]);
      if (alpha == 0) {
        ++x;
        continue;
      }
      const bool opaque = alpha == 255;
      const int start = x;
      while (x < image_.width() && qAlpha(row[x]) != 0 && (qAlpha(row[x]) == 255) == opaque) ++x;
      runs_.push_back(Run{y, start, x - start, opaque});
    }
  }
}

bool QtKeptLayer::ComposeRuns(QImage& target, QPoint at) const {
  // Plain ARGB32 blends differently; it is not met on the graph's images.
  if (target.format() == QImage::Format_ARGB32 || at.x() < 0 || at.y() < 0 ||
      at.x() + image_.width() > target.width() || at.y() + image_.height() > target.height())
    return false;
  // The painter draws into the same buffer; constBits() avoids a detach.
  uchar* bits = const_cast<uchar*>(target.constBits());
  const qsizetype stride = target.bytesPerLine();
  for (const Run& run : runs_) {
    const auto* src = reinterpret_cast<const QRgb*>(image_.constScanLine(run.y)) + run.x;
    auto* dst = reinterpret_cast<QRgb*>(bits + (at.y() + run.y) * stride) + at.x() + run.x;
    if (run.opaque) {
      std::memcpy(dst, src, static_cast<std::size_t>(run.length) * sizeof(QRgb));
    } else {
      for (int i = 0; i < run.length; ++i) dst[i] = Over(src[i], dst[i]);
    }
  }
  return true;
}

void QtKeptLayer::Compose() {
  FinishDrawing();
  if (target_ == nullptr || image_.isNull()) return;
  target_->Flush();
  QPainter& painter = target_->Painter();
  const QPointF topLeft = target_->Area().topLeft();
  const QPoint at = topLeft.toPoint();
  QImage* plain = target_->PlainImage();
  const bool direct = plain != nullptr && QPointF(at) == topLeft &&
                      painter.worldTransform().isIdentity() && !painter.hasClipping() &&
                      painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
                      painter.opacity() >= 1.0;
  if (direct && ComposeRuns(*plain, at)) return;
  painter.drawImage(topLeft, image_);
}

}  // namespace vantrel

#include "platform/qt_canvas.h"

#include "platform/qt_kept_layer.h"

#include <QColor>
#include <QFontMetricsF>
#include <QHash>
#include <QPen>
#include <QStaticText>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace vantrel {

namespace {

// Texts laid out once and kept across repaints: the graph writes the same labels and trace
// numbers every time, and laying a text out costs more than drawing it. Bounded, so a run
// of changing time stamps cannot grow it without end; one per thread, as QStaticText is.
const QStaticText& LaidOut(const QString& fontKey, const QString& text) {
  thread_local QHash<QString, QStaticText> laidOut;
  const QString key = fontKey + text;
  auto it = laidOut.constFind(key);
  if (it != laidOut.constEnd()) return *it;
  if (laidOut.size() >= 4096) laidOut.clear();
  QStaticText laid(text);
  laid.setTextFormat(Qt::PlainText);
  laid.setPerformanceHint(QStaticText::AggressiveCaching);
  return *laidOut.insert(key, laid);
}

QColor ToQColor(Rgb c) {
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter, const QRectF& area)
    : painter_(painter), area_(area), sx_(area.width()), sy_(area.height()) {
  font_.setFamily(FontFamily());
  font_.setStyleHint(QFont::SansSerif);
  ApplyFont();
  // Hairlines on whole pixels stay sharp; text keeps its own smoothing.
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setBrush(Qt::NoBrush);
  polyline_.reserve(1024);  // a trace is 502 points
  ApplyPen();
  if (painter_.device() && painter_.device()->devType() == QInternal::Image) {
    auto* image = static_cast<QImage*>(painter_.device());
    const auto f = image->format();
    if ((f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
         f == QImage::Format_ARGB32_Premultiplied) &&
        image->devicePixelRatio() == 1.0 && image->width() < 32768 && image->height() < 32768)
      image_ = image;
  }
}

QtCanvas::~QtCanvas() {
  Flush();
}

KeptLayer* QtCanvas::Kept() {
  if (kept_ == nullptr) return nullptr;
  kept_->Bind(*this);
  return kept_;
}

void QtCanvas::SetScale(const UserScale& scale) {
  Flush();
  scale_ = scale;
  sx_ = scale_.width != 0 ? area_.width() / scale_.width : 0;
  sy_ = scale_.height != 0 ? area_.height() / scale_.height : 0;
}

QPointF QtCanvas::Map(double x, double y) const {
  return {area_.left() + (x - scale_.left) * sx_, area_.top() + (y - scale_.top) * sy_};
}

void QtCanvas::ApplyPen() {
  QPen pen(ToQColor(color_));
  pen.setCosmetic(true);
  pen.setWidthF(width_ <= 1 ? 1.0 : static_cast<double>(width_));
  pen.setStyle(dotted_ ? Qt::DotLine : Qt::SolidLine);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
}

void QtCanvas::Flush() {
  if (polyline_.size() >= 2 && !FastPolyline())
    painter_.drawPolyline(polyline_.data(), static_cast<int>(polyline_.size()));
  polyline_.clear();
}

namespace {

// Clips the segment to [0,w) x [0,h) (Liang-Barsky); false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double w, double h) {
  double t0 = 0, t1 = 1;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0, w - 1 - x0, y0, h - 1 - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
  }
  const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = ax;
  y0 = ay;
  return true;
}

}  // namespace

namespace {

// Writes the pixels of one segment whose ends lie inside the image: one pixel per column
// or per row, the other coordinate in 16.16 fixed point (any image narrower and lower
// than 32768 pixels).
void PlotSegment(uchar* bits, qsizetype stride, QRgb rgb, int ax, int ay, int bx, int by) {
  const int dx = bx - ax, dy = by - ay;
  const int steps = std::max(std::abs(dx), std::abs(dy));
  if (steps == 0) {
    reinterpret_cast<QRgb*>(bits + ay * stride)[ax] = rgb;
    return;
  }
  if (std::abs(dx) >= std::abs(dy)) {
    const int sx = dx > 0 ? 1 : -1;
    const int yinc = static_cast<int>(dy * 65536.0 / steps);
    int y = (ay << 16) + 0x8000;
    for (int k = 0, x = ax; k <= steps; ++k, x += sx, y += yinc)
      reinterpret_cast<QRgb*>(bits + (y >> 16) * stride)[x] = rgb;
  } else {
    const qsizetype rowStep = dy > 0 ? stride : -stride;
    const int xinc = static_cast<int>(dx * 65536.0 / steps);
    int x = (ax << 16) + 0x8000;
    uchar* row = bits + ay * stride;
    for (int k = 0; k <= steps; ++k, row += rowStep, x += xinc)
      reinterpret_cast<QRgb*>(row)[x >> 16] = rgb;
  }
}

}  // namespace

bool QtCanvas::FastPolyline() {
  if (!image_ || dotted_ || width_ > 1 || !painter_.worldTransform().isIdentity() ||
      painter_.hasClipping() ||
      painter_.compositionMode() != QPainter::CompositionMode_SourceOver ||
      painter_.opacity() < 1.0)
    return false;
  // The painter draws into the same buffer; constBits() avoids a detach.
  auto* bits = const_cast<uchar*>(image_->constBits());
  const qsizetype stride = image_->bytesPerLine();
  const int w = image_->width(), h = image_->height();
  const QRgb rgb = qRgb(RedOf(color_), GreenOf(color_), BlueOf(color_));
  const auto inside = [w, h](const QPointF& p) {
    return p.x() >= 0 && p.y() >= 0 && p.x() <= w - 1 && p.y() <= h - 1;  // false for NaN
  };
  // Each point is rounded once and shared by its two segments; only segments with an end
  // outside the image go through clipping.
  bool prevInside = inside(polyline_[0]);
  int px = static_cast<int>(polyline_[0].x() + 0.5), py = static_cast<int>(polyline_[0].y() + 0.5);
  for (std::size_t i = 1; i < polyline_.size(); ++i) {
    const QPointF& b = polyline_[i];
    const bool bInside = inside(b);
    const int bx = bInside ? static_cast<int>(b.x() + 0.5) : 0;
    const int by = bInside ? static_cast<int>(b.y() + 0.5) : 0;
    if (prevInside && bInside) {
      PlotSegment(bits, stride, rgb, px, py, bx, by);
    } else {
      double x0 = polyline_[i - 1].x(), y0 = polyline_[i - 1].y();
      double x1 = b.x(), y1 = b.y();
      if (std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1) &&
          ClipSegment(x0, y0, x1, y1, w, h)) {
        PlotSegment(bits, stride, rgb, static_cast<int>(x0 + 0.5), static_cast<int>(y0 + 0.5),
                    static_cast<int>(x1 + 0.5), static_cast<int>(y1 + 0.5));
      }
    }
    prevInside = bInside;
    px = bx;
    py = by;
  }
  return true;
}

void QtCanvas::Clear(Rgb back) {
  polyline_.clear();
  painter_.fillRect(area_, ToQColor(back));
  current_ = Map(0, 0);
}

void QtCanvas::SetPenColor(Rgb color) {
  if (color == color_) return;
  Flush();
  color_ = color;
  ApplyPen();
}

void QtCanvas::SetPenWidth(int width) {
  if (width == width_) return;
  Flush();
  width_ = width;
  ApplyPen();
}

void QtCanvas::SetDotted(bool dotted) {
  if (dotted == dotted_) return;
  Flush();
  dotted_ = dotted;
  ApplyPen();
}

void QtCanvas::SetFontSize(double points) {
  if (!(points > 0) || points == fontSize_) return;
  Flush();
  fontSize_ = points;
  ApplyFont();
}

void QtCanvas::ApplyFont() {
  font_.setPointSizeF(fontSize_);
  painter_.setFont(font_);
  const QFontMetricsF metrics(font_, painter_.device());
  lineHeight_ = metrics.height();
  widths_.clear();
  fontKey_ = font_.key() + QChar(0x1F);
}

void QtCanvas::MoveTo(double x, double y) {
  Flush();
  current_ = Map(x, y);
}

void QtCanvas::Line(double x1, double y1, double x2, double y2) {
  Flush();
  const QPointF a = Map(x1, y1);
  current_ = Map(x2, y2);
  painter_.drawLine(a, current_);
}

void QtCanvas::LineTo(double x, double y) {
  if (polyline_.empty()) polyline_.push_back(current_);
  current_ = Map(x, y);
  polyline_.push_back(current_);
}

void QtCanvas::Box(double x1, double y1, double x2, double y2) {
  Flush();
  painter_.drawRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized());
}

void QtCanvas::FilledBox(double x1, double y1, double x2, double y2, Rgb fill) {
  Flush();
  painter_.fillRect(QRectF(Map(x1, y1), Map(x2, y2)).normalized(), ToQColor(fill));
}

void QtCanvas::Text(double x, double y, const std::string& text) {
  Flush();
  const QStaticText& laid =
      LaidOut(fontKey_, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  painter_.drawStaticText(Map(x, y), laid);
}

double QtCanvas::TextWidth(const std::string& text) const {
  const QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  auto it = widths_.constFind(q);
  if (it == widths_.constEnd())
    it = widths_.insert(q, QFontMetricsF(font_, painter_.device()).horizontalAdvance(q));
  const double px = *it;
  return area_.width() > 0 ? px * std::fabs(scale_.width) / area_.width() : 0;
}

double QtCanvas::TextHeight(const std::string&) const {
  return area_.height() > 0 ? lineHeight_ * std::fabs(scale_.height) / area_.height() : 0;
}

}  // namespace vantrel

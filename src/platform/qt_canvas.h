#pragma once
// The graph's canvas on a QPainter: the window's picture, an offscreen QImage or a
// printed page. The user scale is mapped onto a target rectangle in the painter's
// logical coordinates, so the drawing fills any size and stays sharp on high-DPI
// screens (Qt scales logical pixels to device pixels).
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <vector>

#include "display/canvas.h"

namespace vantrel {

class QtKeptLayer;

class QtCanvas : public Canvas {
 public:
  // Draws with `painter` (already begun) inside `area`, in logical pixels.
  QtCanvas(QPainter& painter, const QRectF& area);
  ~QtCanvas() override;

  // Keeps `layer` (it outlives the canvas) as this canvas's kept layer.
  void KeepLayer(QtKeptLayer* layer) { kept_ = layer; }
  KeptLayer* Kept() override;

  void SetScale(const UserScale& scale) override;
  UserScale Scale() const override { return scale_; }
  void Clear(Rgb back) override;
  void SetPenColor(Rgb color) override;
  Rgb PenColor() const override { return color_; }
  void SetPenWidth(int width) override;
  int PenWidth() const override { return width_; }
  void SetDotted(bool dotted) override;
  bool Dotted() const override { return dotted_; }
  void SetFontSize(double points) override;
  double FontSize() const override { return fontSize_; }
  void MoveTo(double x, double y) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void LineTo(double x, double y) override;
  void Box(double x1, double y1, double x2, double y2) override;
  void FilledBox(double x1, double y1, double x2, double y2, Rgb fill) override;
  void Text(double x, double y, const std::string& text) override;
  double TextWidth(const std::string& text) const override;
  double TextHeight(const std::string& text) const override;

  // Draws what a polyline still holds; called before anything else is drawn.
  void Flush();
  // User coordinates to logical pixels.
  QPointF Map(double x, double y) const;
  QPainter& Painter() { return painter_; }
  const QRectF& Area() const { return area_; }
  // The device when it is a plain 32-bit image without scaling, else nullptr.
  QImage* PlainImage() { return image_; }

  // The graph's font family.
  static QString FontFamily() { return QStringLiteral("Arial"); }

 private:
  void ApplyPen();
  void ApplyFont();
  // Solid hairline polylines straight into a 32-bit image's pixels, far quicker than the
  // general rasterizer for hundreds of 501-point traces; false when not applicable.
  bool FastPolyline();

  QPainter& painter_;
  QRectF area_;
  UserScale scale_{0, 0, 1, 1};
  double sx_ = 1, sy_ = 1;  // logical pixels per user unit
  Rgb color_ = 0;
  int width_ = 1;
  bool dotted_ = false;
  double fontSize_ = 8;
  QFont font_;
  // Metrics of font_ on the painter's device, kept with the font.
  double lineHeight_ = 0;
  mutable QHash<QString, double> widths_;
  QString fontKey_;  // font_.key(), which names the laid-out texts of this font
  QImage* image_ = nullptr;  // the device when it is a plain 32-bit image
  QPointF current_;
  std::vector<QPointF> polyline_;
  QtKeptLayer* kept_ = nullptr;
};

}  // namespace vantrel

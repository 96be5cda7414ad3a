#pragma once
// A canvas that keeps what was drawn, so a layout can be checked exactly.
#include <string>
#include <vector>

#include "display/canvas.h"

namespace vantrel {

enum class PrimitiveKind { Clear, Line, LineTo, Box, FilledBox, Text };

struct Primitive {
  PrimitiveKind kind = PrimitiveKind::Line;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // LineTo: from the current point to (x2,y2)
  std::string text;                       // Text only
  Rgb color = 0;                          // pen colour, or fill / back colour
  int width = 1;
  bool dotted = false;
  double fontSize = 0;
};

class RecordingCanvas : public Canvas {
 public:
  // Pixel size of the pretend surface, used for text extents only.
  RecordingCanvas(int pixelWidth = 800, int pixelHeight = 600)
      : pixelWidth_(pixelWidth), pixelHeight_(pixelHeight) {}

  void SetScale(const UserScale& scale) override { scale_ = scale; }
  UserScale Scale() const override { return scale_; }
  void Clear(Rgb back) override;
  void SetPenColor(Rgb color) override { color_ = color; }
  Rgb PenColor() const override { return color_; }
  void SetPenWidth(int width) override { width_ = width; }
  int PenWidth() const override { return width_; }
  void SetDotted(bool dotted) override { dotted_ = dotted; }
  bool Dotted() const override { return dotted_; }
  void SetFontSize(double points) override { fontSize_ = points; }
  double FontSize() const override { return fontSize_; }
  void MoveTo(double x, double y) override {
    curX_ = x;
    curY_ = y;
  }
  void Line(double x1, double y1, double x2, double y2) override;
  void LineTo(double x, double y) override;
  void Box(double x1, double y1, double x2, double y2) override;
  void FilledBox(double x1, double y1, double x2, double y2, Rgb fill) override;
  void Text(double x, double y, const std::string& text) override;
  double TextWidth(const std::string& text) const override;
  double TextHeight(const std::string& text) const override;

  std::vector<Primitive> primitives;

  // Helpers for checks.
  std::vector<Primitive> OfKind(PrimitiveKind kind) const;
  // The texts in drawing order.
  std::vector<std::string> Texts() const;
  // The first text primitive whose text equals `text`; nullptr when none.
  const Primitive* FindText(const std::string& text) const;

 private:
  Primitive Make(PrimitiveKind kind) const;

  int pixelWidth_;
  int pixelHeight_;
  UserScale scale_;
  Rgb color_ = 0;
  int width_ = 1;
  bool dotted_ = false;
  double fontSize_ = 8;
  double curX_ = 0, curY_ = 0;
};

}  // namespace vantrel

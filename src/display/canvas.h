#pragma once
// A drawing surface with a user coordinate system, as the graph paints it: the
// window's picture, an offscreen image, a printed page, or a recording for tests.
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// 24-bit colour, 0x00BBGGRR like the instrument's RGB(r,g,b) values.
using Rgb = std::uint32_t;
constexpr Rgb MakeRgb(int r, int g, int b) {
  return static_cast<Rgb>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Rgb c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Rgb c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Rgb c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// The user scale: x runs from left to left + width, y from top to top + height
// (height < 0 makes y grow upward).
struct UserScale {
  double left = 0;
  double top = 0;
  double width = 1;
  double height = 1;
  bool operator==(const UserScale&) const = default;
};

class Canvas;

// What a kept layer's picture was drawn from; a different key means it is drawn again.
using LayerKey = std::vector<std::uint8_t>;

// A transparent picture over a canvas that lasts from one repaint to the next, so a
// drawing that rarely changes is painted once and afterwards only laid over the canvas.
class KeptLayer {
 public:
  virtual ~KeptLayer() = default;
  // Device pixels of the canvas the layer lies over.
  virtual int TargetWidth() const = 0;
  virtual int TargetHeight() const = 0;
  // The key the held picture was drawn from; empty when the layer holds none.
  virtual const LayerKey& Key() const = 0;
  // Empties the layer and sizes it to the canvas; the returned canvas draws into it until
  // Compose. `key` becomes the layer's key.
  virtual Canvas& Redraw(LayerKey key) = 0;
  // Lays the picture over the canvas as if it had been drawn there now.
  virtual void Compose() = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The surface's kept layer, or nullptr when it keeps none.
  virtual KeptLayer* Kept() { return nullptr; }

  virtual void SetScale(const UserScale& scale) = 0;
  virtual UserScale Scale() const = 0;

  // Fills the whole surface with `back` and puts the current point at the origin.
  virtual void Clear(Rgb back) = 0;

  virtual void SetPenColor(Rgb color) = 0;
  virtual Rgb PenColor() const = 0;
  // Width in device pixels (1 = hairline).
  virtual void SetPenWidth(int width) = 0;
  virtual int PenWidth() const = 0;
  virtual void SetDotted(bool dotted) = 0;
  virtual bool Dotted() const = 0;

  // Font size in points; the graph keeps 8 points times its font factor.
  virtual void SetFontSize(double points) = 0;
  virtual double FontSize() const = 0;

  // Moves the current point without drawing.
  virtual void MoveTo(double x, double y) = 0;
  // Draws from (x1,y1) to (x2,y2); the current point becomes (x2,y2).
  virtual void Line(double x1, double y1, double x2, double y2) = 0;
  // Continues the polyline from the current point.
  virtual void LineTo(double x, double y) = 0;
  // Rectangle outline in the pen colour and width.
  virtual void Box(double x1, double y1, double x2, double y2) = 0;
  virtual void FilledBox(double x1, double y1, double x2, double y2, Rgb fill) = 0;
  // Text in the pen colour with (x, y) as its top-left corner.
  virtual void Text(double x, double y, const std::string& text) = 0;
  // Extent of a text at the current font, in user units (both positive).
  virtual double TextWidth(const std::string& text) const = 0;
  virtual double TextHeight(const std::string& text) const = 0;
};

}  // namespace vantrel

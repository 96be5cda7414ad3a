#include "display/recording_canvas.h"

#include <cmath>

namespace vantrel {

Primitive RecordingCanvas::Make(PrimitiveKind kind) const {
  Primitive p;
  p.kind = kind;
  p.color = color_;
  p.width = width_;
  p.dotted = dotted_;
  p.fontSize = fontSize_;
  return p;
}

void RecordingCanvas::Clear(Rgb back) {
  primitives.clear();
  Primitive p = Make(PrimitiveKind::Clear);
  p.color = back;
  primitives.push_back(p);
  curX_ = curY_ = 0;
}

void RecordingCanvas::Line(double x1, double y1, double x2, double y2) {
  Primitive p = Make(PrimitiveKind::Line);
  p.x1 = x1;
  p.y1 = y1;
  p.x2 = x2;
  p.y2 = y2;
  primitives.push_back(p);
  curX_ = x2;
  curY_ = y2;
}

void RecordingCanvas::LineTo(double x, double y) {
  Primitive p = Make(PrimitiveKind::LineTo);
  p.x1 = curX_;
  p.y1 = curY_;
  p.x2 = x;
  p.y2 = y;
  primitives.push_back(p);
  curX_ = x;
  curY_ = y;
}

void RecordingCanvas::Box(double x1, double y1, double x2, double y2) {
  Primitive p = Make(PrimitiveKind::Box);
  p.x1 = x1;
  p.y1 = y1;
  p.x2 = x2;
  p.y2 = y2;
  primitives.push_back(p);
}

void RecordingCanvas::FilledBox(double x1, double y1, double x2, double y2, Rgb fill) {
  Primitive p = Make(PrimitiveKind::FilledBox);
  p.x1 = x1;
  p.y1 = y1;
  p.x2 = x2;
  p.y2 = y2;
  p.color = fill;
  primitives.push_back(p);
}

void RecordingCanvas::Text(double x, double y, const std::string& text) {
  Primitive p = Make(PrimitiveKind::Text);
  p.x1 = x;
  p.y1 = y;
  p.text = text;
  primitives.push_back(p);
}

// A fixed-pitch pretend font: 0.6 em per character, 96 pixels per inch.
double RecordingCanvas::TextWidth(const std::string& text) const {
  const double px = static_cast<double>(text.size()) * 0.6 * fontSize_ * 96.0 / 72.0;
  return pixelWidth_ > 0 ? px * std::fabs(scale_.width) / pixelWidth_ : 0.0;
}

double RecordingCanvas::TextHeight(const std::string&) const {
  const double px = 1.2 * fontSize_ * 96.0 / 72.0;
  return pixelHeight_ > 0 ? px * std::fabs(scale_.height) / pixelHeight_ : 0.0;
}

std::vector<Primitive> RecordingCanvas::OfKind(PrimitiveKind kind) const {
  std::vector<Primitive> out;
  for (const auto& p : primitives)
    if (p.kind == kind) out.push_back(p);
  return out;
}

std::vector<std::string> RecordingCanvas::Texts() const {
  std::vector<std::string> out;
  for (const auto& p : primitives)
    if (p.kind == PrimitiveKind::Text) out.push_back(p.text);
  return out;
}

const Primitive* RecordingCanvas::FindText(const std::string& text) const {
  for (const auto& p : primitives)
    if (p.kind == PrimitiveKind::Text && p.text == text) return &p;
  return nullptr;
}

}  // namespace vantrel

#include "display/trace_painter.h"

#include <algorithm>
#include <string>

#include "display/graph_mapping.h"

namespace vantrel {

namespace {

// Counts per plotted unit below the top line: 1 at 10 dB/div, 10/scale at 5, 2 and 1
// (whole numbers, so the scaled height needs no rounding); 0 for other scales.
int StretchOf(float scale) {
  if (scale == 10.0f) return 1;
  if (scale == 5.0f) return 2;
  if (scale == 2.0f) return 5;
  if (scale == 1.0f) return 10;
  return 0;
}

// The instrument's firmware scales in 16 bits; counts far outside 0..1023 would
// overflow there, so the product is taken in 32 bits and the result limited instead.
inline double Height(std::int16_t c, int stretch, bool limitBoth) {
  double h;
  if (stretch == 1) {
    h = std::min<double>(c, kGraphTop);
    if (limitBoth && h < 0) h = 0;
  } else {
    const std::int32_t scaled = 1023 - (1023 - static_cast<std::int32_t>(c)) * stretch;
    h = std::clamp<std::int32_t>(scaled, 0, 1023);
  }
  return h;
}

// Draws the polyline and returns the last plotted height; nullopt when nothing drawn.
std::optional<double> Polyline(Canvas& canvas, std::span<const std::int16_t> points, float scale,
                               bool limitBoth) {
  const int stretch = StretchOf(scale);
  if (points.empty() || stretch == 0) return std::nullopt;
  const std::size_t count = std::min<std::size_t>(points.size(), kTracePoints);
  double h = Height(points[0], stretch, limitBoth);
  canvas.MoveTo(0, h);
  for (std::size_t n = 0; n < count; ++n) {
    h = Height(points[n], stretch, limitBoth);
    canvas.LineTo(static_cast<double>(n), h);
  }
  return h;
}

}  // namespace

std::optional<double> PlottedHeight(std::int16_t c, float scale, bool limitBoth) {
  const int stretch = StretchOf(scale);
  if (stretch == 0) return std::nullopt;
  return Height(c, stretch, limitBoth);
}

void DrawTrace(Canvas& canvas, std::span<const std::int16_t> points, Rgb color, float scale,
               int penWidth) {
  canvas.SetPenWidth(penWidth);
  canvas.SetPenColor(color);
  Polyline(canvas, points, scale, false);
}

void DrawStoredTrace(Canvas& canvas, std::span<const std::int16_t> points, Rgb color, int number,
                     float scale) {
  canvas.SetPenColor(color);
  const std::optional<double> last = Polyline(canvas, points, scale, true);
  canvas.Text(505, (last ? *last : 0) + 15, std::to_string(number));
}

void DrawStoredTraceLine(Canvas& canvas, std::span<const std::int16_t> points, Rgb color,
                         float scale) {
  canvas.SetPenColor(color);
  Polyline(canvas, points, scale, true);
}

void DrawStoredTraceNumber(Canvas& canvas, std::span<const std::int16_t> points, Rgb color,
                           int number, float scale) {
  canvas.SetPenColor(color);
  // The height where the polyline ends: its last point, as Polyline leaves it.
  const std::size_t count = std::min<std::size_t>(points.size(), kTracePoints);
  const std::optional<double> last =
      count > 0 ? PlottedHeight(points[count - 1], scale, true) : std::nullopt;
  canvas.Text(505, (last ? *last : 0) + 15, std::to_string(number));
}

}  // namespace vantrel

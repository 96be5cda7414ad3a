#pragma once
// Painting trace counts as polylines on the graph, at the vertical scale in force.
#include <cstdint>
#include <optional>
#include <span>

#include "display/canvas.h"

namespace vantrel {

// Plotted height of count `c` at `scale` dB/div, or nullopt for a scale other than
// 10, 5, 2 or 1. At 10 dB/div the count itself, at most 1023 (live traces keep counts
// below 0); at 5, 2 and 1 dB/div 1023 - (1023 - c) * 10 / scale rounded half to even
// and limited to 0..1023 (10/scale is whole, so the rounding never has a half to
// settle). With `limitBoth` the result is limited to 0..1023 at every
// scale (stored traces).
std::optional<double> PlottedHeight(std::int16_t c, float scale, bool limitBoth);

// One live trace: pen width 1 (thicker at print resolution), a polyline through (n, h(n)) for n = 0..500 in `color`.
// Nothing is drawn at an unsupported scale.
void DrawTrace(Canvas& canvas, std::span<const std::int16_t> points, Rgb color, float scale,
               int penWidth = 1);

// One stored trace: the same polyline limited to 0..1023, pen width left as it is, then
// its number at x 505 beside the end of the trace (y = last height + 15) in the same
// colour, which stays the pen colour. At an unsupported scale only the number, at y 15.
void DrawStoredTrace(Canvas& canvas, std::span<const std::int16_t> points, Rgb color, int number,
                     float scale);
// The two halves of DrawStoredTrace: the polyline, and the number in its colour. The
// number lies right of the graph, where no trace line reaches, so the lines of all
// traces may be drawn before all of the numbers without changing the picture.
void DrawStoredTraceLine(Canvas& canvas, std::span<const std::int16_t> points, Rgb color,
                         float scale);
void DrawStoredTraceNumber(Canvas& canvas, std::span<const std::int16_t> points, Rgb color,
                           int number, float scale);

}  // namespace vantrel

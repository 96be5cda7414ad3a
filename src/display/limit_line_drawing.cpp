#include "display/limit_line_drawing.h"

#include "display/graph_mapping.h"

namespace vantrel {

void DrawLimitLine(Canvas& target, const LimitLine& line, Rgb color, Rgb back,
                   const AnalyzerSettings& settings) {
  target.SetDotted(false);
  target.SetPenColor(color);
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const LimitPoint& a = line[i];
    const LimitPoint& b = line[i + 1];
    if (b.frequencyMHz < a.frequencyMHz) break;
    const auto xa = LimiterX(a.frequencyMHz, settings.FreqCenter, settings.Span);
    const auto xb = LimiterX(b.frequencyMHz, settings.FreqCenter, settings.Span);
    if (!xa || !xb) return;  // unmappable span: no masking, no frame
    const double x1 = *xa, x2 = *xb;
    const double y1 = LimiterY(a.level, settings.RefLevel, settings.Scale);
    const double y2 = LimiterY(b.level, settings.RefLevel, settings.Scale);
    const auto yAt = [&](double x) { return LineY(x1, y1, x2, y2, x); };
    if (x1 > kGraphRight || x2 < 0) continue;
    const bool startsInside = x1 >= 0;
    const bool endsInside = x2 <= kGraphRight;
    const double sx = startsInside ? x1 : 0;
    const double sy = startsInside ? y1 : yAt(0);
    const double ex = endsInside ? x2 : kGraphRight;
    const double ey = endsInside ? y2 : yAt(kGraphRight);
    target.Line(sx, sy, ex, ey);
    if (!endsInside) break;
  }
  const UserScale scale = target.Scale();
  target.FilledBox(0, kGraphTop + 1, kGraphRight, scale.top, back);
  target.FilledBox(0, 0, kGraphRight, scale.top + scale.height, back);
  target.Box(0, kGraphTop, kGraphRight, 0);
}

}  // namespace vantrel

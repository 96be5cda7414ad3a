#include "emi/stored_emi_trace.h"

#include <algorithm>

#include "display/graph_mapping.h"

namespace vantrel {

std::optional<double> StoredEmiY(double scale, std::int16_t raw) {
  if (scale == 1 || scale == 2 || scale == 5) return 1023 - (1023.0 - raw) * 10 / scale;
  if (scale == 10) return static_cast<double>(raw);
  return std::nullopt;
}

void DrawStoredEmiTrace(Canvas& target, const EmiTrace& trace, double refLevel, double scale,
                        Rgb colour) {
  const bool dotted = target.Dotted();
  target.SetDotted(false);
  target.SetPenColor(colour);
  double y = LevelToYRaw(refLevel, scale, trace[0].level);
  target.MoveTo(0, y);
  for (int n = 0; n < kEmiTracePoints; ++n) {
    if (const auto next = StoredEmiY(scale, trace[n].raw)) y = *next;
    y = std::clamp(y, 0.0, 1023.0);
    target.LineTo(n, y);
  }
  target.SetDotted(dotted);
}

}  // namespace vantrel

#pragma once
// Draws one of the analyzer's limit lines on the spectrum graph, clipped to the graph.
#include "commands/analyzer_settings.h"
#include "commands/limit_line.h"
#include "display/canvas.h"

namespace vantrel {

// Draws `line` in `color` (solid pen). The line ends at the first point whose frequency
// goes backwards and at the right edge of the graph. Whatever it drew above or below the
// graph is masked with `back`, and the frame is drawn again. A span that cannot be mapped
// ends the drawing at once.
void DrawLimitLine(Canvas& target, const LimitLine& line, Rgb color, Rgb back,
                   const AnalyzerSettings& settings);

}  // namespace vantrel

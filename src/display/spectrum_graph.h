#pragma once
// The whole spectrum view: grid, level labels, limit lines, frame, settings read-out,
// the live traces by layer and the marker table header, redrawn from state.
#include "display/canvas.h"
#include "display/display_state.h"

namespace vantrel {

// Repaints the view on `target`. The bottom edge follows the markers (-200 or -550);
// when printing, `screen` is the window's picture, whose height is set too. Nothing is
// drawn once the window has begun to close.
void DrawGrid(Canvas& target, DisplayState& state, const GraphLayers& layers = {},
              Canvas* screen = nullptr);

// Paints every valid stored trace, slots 1..100 in order, at the current scale; a scale
// not above 0 is read again through `rereadScale` first (when given); a reread that is
// not above 0 either gives 10 dB/div.
void DrawStored(Canvas& target, DisplayState& state,
                const std::function<float()>& rereadScale = {});

// The nine level labels from the top line down ("-20.0", "-30.0", ...).
std::string LevelLabel(float refLevel, float scale, int line);

// True when "Amp Uncal" belongs on the graph: start below 15 MHz and the reference
// level below -30 dBm.
bool AmpUncal(const AnalyzerSettings& settings);

}  // namespace vantrel

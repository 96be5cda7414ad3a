#pragma once
// How far the graph's text may grow on a picture of a given size: its rows lie 50
// units apart and its marker table columns 60 to 120 units apart, so a factor that
// only follows the width would make rows touch and columns run into each other.
#include "display/canvas.h"

namespace vantrel {

// The largest font factor up to `wanted`, and never below 1, at which every text row
// of the graph clears the next and the marker table's headings stay within their
// columns, measured on `canvas` (the picture's own size and font). The canvas's scale
// and font size are put back.
float FittingFontScale(Canvas& canvas, float wanted);

}  // namespace vantrel

#pragma once
// A wave text file's trace on the EMI graph (x 0..500, y 0..1023 counts), drawn once
// in the colour the user chose; the next repaint of the graph does not bring it back.
#include <optional>

#include "display/canvas.h"
#include "emi/emi_point.h"

namespace vantrel {

// `refLevel` is the EMI reference level and `scale` the standard's dB per division.
void DrawStoredEmiTrace(Canvas& target, const EmiTrace& trace, double refLevel, double scale,
                        Rgb colour);

// The y of a raw count at this scale; nullopt for a scale the graph has no rule for
// (the previous y is kept then).
std::optional<double> StoredEmiY(double scale, std::int16_t raw);

}  // namespace vantrel

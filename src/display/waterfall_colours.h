#pragma once
// The waterfall's colour map: 256 colours from dark blue-violet through green to yellow
// whose lightness rises all the way, so a stronger signal always looks brighter, also
// in grey print and to colour-blind eyes.
#include <array>
#include <cstdint>

namespace vantrel {

inline constexpr int kWaterfallColours = 256;

// 0xFFRRGGBB pixels, weakest level first.
const std::array<std::uint32_t, kWaterfallColours>& WaterfallColourTable();

// The colour of a place in the level range: 0 the bottom, 1 the top; outside clamped,
// NaN as the bottom.
std::uint32_t WaterfallColour(double fraction);

}  // namespace vantrel

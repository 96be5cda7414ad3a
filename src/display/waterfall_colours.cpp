#include "display/waterfall_colours.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// The viridis map at nine even steps; the table runs straight between them.
constexpr std::uint32_t kStops[] = {0x440154, 0x472c7a, 0x3b518b, 0x2c718e, 0x21908d,
                                    0x27ad81, 0x5cc863, 0xaadc32, 0xfde725};
constexpr int kSegments = static_cast<int>(std::size(kStops)) - 1;

struct Colour {
  double c[3];  // red, green, blue, 0..255
};

Colour OnPath(double t) {
  const double at = t * kSegments;
  const int k = std::min(static_cast<int>(at), kSegments - 1);
  const double f = at - k;
  Colour out{};
  for (int j = 0; j < 3; ++j) {
    const int shift = 16 - 8 * j;
    const double a = (kStops[k] >> shift) & 0xFF;
    const double b = (kStops[k + 1] >> shift) & 0xFF;
    out.c[j] = a + (b - a) * f;
  }
  return out;
}

double Linear(double v) {
  const double s = v / 255;
  return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

double Luminance(const int rgb[3]) {
  return 0.2126 * Linear(rgb[0]) + 0.7152 * Linear(rgb[1]) + 0.0722 * Linear(rgb[2]);
}

std::array<std::uint32_t, kWaterfallColours> BuildTable() {
  std::array<std::uint32_t, kWaterfallColours> table{};
  double previous = -1;
  for (int i = 0; i < kWaterfallColours; ++i) {
    const Colour want = OnPath(i / static_cast<double>(kWaterfallColours - 1));
    int best[3];
    for (int j = 0; j < 3; ++j) best[j] = static_cast<int>(std::lround(want.c[j]));
    // Rounding to whole units can make a colour a shade darker than the one before it;
    // then the nearest rounding either way per channel that is lighter is taken.
    if (Luminance(best) <= previous) {
      double bestDistance = 1e9;
      for (int d = 0; d < 8; ++d) {
        int pick[3];
        double distance = 0;
        for (int j = 0; j < 3; ++j) {
          pick[j] = static_cast<int>(std::floor(want.c[j])) + ((d >> j) & 1);
          distance += (pick[j] - want.c[j]) * (pick[j] - want.c[j]);
        }
        if (Luminance(pick) > previous && distance < bestDistance) {
          bestDistance = distance;
          std::copy(pick, pick + 3, best);
        }
      }
    }
    previous = Luminance(best);
    table[static_cast<std::size_t>(i)] = 0xFF000000u | static_cast<std::uint32_t>(best[0] << 16) |
                                         static_cast<std::uint32_t>(best[1] << 8) |
                                         static_cast<std::uint32_t>(best[2]);
  }
  return table;
}

}  // namespace

const std::array<std::uint32_t, kWaterfallColours>& WaterfallColourTable() {
  static const std::array<std::uint32_t, kWaterfallColours> table = BuildTable();
  return table;
}

std::uint32_t WaterfallColour(double fraction) {
  const double f = std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0);
  const auto index = static_cast<std::size_t>(std::lround(f * (kWaterfallColours - 1)));
  return WaterfallColourTable()[index];
}

}  // namespace vantrel

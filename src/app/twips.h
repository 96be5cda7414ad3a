#pragma once
// Window positions are kept in twips (1/1440 inch) and shown in pixels at the screen's
// logical resolution.
#include <cmath>

namespace vantrel {

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(double twips, double logicalDpi) {
  return static_cast<int>(std::lround(twips * logicalDpi / kTwipsPerInch));
}

inline double PixelsToTwips(int pixels, double logicalDpi) {
  return logicalDpi > 0 ? pixels * kTwipsPerInch / logicalDpi : 0.0;
}

}  // namespace vantrel

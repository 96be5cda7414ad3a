#pragma once
// The graph's fixed frame: its user scale, colours and the empty-graph texts.
#include "display/canvas.h"

namespace vantrel {

inline constexpr double kScaleLeft = -60;
inline constexpr double kScaleTop = 1200;
inline constexpr double kScaleWidth = 600;
inline constexpr double kScaleHeight = -1400;             // bottom edge at -200
inline constexpr double kScaleHeightWithMarkers = -1750;  // bottom edge at -550

inline constexpr Rgb kDefaultGridColor = MakeRgb(178, 178, 178);
inline constexpr Rgb kDefaultBackColor = MakeRgb(0, 0, 0);
inline constexpr Rgb kHigherLimitColor = MakeRgb(78, 233, 225);
inline constexpr Rgb kLowerLimitColor = MakeRgb(230, 191, 113);
inline constexpr Rgb kAmpUncalColor = MakeRgb(255, 0, 0);
inline constexpr Rgb kLiveTraceColors[3] = {MakeRgb(0, 255, 0), MakeRgb(220, 113, 16),
                                            MakeRgb(255, 255, 0)};
inline constexpr Rgb kStoredTraceColor = MakeRgb(0, 0, 255);
inline constexpr double kBaseFontSize = 8;

// The graph's user scale with the bottom edge for markers on or off.
constexpr UserScale GraphScale(bool anyMarker) {
  return {kScaleLeft, kScaleTop, kScaleWidth, anyMarker ? kScaleHeightWithMarkers : kScaleHeight};
}

}  // namespace vantrel

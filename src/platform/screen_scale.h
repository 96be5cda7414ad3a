#pragma once
// Large screens on desktops that announce no scaling (96 dpi, device pixel ratio 1) would
// show the windows at their designed pixel size: a 3840x2160 screen gives the graph a
// sixth of its width and 11-pixel text. The program then scales itself by a whole factor,
// the way the user would with QT_SCALE_FACTOR; any scaling the user or the desktop chose
// wins, and VANTREL_NO_AUTO_SCALE=1 turns this off.
#include <optional>

namespace vantrel {

// The whole factor for a screen of `heightPx` device pixels at `logicalDpi` and
// `devicePixelRatio`; nullopt where nothing needs scaling (ratio above 1, a desktop that
// raised the dpi, or a height below twice 1080 rows).
std::optional<int> AutoScaleFactor(int heightPx, double logicalDpi, double devicePixelRatio);

// Called before the application object exists: when the environment sets no Qt scaling,
// looks at the primary screen through a short-lived probe and sets QT_SCALE_FACTOR for
// the application about to start. Returns the factor set, if any.
std::optional<int> ScaleForLargeScreen(int argc, char** argv);

}  // namespace vantrel

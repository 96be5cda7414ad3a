#include "platform/screen_scale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

TEST(ScreenScale, OnlyUnscaledScreensOfTwiceTheDesignedHeightAreScaled) {
  struct Case {
    int height;
    double dpi, ratio;
    std::optional<int> factor;
  } cases[] = {
      {2160, 96, 1.0, 2},              // 4K without desktop scaling
      {4320, 96, 1.0, 4},              // 8K
      {2159, 96, 1.0, std::nullopt},   // just below twice 1080 rows
      {1440, 96, 1.0, std::nullopt},   // 2560x1440 stays as designed
      {2160, 192, 1.0, std::nullopt},  // the desktop raised the dpi
      {2160, 96, 2.0, std::nullopt},   // the desktop scales by itself
      {2160, 96, std::nan(""), std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AutoScaleFactor(c.height, c.dpi, c.ratio), c.factor) << c.height << " " << c.dpi;
}

}  // namespace
}  // namespace vantrel

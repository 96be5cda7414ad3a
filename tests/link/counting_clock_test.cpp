#include "link/counting_clock.h"

#include <gtest/gtest.h>

#include "link/virtual_clock.h"

namespace vantrel {
namespace {

TEST(CountingClock, SumsTheWaitsAskedAndLetsTheWrappedClockRunThem) {
  VirtualClock inner;
  CountingClock clock(inner);
  WaitMs(clock, 25);  // the wrapped clock rounds this up to 30
  clock.Sleep(1);
  WaitMs(clock, 0);
  clock.Sleep(-5);
  EXPECT_EQ(clock.AskedMs(), 26.0);
  EXPECT_EQ(inner.NowMs(), 31u);
  EXPECT_EQ(clock.NowMs(), 31u);
  EXPECT_EQ(inner.EventRounds(), 3u);
}

}  // namespace
}  // namespace vantrel

#include "link/clock.h"

#include <gtest/gtest.h>

#include "link/virtual_clock.h"

namespace vantrel {
namespace {

TEST(WaitMs, WaitsTheRequestedTimeInTenMillisecondSleepsWithEventsBetween) {
  VirtualClock clock;
  WaitMs(clock, 200);
  EXPECT_EQ(clock.NowMs(), 200u);
  EXPECT_EQ(clock.EventRounds(), 20u);
  WaitMs(clock, 25);  // rounds up to the next sleep
  EXPECT_EQ(clock.NowMs(), 230u);
}

TEST(WaitMs, ZeroOrNegativeReturnsAtOnce) {
  VirtualClock clock;
  WaitMs(clock, 0);
  WaitMs(clock, -5);
  EXPECT_EQ(clock.NowMs(), 0u);
  EXPECT_EQ(clock.EventRounds(), 0u);
}

TEST(WaitMs, WaitsTheFullTimeAcrossTheCounterWrap) {
  VirtualClock clock(0xFFFFFFFFu - 50u);
  WaitMs(clock, 300);
  EXPECT_EQ(clock.SleptMs(), 300u);
  EXPECT_EQ(ElapsedMs(0xFFFFFFF0u, 0x10u), 0x20u);
}

TEST(WaitMs, LetsEventsRunInsideTheWait) {
  VirtualClock clock;
  int clicks = 0;
  clock.onEvents = [&] { ++clicks; };
  WaitMs(clock, 50);
  EXPECT_EQ(clicks, 5);
}

}  // namespace
}  // namespace vantrel

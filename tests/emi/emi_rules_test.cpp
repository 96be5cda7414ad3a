// The numbers of an EMI measurement.
#include <gtest/gtest.h>

#include <vector>

#include "emi/emi_rules.h"

namespace vantrel {
namespace {

TEST(EmiRules, RbwAnswersInMHz) {
  struct Case {
    const char* answer;
    float mhz;
  };
  const Case cases[] = {{"9KHz", 0.009f}, {"120 khz", 0.12f}, {"4MHz", 4}, {"300Hz", 0},
                        {"0KHz", 0},      {"", 0},            {"Hz", 0}};
  for (const Case& c : cases) EXPECT_EQ(RbwInMHz(c.answer), c.mhz) << c.answer;
}

TEST(EmiRules, SettleTimes) {
  LimitStandard spot;
  spot.freqStart = 14.9995;
  spot.freqStop = 15.0005;
  spot.span = 0.001;
  LimitStandard avgSpot;
  avgSpot.span = 0.0001;
  LimitStandard qpWide;
  qpWide.span = 0.05;
  struct Case {
    const char* what;
    double ms;
    double expected;
  };
  const Case cases[] = {
      {"band 0.15-0.5 at 9 kHz", ConductedSettleMs({0.15, 0.5}, 0.009f), 2000},
      {"band 0.5-30 at 9 kHz", ConductedSettleMs({0.5, 30}, 0.009f), 29.5 / 0.009f * 2},
      {"band at RBW 0", ConductedSettleMs({0.5, 30}, 0), 2000},
      {"sweep 60 s", RadiatedSettleMs(60000), 100000},
      {"sweep 0.5 s", RadiatedSettleMs(500), 2000},
      {"QPeak 9 kHz", SinglePointSettleMs("QPeak", RbwInMHz("9KHz"), spot), 3204},
      {"AVG 120 kHz", SinglePointSettleMs("avg", RbwInMHz("120KHz"), avgSpot), 2000},
      {"AVG 9 kHz", SinglePointSettleMs("AVG", RbwInMHz("9KHz"), avgSpot), 2630 * 1.2},
      {"QP 120 kHz", SinglePointSettleMs("QP", 0.12f, qpWide), 4910 * 1.2},
      {"QP above 120 kHz", SinglePointSettleMs("QP", 1, spot), 2000},
      {"Normal at RBW 0", SinglePointSettleMs("Normal", 0, spot), 2000},
  };
  for (const Case& c : cases) EXPECT_NEAR(c.ms, c.expected, 1e-6) << c.what;
  EXPECT_EQ(SettleStatus(29.5 / 0.009f * 2), "Waitting 6.6 Sec for wave settle.");
}

TEST(EmiRules, SpotWindowStaysOnTheAnalyzer) {
  struct Case {
    double centre;
    const char* detection;
    const char* mode;
    double start;
    double stop;
  };
  const Case cases[] = {{15, "QPeak", "Conducted", 14.9995, 15.0005},
                        {100, "AVG", "Radiation", 99.99995, 100.00005},
                        {0.0004, "avg", "Conducted", 0.00035, 0.00045},
                        {0.0001, "Normal", "Conducted", 0, 0.0006},
                        {2999.999, "Peak+", "Radiation", 2999.989, 3000}};
  for (const Case& c : cases) {
    LimitStandard s;
    s.detection = c.detection;
    EXPECT_EQ(SetSpotWindow(s, c.centre), c.mode);
    EXPECT_NEAR(s.freqStart, c.start, 1e-9) << c.centre;
    EXPECT_NEAR(s.freqStop, c.stop, 1e-9) << c.centre;
  }
}

TEST(EmiRules, LowReferenceLevelsRaiseTheCounts) {
  struct Case {
    double ref;
    std::int16_t lift;
  };
  const Case cases[] = {{50, 90}, {57, 0}, {107, 0}, {-3, 767}, {56.96875, 0}};
  for (const Case& c : cases) {
    std::vector<std::int16_t> raw{0, 500, 1023};
    RaiseRawLevels(raw, c.ref);
    EXPECT_EQ(raw, (std::vector<std::int16_t>{c.lift, std::int16_t(500 + c.lift),
                                              std::int16_t(1023 + c.lift)}))
        << c.ref;
  }
}

TEST(EmiRules, ReferenceLevelLimits) {
  EXPECT_EQ(ClampTypedRefLevel(130), 127);
  EXPECT_EQ(ClampTypedRefLevel(-10), -3);
  EXPECT_EQ(ClampTypedRefLevel(50), 50);
  EXPECT_EQ(ClampSpinRefLevel(200), 127);
  EXPECT_EQ(ClampSpinRefLevel(10), 77);
}

}  // namespace
}  // namespace vantrel

#include "display/peaks.h"

#include <gtest/gtest.h>

#include <random>

namespace vantrel {
namespace {

std::vector<PeakPoint> Trace(const std::vector<double>& levels) {
  std::vector<PeakPoint> points;
  for (std::size_t n = 0; n < levels.size(); ++n) {
    points.push_back({100.0 + static_cast<double>(n), levels[n], static_cast<std::int16_t>(n)});
  }
  return points;
}

std::vector<double> Flat(double level) {
  return std::vector<double>(501, level);
}

TEST(FindPeaks, FlatOrGentleTracesHaveNoPeak) {
  EXPECT_TRUE(FindPeaks(Trace(Flat(-80))).empty());
  auto levels = Flat(-80);
  levels[200] = -75.0;  // exactly 5 dB is not enough
  EXPECT_TRUE(FindPeaks(Trace(levels)).empty());
  levels[200] = -74.99;
  ASSERT_EQ(FindPeaks(Trace(levels)).size(), 1u);
  EXPECT_TRUE(FindPeaks({}).empty());
}

TEST(FindPeaks, OneToneGivesOnePeakAtItsPoint) {
  auto levels = Flat(-90);
  levels[301] = -70;
  const auto peaks = FindPeaks(Trace(levels));
  ASSERT_EQ(peaks.size(), 1u);
  EXPECT_DOUBLE_EQ(peaks[0].frequency, 401.0);
  EXPECT_DOUBLE_EQ(peaks[0].level, -70.0);
}

TEST(FindPeaks, StrongestFirstByTheExchangeOrder) {
  auto levels = Flat(-90);
  levels[40] = -50;
  levels[250] = -50;
  auto peaks = FindPeaks(Trace(levels));
  ASSERT_EQ(peaks.size(), 2u);  // two equal peaks: the one found first stays first
  EXPECT_EQ(peaks[0].count, 40);
  EXPECT_EQ(peaks[1].count, 250);

  levels[120] = -30;
  levels[400] = -40;
  peaks = FindPeaks(Trace(levels));
  ASSERT_EQ(peaks.size(), 4u);
  // Exchanges, not a stable sort: -40 passes the first -50 on its way up.
  EXPECT_EQ(peaks[0].count, 120);
  EXPECT_EQ(peaks[1].count, 400);
  EXPECT_EQ(peaks[2].count, 250);
  EXPECT_EQ(peaks[3].count, 40);
}

TEST(FindPeaks, TheEdgeCandidatesNeedOnlyTheirInnerSide) {
  auto levels = Flat(-90);
  levels[0] = -40;    // first candidate: only the right side is tested
  levels[500] = -45;  // last block is the single point 500
  const auto peaks = FindPeaks(Trace(levels));
  ASSERT_EQ(peaks.size(), 2u);
  EXPECT_EQ(peaks[0].count, 0);
  EXPECT_EQ(peaks[1].count, 500);
}

TEST(FindPeaks, PointsWithoutAValueNeverBecomePeaks) {
  auto levels = Flat(-90);
  levels[100] = kNoLevel;
  levels[300] = -60;
  const auto peaks = FindPeaks(Trace(levels));
  ASSERT_EQ(peaks.size(), 1u);
  EXPECT_EQ(peaks[0].count, 300);
}

// The rules written out the plain way, to compare with on random traces.
std::vector<PeakPoint> ReferencePeaks(const std::vector<PeakPoint>& p) {
  std::vector<PeakPoint> b;
  for (std::size_t s = 0; s < p.size(); s += 4) {
    PeakPoint best = p[s];
    for (std::size_t i = s + 1; i < s + 4 && i < p.size(); ++i)
      if (p[i].level > best.level) best = p[i];
    b.push_back(best);
  }
  const int last = static_cast<int>(b.size()) - 1;
  std::vector<int> cand;
  for (int k = 0; k <= last; ++k) {
    if ((k < last && b[k].level >= b[k + 1].level) || (k == last && b[k].level >= b[k - 1].level))
      cand.push_back(k);
  }
  auto drop = [&](int c, int step) {
    bool dropped = false;
    for (int k = c; k >= 0 && k <= last; k += step) {
      if (b[k].level > b[c].level) break;
      if (b[c].level - b[k].level > 5.0) dropped = true;
    }
    return dropped;
  };
  std::vector<PeakPoint> peaks;
  for (std::size_t i = 0; i < cand.size(); ++i) {
    const bool l = i == 0 ? true : drop(cand[i], -1);
    const bool r = (i + 1 == cand.size() && i != 0) ? true : drop(cand[i], 1);
    if (l && r) peaks.push_back(b[cand[i]]);
  }
  std::stable_sort(peaks.begin(), peaks.end(),
                   [](const PeakPoint& a, const PeakPoint& c) { return a.level > c.level; });
  return peaks;
}

TEST(FindPeaks, AgreesWithThePlainRulesOnRandomTraces) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> noise(-3.0, 3.0);
  std::uniform_int_distribution<int> where(0, 500);
  std::uniform_real_distribution<double> height(3.0, 40.0);
  for (int round = 0; round < 300; ++round) {
    auto levels = Flat(-90);
    for (auto& l : levels) l += noise(rng);
    const int tones = round % 8;
    for (int t = 0; t < tones; ++t) levels[where(rng)] += height(rng);
    const auto points = Trace(levels);
    const auto got = FindPeaks(points);
    const auto want = ReferencePeaks(points);
    ASSERT_EQ(got.size(), want.size()) << "round " << round;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_DOUBLE_EQ(got[i].level, want[i].level) << "round " << round << " peak " << i;
    }
  }
}

}  // namespace
}  // namespace vantrel

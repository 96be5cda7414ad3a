#include "display/peaks.h"

#include "util/numbers.h"

#include <limits>
#include <utility>

namespace vantrel {
namespace {

constexpr std::size_t kBlockSize = 4;
constexpr double kMinDropDb = 5.0;

// A point without a value ranks below every real level.
double Rank(const PeakPoint& p) {
  return p.level >= kNoLevel ? -std::numeric_limits<double>::infinity() : p.level;
}

std::vector<PeakPoint> BlockMaxima(const std::vector<PeakPoint>& points) {
  std::vector<PeakPoint> blocks;
  for (std::size_t start = 0; start < points.size(); start += kBlockSize) {
    const std::size_t end = std::min(points.size(), start + kBlockSize);
    std::size_t best = start;
    for (std::size_t i = start + 1; i < end; ++i) {
      if (Rank(points[i]) > Rank(points[best])) best = i;  // earlier point wins ties
    }
    blocks.push_back(points[best]);
  }
  return blocks;
}

// Walks from block c in steps of `dir` until a block rises above it or the trace ends;
// true when some block on the way lies more than 5 dB below it.
bool DropsOnSide(const std::vector<PeakPoint>& blocks, std::size_t c, int dir) {
  const double top = Rank(blocks[c]);
  for (auto k = static_cast<std::ptrdiff_t>(c);
       k >= 0 && k < static_cast<std::ptrdiff_t>(blocks.size()); k += dir) {
    const double level = Rank(blocks[static_cast<std::size_t>(k)]);
    if (level > top) return false;
    if (top - level > kMinDropDb) return true;
  }
  return false;
}

}  // namespace

std::vector<PeakPoint> FindPeaks(const std::vector<PeakPoint>& points) {
  const std::vector<PeakPoint> blocks = BlockMaxima(points);
  if (blocks.empty()) return {};
  const std::size_t last = blocks.size() - 1;

  std::vector<std::size_t> candidates;
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    const bool candidate = k < last ? Rank(blocks[k]) >= Rank(blocks[k + 1])
                                    : (last == 0 || Rank(blocks[k]) >= Rank(blocks[k - 1]));
    if (candidate) candidates.push_back(k);
  }

  std::vector<PeakPoint> peaks;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const std::size_t c = candidates[i];
    const bool first = i == 0;
    const bool lastCandidate = i + 1 == candidates.size() && !first;
    const bool left = first || DropsOnSide(blocks, c, -1);
    const bool right = lastCandidate || DropsOnSide(blocks, c, +1);
    if (left && right) peaks.push_back(blocks[c]);
  }

  // Strongest first by exchanges; of two equal peaks the one found first stays first.
  for (std::size_t i = 0; i < peaks.size(); ++i) {
    for (std::size_t j = i; j < peaks.size(); ++j) {
      if (Rank(peaks[j]) > Rank(peaks[i])) std::swap(peaks[i], peaks[j]);
    }
  }
  return peaks;
}

std::vector<PeakPoint> MarkerTracePoints(const DisplayState& state) {
  const std::int16_t ref = RoundToInt16(state.settings.RefLevel);
  std::vector<PeakPoint> points(kTracePoints);
  for (int n = 0; n < kTracePoints; ++n) {
    points[n].frequency = XToFreqLin(state.settings.FreqStart, state.settings.FreqStop, n);
    points[n].level = PointHeightTodBm(ref, n, state.markerTrace, state.dbPerCount);
    points[n].count = state.markerTrace[n];
  }
  return points;
}

}  // namespace vantrel

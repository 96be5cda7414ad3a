#include "display/sweep_history.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "display/graph_mapping.h"
#include "display/waterfall_colours.h"

namespace vantrel {

SweepHistory::SweepHistory(std::size_t rows) {
  SetCapacity(rows);
}

void SweepHistory::SetCapacity(std::size_t rows) {
  rows = std::max<std::size_t>(rows, 1);
  std::vector<SweepRow> kept;
  kept.reserve(rows);
  const std::size_t keep = std::min(size_, rows);
  // Oldest kept first, so the newest lands last and the ring starts in order.
  for (std::size_t age = keep; age-- > 0;)
    kept.push_back(std::move(rows_[(newest_ + rows_.size() - age) % rows_.size()]));
  kept.resize(rows);
  rows_ = std::move(kept);
  size_ = keep;
  newest_ = keep == 0 ? rows - 1 : keep - 1;
  colours_.assign(rows, {});
  coloured_.assign(rows, false);
  ++generation_;
}

void SweepHistory::Clear() {
  size_ = 0;
  ++generation_;
}

void SweepHistory::Add(std::span<const std::int16_t> counts, double refLevel, double dbPerCount,
                       std::uint64_t record, SweepSpan span) {
  if (span != span_) {
    size_ = 0;
    span_ = span;
  }
  newest_ = (newest_ + 1) % rows_.size();
  SweepRow& row = rows_[newest_];
  coloured_[newest_] = false;
  row.record = record;
  row.levels.assign(kTracePoints, std::numeric_limits<float>::quiet_NaN());
  const std::size_t n = std::min<std::size_t>(counts.size(), kTracePoints);
  for (std::size_t i = 0; i < n; ++i) {
    if (counts[i] >= 0) {
      row.levels[i] = static_cast<float>(CountToLevel(refLevel, counts[i], dbPerCount));
    }
  }
  size_ = std::min(size_ + 1, rows_.size());
  ++generation_;
}

const SweepRow& SweepHistory::Row(std::size_t age) const {
  return rows_[(newest_ + rows_.size() - age % rows_.size()) % rows_.size()];
}

void SweepHistory::ColourRow(std::size_t slot, double refLevel, double scale) const {
  std::vector<std::uint32_t>& colours = colours_[slot];
  colours.resize(kTracePoints);
  auto out = colours.begin();
  for (const float level : rows_[slot].levels) {
    // No value paints as the weakest colour; LevelToY gives 0 for it.
    *out++ = WaterfallColour(LevelToY(level, refLevel, scale) / kGraphTop);
  }
  coloured_[slot] = true;
}

void SweepHistory::Render(double refLevel, double scale, std::vector<std::uint32_t>& pixels) const {
  if (refLevel != colouredRef_ || scale != colouredScale_) {
    coloured_.assign(coloured_.size(), false);
    colouredRef_ = refLevel;
    colouredScale_ = scale;
  }
  pixels.resize(size_ * kTracePoints);
  auto out = pixels.begin();
  for (std::size_t age = 0; age < size_; ++age) {
    const std::size_t slot = (newest_ + rows_.size() - age) % rows_.size();
    if (!coloured_[slot]) ColourRow(slot, refLevel, scale);
    out = std::copy(colours_[slot].begin(), colours_[slot].end(), out);
  }
}

}  // namespace vantrel

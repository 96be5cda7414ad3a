#pragma once
// The last sweeps of trace 1, newest first, for the waterfall: a ring of a fixed number
// of rows, so memory stays the same however long sweeps keep coming. Each row keeps its
// levels, so the colours follow the reference level and scale shown now. All rows share
// one span, so every column is one frequency from top to bottom.
#include <cstdint>
#include <span>
#include <vector>

#include "commands/raw_trace.h"

namespace vantrel {

inline constexpr std::size_t kDefaultWaterfallRows = 500;

// The start and stop frequency (MHz) a sweep was read over.
struct SweepSpan {
  double start = 0;
  double stop = 0;
  bool operator==(const SweepSpan&) const = default;
};

struct SweepRow {
  std::vector<float> levels;  // kTracePoints, in the reference unit; NaN where no value
  std::uint64_t record = 0;   // the recording's record number; 0 for a measured sweep
};

class SweepHistory {
 public:
  explicit SweepHistory(std::size_t rows = kDefaultWaterfallRows);

  // At least one row; the newest rows that fit stay.
  void SetCapacity(std::size_t rows);
  std::size_t Capacity() const { return rows_.size(); }
  std::size_t Size() const { return size_; }
  void Clear();

  // A sweep as trace counts (kTracePoints; a negative count has no value) at the
  // reference level it was read with. A sweep over another span than the rows held
  // starts the history afresh.
  void Add(std::span<const std::int16_t> counts, double refLevel, double dbPerCount,
           std::uint64_t record = 0, SweepSpan span = {});
  // Row `age` (0 the newest, below Size()).
  const SweepRow& Row(std::size_t age) const;
  // Grows at every change, so a painter knows when its picture is stale.
  std::uint64_t Generation() const { return generation_; }

  // Every row, newest first, as kTracePoints pixels 0xFFRRGGBB each, point n at column
  // n: the colour of its level between refLevel - 8 * scale (bottom) and refLevel. Rows
  // keep their colours until the range changes, so a new sweep colours one row.
  void Render(double refLevel, double scale, std::vector<std::uint32_t>& pixels) const;

 private:
  void ColourRow(std::size_t slot, double refLevel, double scale) const;

  std::vector<SweepRow> rows_;
  std::size_t newest_ = 0;  // index of the newest row in rows_
  std::size_t size_ = 0;
  SweepSpan span_;
  std::uint64_t generation_ = 0;
  // The colours of each slot of rows_ and whether they are still those of its row in
  // the range below.
  mutable std::vector<std::vector<std::uint32_t>> colours_;
  mutable std::vector<bool> coloured_;
  mutable double colouredRef_ = 0;
  mutable double colouredScale_ = 0;
};

}  // namespace vantrel

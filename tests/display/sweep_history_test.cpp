// The waterfall's data: the ring of the last sweeps and the level-to-colour mapping.
#include "display/sweep_history.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "display/waterfall_colours.h"

namespace vantrel {
namespace {

std::array<std::int16_t, kTracePoints> Flat(std::int16_t count) {
  std::array<std::int16_t, kTracePoints> points{};
  points.fill(count);
  return points;
}

// Rows added with counts 1, 2, 3 ... (the count tells the rows apart).
SweepHistory Filled(std::size_t capacity, int sweeps) {
  SweepHistory history(capacity);
  for (int i = 1; i <= sweeps; ++i) {
    history.Add(Flat(static_cast<std::int16_t>(i)), 0, 1, static_cast<std::uint64_t>(i));
  }
  return history;
}

struct RingCase {
  std::size_t capacity;
  int sweeps;
  std::size_t size;
  std::uint64_t newest, oldest;
};

TEST(SweepHistory, KeepsTheNewestRowsUpToItsCapacity) {
  const RingCase cases[] = {
      {3, 0, 0, 0, 0}, {3, 2, 2, 2, 1}, {3, 3, 3, 3, 1},
      {3, 7, 3, 7, 5}, {1, 4, 1, 4, 4}, {500, 1234, 500, 1234, 735},
  };
  for (const RingCase& c : cases) {
    const SweepHistory h = Filled(c.capacity, c.sweeps);
    ASSERT_EQ(h.Size(), c.size) << c.capacity << "/" << c.sweeps;
    if (c.size == 0) continue;
    EXPECT_EQ(h.Row(0).record, c.newest) << c.capacity << "/" << c.sweeps;
    EXPECT_EQ(h.Row(c.size - 1).record, c.oldest) << c.capacity << "/" << c.sweeps;
  }
}

TEST(SweepHistory, ACapacityChangeKeepsTheNewestRowsInOrder) {
  struct Case {
    std::size_t from, to;
    int sweeps;
    std::vector<std::uint64_t> records;  // newest first, after one more sweep
  };
  const Case cases[] = {
      {5, 3, 7, {8, 7, 6}},     // shrunk after wrapping
      {3, 5, 7, {8, 7, 6, 5}},  // grown after wrapping: room for the next
      {4, 0, 2, {3}},           // at least one row
  };
  for (const Case& c : cases) {
    SweepHistory h = Filled(c.from, c.sweeps);
    h.SetCapacity(c.to);
    h.Add(Flat(0), 0, 1, static_cast<std::uint64_t>(c.sweeps + 1));
    std::vector<std::uint64_t> records;
    for (std::size_t age = 0; age < h.Size(); ++age) records.push_back(h.Row(age).record);
    EXPECT_EQ(records, c.records) << c.from << "->" << c.to;
  }
}

TEST(SweepHistory, ASweepOverAnotherSpanStartsAfresh) {
  struct Case {
    SweepSpan next;
    std::size_t size;
  };
  const Case cases[] = {{{100, 200}, 3}, {{100, 250}, 1}, {{150, 200}, 1}};
  for (const Case& c : cases) {
    SweepHistory h(4);
    h.Add(Flat(1), 0, 1, 1, {100, 200});
    h.Add(Flat(2), 0, 1, 2, {100, 200});
    h.Add(Flat(3), 0, 1, 3, c.next);
    EXPECT_EQ(h.Size(), c.size) << c.next.start << "-" << c.next.stop;
  }
}

TEST(SweepHistory, LevelsFollowTheReferenceLevelTheyWereReadWith) {
  SweepHistory h;
  std::array<std::int16_t, kTracePoints> points = Flat(1023);
  points[1] = 0;
  points[2] = -1;  // no value
  h.Add(points, -20, 80.0 / 1023.0);
  EXPECT_FLOAT_EQ(h.Row(0).levels[0], -20);
  EXPECT_FLOAT_EQ(h.Row(0).levels[1], -100);
  EXPECT_TRUE(std::isnan(h.Row(0).levels[2]));
}

TEST(SweepHistory, RenderedColoursSpanReferenceToEightDivisionsBelow) {
  // Levels at the top, the middle and the bottom of a -10 dBm, 5 dB/div range.
  struct Case {
    double level;
    std::uint32_t colour;
  };
  const Case cases[] = {
      {-10, WaterfallColour(1)}, {-30, WaterfallColour(0.5)}, {-50, WaterfallColour(0)},
      {+5, WaterfallColour(1)},  {-90, WaterfallColour(0)},
  };
  for (const Case& c : cases) {
    SweepHistory h(2);
    // count = 1023 + level at one dB per count, read at 0 dBm
    h.Add(Flat(static_cast<std::int16_t>(1023 + c.level)), 0, 1);
    std::vector<std::uint32_t> pixels;
    h.Render(-10, 5, pixels);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kTracePoints));
    EXPECT_EQ(pixels[250], c.colour) << c.level;
  }
}

TEST(SweepHistory, RenderPutsTheNewestRowFirst) {
  SweepHistory h(4);
  h.Add(Flat(1023 - 80), 0, 1);  // the bottom
  h.Add(Flat(1023), 0, 1);       // the top
  std::vector<std::uint32_t> pixels;
  h.Render(0, 10, pixels);
  ASSERT_EQ(pixels.size(), 2u * kTracePoints);
  EXPECT_EQ(pixels[0], WaterfallColour(1));
  EXPECT_EQ(pixels[kTracePoints], WaterfallColour(0));
}

TEST(SweepHistory, KeptColoursFollowARangeChange) {
  SweepHistory h(4);
  h.Add(Flat(1023 - 40), 0, 1);  // -40 dBm
  std::vector<std::uint32_t> pixels;
  h.Render(0, 10, pixels);  // the middle of 0..-80
  h.Render(0, 5, pixels);   // the bottom of 0..-40
  EXPECT_EQ(pixels[0], WaterfallColour(0));
}

// Relative luminance of a 0xFFRRGGBB colour (sRGB weights on linear light).
double Luminance(std::uint32_t c) {
  const auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin((c >> 16) & 0xFF) + 0.7152 * lin((c >> 8) & 0xFF) + 0.0722 * lin(c & 0xFF);
}

TEST(WaterfallColours, RunFromDarkVioletToYellowGettingLighterAllTheWay) {
  const auto& table = WaterfallColourTable();
  EXPECT_EQ(table.front(), 0xFF440154u);  // viridis' ends
  EXPECT_EQ(table.back(), 0xFFFDE725u);
  for (std::size_t i = 1; i < table.size(); ++i) {
    EXPECT_GT(Luminance(table[i]), Luminance(table[i - 1])) << i;
  }
}

TEST(WaterfallColours, FractionsOutsideTheRangeAndNaNAreClamped) {
  EXPECT_EQ(WaterfallColour(-3), WaterfallColour(0));
  EXPECT_EQ(WaterfallColour(7), WaterfallColour(1));
  EXPECT_EQ(WaterfallColour(std::nan("")), WaterfallColour(0));
}

}  // namespace
}  // namespace vantrel

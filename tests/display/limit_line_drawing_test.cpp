#include "display/limit_line_drawing.h"

#include <gtest/gtest.h>

#include "display/graph_frame.h"
#include "display/recording_canvas.h"
#include "display_test_support.h"

namespace vantrel {
namespace {

std::vector<Primitive> Lines(const RecordingCanvas& c) {
  return c.OfKind(PrimitiveKind::Line);
}

TEST(DrawLimitLine, StopsWhereFrequenciesGoBackwards) {
  RecordingCanvas canvas;
  canvas.SetScale(GraphScale(false));
  DrawLimitLine(canvas, {{100, -20}, {200, -20}, {150, -30}, {300, -30}}, kHigherLimitColor,
                kDefaultBackColor, PointIsMHzAxis());
  const auto lines = Lines(canvas);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NEAR(lines[0].x1, 100, 1e-3);
  EXPECT_NEAR(lines[0].x2, 200, 1e-3);
  EXPECT_EQ(lines[0].color, kHigherLimitColor);
  // Masks above and below the graph, then the frame again.
  const auto fills = canvas.OfKind(PrimitiveKind::FilledBox);
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_DOUBLE_EQ(fills[0].y2, 1200);
  EXPECT_DOUBLE_EQ(fills[1].y2, -200);
  ASSERT_EQ(canvas.OfKind(PrimitiveKind::Box).size(), 1u);
}

TEST(DrawLimitLine, ClipsToTheGraphAndStopsAtTheRightEdge) {
  RecordingCanvas canvas;
  canvas.SetScale(GraphScale(false));
  // From below the start to beyond the stop, then a point that must not be drawn.
  DrawLimitLine(canvas, {{-100, -40}, {700, 0}, {800, 0}}, kLowerLimitColor, kDefaultBackColor,
                PointIsMHzAxis());
  const auto lines = Lines(canvas);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NEAR(lines[0].x1, 0, 1e-3);
  EXPECT_NEAR(lines[0].x2, 500, 1e-3);
  // y follows the straight line: -40 dB at x -100, 0 dB at x 700.
  const double yAt0 = 1023 - 1023 / 80.0 * 35;
  EXPECT_NEAR(lines[0].y1, yAt0, 0.5);
}

TEST(DrawLimitLine, SkipsPairsOutsideAndGivesUpOnAnUnmappableSpan) {
  RecordingCanvas canvas;
  canvas.SetScale(GraphScale(false));
  DrawLimitLine(canvas, {{-300, -40}, {-200, -40}, {600, -40}, {700, -40}}, kLowerLimitColor,
                kDefaultBackColor, PointIsMHzAxis());
  ASSERT_EQ(Lines(canvas).size(), 1u);  // only the pair that crosses the graph

  RecordingCanvas broken;
  broken.SetScale(GraphScale(false));
  auto s = PointIsMHzAxis();
  s.Span = "0MHz";
  DrawLimitLine(broken, {{100, -40}, {200, -40}}, kLowerLimitColor, kDefaultBackColor, s);
  EXPECT_TRUE(broken.OfKind(PrimitiveKind::Box).empty());
  DrawLimitLine(broken, {{100, -40}}, kLowerLimitColor, kDefaultBackColor, PointIsMHzAxis());
  EXPECT_TRUE(Lines(broken).empty());
}

}  // namespace
}  // namespace vantrel

// The stored EMI trace on the EMI graph: raw counts scaled by the standard's dB per
// division and kept inside the graph.
#include <gtest/gtest.h>

#include "display/recording_canvas.h"
#include "emi/stored_emi_trace.h"

namespace vantrel {
namespace {

TEST(StoredEmiTrace, RawCountsFollowTheScaleAndStayOnTheGraph) {
  struct Case {
    double scale;
    std::int16_t raw;
    double y;
  };
  const Case cases[] = {{10, 1100, 1023}, {5, 1023, 1023}, {5, 923, 823},
                        {2, 1000, 908}, {10, -5, 0}, {3, 500, 1023}};
  for (const Case& c : cases) {
    EmiTrace trace{};
    trace[0].level = 200;  // far above the reference: the start maps past the top, 1023
    for (EmiPoint& p : trace) p.raw = c.raw;
    RecordingCanvas canvas;
    canvas.SetDotted(true);
    DrawStoredEmiTrace(canvas, trace, 80, c.scale, 0x0000FF);
    const auto lines = canvas.OfKind(PrimitiveKind::LineTo);
    ASSERT_EQ(lines.size(), 501u);
    EXPECT_DOUBLE_EQ(lines[250].y2, c.y) << "scale " << c.scale << " raw " << c.raw;
    EXPECT_FALSE(lines[0].dotted);
    EXPECT_TRUE(canvas.Dotted());  // the draw style is restored
  }
}

}  // namespace
}  // namespace vantrel

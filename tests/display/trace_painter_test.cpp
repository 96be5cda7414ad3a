#include "display/trace_painter.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/recording_canvas.h"
#include "display/spectrum_graph.h"

namespace vantrel {
namespace {

TEST(PlottedHeight, ScaleRulesAndLimits) {
  EXPECT_EQ(*PlottedHeight(500, 10, false), 500);
  EXPECT_EQ(*PlottedHeight(1100, 10, false), 1023);
  EXPECT_EQ(*PlottedHeight(-5, 10, false), -5);  // live traces keep low counts
  EXPECT_EQ(*PlottedHeight(-5, 10, true), 0);    // stored traces do not
  EXPECT_EQ(*PlottedHeight(1023 - 50, 5, false), 923);
  EXPECT_EQ(*PlottedHeight(0, 5, false), 0);
  EXPECT_EQ(*PlottedHeight(1023, 5, false), 1023);
  EXPECT_EQ(*PlottedHeight(1100, 5, false), 1023);
  EXPECT_EQ(*PlottedHeight(1023 - 3, 2, false), 1008);
  EXPECT_EQ(*PlottedHeight(1023 - 1, 1, false), 1013);
  EXPECT_EQ(*PlottedHeight(1023 - 7, 2, false), 988);
  // Counts whose scaled distance leaves the 16-bit range are held at the edges.
  EXPECT_EQ(*PlottedHeight(-32768, 1, false), 0);
  EXPECT_EQ(*PlottedHeight(32767, 1, false), 1023);
  EXPECT_FALSE(PlottedHeight(500, 0, false).has_value());
  EXPECT_FALSE(PlottedHeight(500, 3, true).has_value());
  EXPECT_FALSE(PlottedHeight(500, std::numeric_limits<float>::quiet_NaN(), true).has_value());
}

TEST(DrawTracePolyline, PointsAtTheirXAndColour) {
  std::vector<std::int16_t> points(501);
  for (int n = 0; n < 501; ++n) points[n] = static_cast<std::int16_t>(n * 2);
  RecordingCanvas c;
  c.SetPenWidth(3);
  DrawTrace(c, points, MakeRgb(1, 2, 3), 10);
  const auto segs = c.OfKind(PrimitiveKind::LineTo);
  ASSERT_EQ(segs.size(), 501u);
  EXPECT_EQ(segs[0].x1, 0);  // starts at x 0, height of point 0
  EXPECT_EQ(segs[0].y1, 0);
  for (int n = 0; n < 501; ++n) {
    EXPECT_EQ(segs[n].x2, n);
    EXPECT_EQ(segs[n].y2, std::min(n * 2, 1023));
    EXPECT_EQ(segs[n].width, 1);
    EXPECT_EQ(segs[n].color, MakeRgb(1, 2, 3));
  }
  c.primitives.clear();
  DrawTrace(c, points, 0, 7);  // unsupported scale
  EXPECT_TRUE(c.primitives.empty());
  DrawTrace(c, std::vector<std::int16_t>{}, 0, 10);  // nothing to draw
  EXPECT_TRUE(c.primitives.empty());
}

TEST(DrawStoredTraces, NumberBesideTheEndAndClamps) {
  DisplayState st;
  st.settings.Scale = 10;
  RawTrace& slot7 = st.storedTraces[6];
  for (auto& p : slot7.Points()) p = -5;
  slot7.Points()[500] = 600;
  slot7.SetMode(7);
  slot7.SetColour(MakeRgb(0, 0, 255));
  slot7.SetValid(true);
  RawTrace& slot2 = st.storedTraces[1];
  for (auto& p : slot2.Points()) p = 2000;
  slot2.SetMode(2);
  slot2.SetColour(MakeRgb(9, 9, 9));
  slot2.SetValid(true);
  st.storedTraces[3].SetValid(false);

  RecordingCanvas c;
  c.SetPenWidth(2);
  DrawStored(c, st);
  const auto segs = c.OfKind(PrimitiveKind::LineTo);
  ASSERT_EQ(segs.size(), 2u * 501);
  EXPECT_EQ(segs[0].y2, 1023);  // slot 2 first, limited to 1023
  EXPECT_EQ(segs[0].width, 2);  // pen width left as it was
  EXPECT_EQ(segs[501].y2, 0);   // -5 drawn at 0
  const auto texts = c.OfKind(PrimitiveKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "2");
  EXPECT_EQ(texts[0].y1, 1023 + 15);
  EXPECT_EQ(texts[1].text, "7");
  EXPECT_EQ(texts[1].x1, 505);
  EXPECT_EQ(texts[1].y1, 615);
  EXPECT_EQ(texts[1].color, MakeRgb(0, 0, 255));
  EXPECT_EQ(c.PenColor(), MakeRgb(0, 0, 255));

  // A scale of 0 is read again once; an unsupported one writes only the number at 15.
  st.settings.Scale = 0;
  int rereads = 0;
  c.primitives.clear();
  DrawStored(c, st, [&] {
    ++rereads;
    return 3.0f;
  });
  EXPECT_EQ(rereads, 1);
  EXPECT_TRUE(c.OfKind(PrimitiveKind::LineTo).empty());
  ASSERT_EQ(c.OfKind(PrimitiveKind::Text).size(), 2u);
  EXPECT_EQ(c.OfKind(PrimitiveKind::Text)[1].y1, 15);

  st.settings.Scale = 5;
  c.primitives.clear();
  DrawStored(c, st);
  EXPECT_EQ(c.OfKind(PrimitiveKind::LineTo)[501].y2, 0);

  // A reread that still gives 0 is taken as 10 dB/div, so it is asked for once only.
  st.settings.Scale = 0;
  rereads = 0;
  c.primitives.clear();
  DrawStored(c, st, [&] {
    ++rereads;
    return 0.0f;
  });
  EXPECT_EQ(rereads, 1);
  EXPECT_EQ(st.settings.Scale, 10.0f);
  ASSERT_EQ(c.OfKind(PrimitiveKind::LineTo).size(), 2u * 501);
  EXPECT_EQ(c.OfKind(PrimitiveKind::LineTo)[0].y2, 1023);
}

}  // namespace
}  // namespace vantrel

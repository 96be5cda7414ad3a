#include "display/markers.h"

#include <gtest/gtest.h>

#include "display/graph_frame.h"
#include "display/recording_canvas.h"
#include "display_test_support.h"

namespace vantrel {
namespace {

std::array<std::int16_t, kTracePoints> Floor(std::int16_t count) {
  std::array<std::int16_t, kTracePoints> c{};
  c.fill(count);
  return c;
}

RecordingCanvas GraphCanvas() {
  RecordingCanvas canvas;
  canvas.SetScale(GraphScale(true));
  return canvas;
}

TEST(MarkerCalculate, DeltaIsReferenceMinusMarkerForFrequencyAndLevel) {
  auto counts = Floor(0);
  counts[100] = 1023;  // 0 dBm
  counts[150] = 1023 - 256;
  MarkerView view;
  view.rows[1] = {true, "100", "N"};
  view.rows[2] = {true, "150", "1"};
  auto canvas = GraphCanvas();
  MarkerCalculate(&canvas, counts, PointIsMHzAxis(), view);

  EXPECT_DOUBLE_EQ(view.table[1].frequency, 100);
  EXPECT_DOUBLE_EQ(view.table[1].level, 0);
  EXPECT_NEAR(view.table[2].level, -256 * 80.0 / 1023.0, 1e-9);
  EXPECT_DOUBLE_EQ(view.table[7].frequency, -50);
  EXPECT_NEAR(view.table[7].level, 256 * 80.0 / 1023.0, 1e-9);
  // Row of marker 2 at y -160 - 60*3; delta columns hold "1", "-50" and "20.0".
  const Primitive* deltaFreq = canvas.FindText("-50");
  ASSERT_NE(deltaFreq, nullptr);
  EXPECT_DOUBLE_EQ(deltaFreq->y1, -340);
  EXPECT_NE(canvas.FindText("20.0"), nullptr);
  EXPECT_NE(canvas.FindText("1"), nullptr);
  EXPECT_TRUE(view.handles[1].visible);
  EXPECT_DOUBLE_EQ(view.handles[1].x, 100);
  EXPECT_DOUBLE_EQ(view.handles[1].y, 1023);
}

TEST(MarkerCalculate, DeltaRowsStayEmptyWithoutAValidReference) {
  const auto counts = Floor(512);
  for (const char* delta : {"N", "", "3"}) {  // marker 3 stays disabled
    MarkerView view;
    view.rows[0] = {true, "100", delta};
    auto canvas = GraphCanvas();
    MarkerCalculate(&canvas, counts, PointIsMHzAxis(), view);
    for (const auto& text : canvas.Texts()) {
      EXPECT_NE(text, delta[0] ? std::string(delta) : std::string("x")) << "delta " << delta;
    }
    EXPECT_EQ(canvas.OfKind(PrimitiveKind::Text).size(), 5u + 2u) << "delta " << delta;
  }
}

TEST(MarkerCalculate, MarkersOffTheTraceGetNoLevelAndNoHandle) {
  const auto counts = Floor(512);
  MarkerView view;
  view.rows[0] = {true, "600", "N"};  // beyond the stop frequency
  view.rows[1] = {true, "200", "0"};
  auto canvas = GraphCanvas();
  MarkerCalculate(&canvas, counts, PointIsMHzAxis(), view);
  EXPECT_EQ(view.table[0].level, kNoLevel);
  EXPECT_FALSE(view.handles[0].visible);
  EXPECT_TRUE(view.handles[1].visible);
  EXPECT_EQ(view.table[6].level, kNoLevel);  // no "level difference" against a missing level
  EXPECT_EQ(canvas.FindText("0.0"), nullptr);

  auto negative = Floor(512);
  negative[300] = -4;
  view.rows[0] = {true, "300", "N"};
  MarkerCalculate(nullptr, negative, PointIsMHzAxis(), view);
  EXPECT_EQ(view.table[0].level, kNoLevel);
}

TEST(MarkerCalculate, BadTextsAndSpansNeverReachAWrongPoint) {
  auto counts = Floor(512);
  counts[5] = 1023;
  MarkerView view;
  // 2^32 + 5 MHz must not wrap onto point 5.
  view.rows[0] = {true, "4294967301", "N"};
  view.rows[1] = {true, "abc", "7"};  // letters read as 0; no marker 7
  view.rows[2] = {true, "50", "-1"};
  view.rows[3] = {true, "60", "2.5"};
  view.rows[4] = {false, "70", "0"};  // names an enabled marker but is itself disabled
  auto canvas = GraphCanvas();
  MarkerCalculate(&canvas, counts, PointIsMHzAxis(), view);
  EXPECT_EQ(view.table[0].level, kNoLevel);
  EXPECT_FALSE(view.handles[0].visible);
  EXPECT_DOUBLE_EQ(view.table[1].frequency, 0);
  EXPECT_TRUE(view.handles[1].visible);
  for (const char* delta : {"7", "-1", "2.5"}) EXPECT_EQ(canvas.FindText(delta), nullptr);
  EXPECT_EQ(canvas.FindText("0"), nullptr);  // marker 4's delta text stays unwritten

  // A zero span puts every marker on point 0 and the drop texts on the start frequency.
  AnalyzerSettings zero = PointIsMHzAxis();
  zero.FreqStop = zero.FreqStart = 100;
  counts[0] = 1023;
  MarkerView flat;
  flat.rows[0] = {true, "250", "N"};
  MarkerCalculate(nullptr, counts, zero, flat);
  EXPECT_DOUBLE_EQ(flat.table[0].level, 0);
  EXPECT_EQ(MarkerFrequencyText(zero, DropPoint(300)), "100.000");
  EXPECT_EQ(StepMarker(zero, 0, +1), "100.000");
}

TEST(PrintAligned, LinesUpDecimalPoints) {
  RecordingCanvas canvas;
  canvas.SetScale(GraphScale(false));
  PrintAligned(canvas, 200, -220, "-47.5");
  PrintAligned(canvas, 200, -280, "3");
  const auto texts = canvas.OfKind(PrimitiveKind::Text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_DOUBLE_EQ(texts[0].x1 + canvas.TextWidth("-47."), 200);
  EXPECT_DOUBLE_EQ(texts[1].x1 + canvas.TextWidth("3."), 200);
}

TEST(MarkerPlacement, DragArrowKeysAndTypedFrequencies) {
  const auto s = PointIsMHzAxis();
  EXPECT_EQ(DropPoint(499.7), 498);
  EXPECT_EQ(DropPoint(-3), 0);
  EXPECT_EQ(DropPoint(120.5), 120);
  EXPECT_EQ(MarkerFrequencyText(s, 498), "498.000");
  AnalyzerSettings negativeStart = s;
  negativeStart.FreqStart = -10;
  EXPECT_EQ(MarkerFrequencyText(negativeStart, 0), "0.000");

  EXPECT_FALSE(StepMarker(s, 0, -1).has_value());
  EXPECT_FALSE(StepMarker(s, 500, +1).has_value());
  EXPECT_EQ(StepMarker(s, 10.2, +1), "11.000");

  EXPECT_EQ(ValidateMarkerFrequency("abc")->message, "Please key in a numeric!");
  EXPECT_EQ(ValidateMarkerFrequency("3500")->correctedText, "3000");
  EXPECT_EQ(ValidateMarkerFrequency("-1")->correctedText, "0");
  EXPECT_EQ(ValidateMarkerFrequency("1e999")->correctedText, "3000");
  EXPECT_EQ(ValidateMarkerFrequency("3500")->message,
            "Freq. range is from 0 to 3000MHz!\r\nPlease key in a correct number.");
  EXPECT_FALSE(ValidateMarkerFrequency(" 2999.5 ").has_value());
}

}  // namespace
}  // namespace vantrel

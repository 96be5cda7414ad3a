#include "display/spectrum_graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/recording_canvas.h"

namespace vantrel {
namespace {

DisplayState TypicalState() {
  DisplayState st;
  AnalyzerSettings& s = st.settings;
  s.RefLevel = -20;
  s.RefUnit = "dBm";
  s.Scale = 10;
  s.FreqStart = 950;
  s.FreqCenter = 1000;
  s.FreqStop = 1050;
  s.Span = "100MHz";
  s.RBW = "100KHz";
  s.VBW = "1MHz";
  s.SweepTime = "100 ms";
  s.TimeStamp = "2026/12/08 17:30:00";
  return st;
}

void FillTrace(RawTrace& t, std::int16_t value, int mode, bool valid) {
  for (auto& p : t.Points()) p = value;
  t.SetMode(static_cast<std::int16_t>(mode));
  t.SetValid(valid);
}

// Index of the first primitive with the given text, or -1.
int IndexOfText(const RecordingCanvas& c, const std::string& text) {
  for (std::size_t i = 0; i < c.primitives.size(); ++i)
    if (c.primitives[i].kind == PrimitiveKind::Text && c.primitives[i].text == text)
      return static_cast<int>(i);
  return -1;
}

TEST(DrawGrid, BottomEdgeFollowsMarkers) {
  DisplayState st = TypicalState();
  RecordingCanvas c;
  DrawGrid(c, st);
  EXPECT_EQ(c.Scale(), (UserScale{-60, 1200, 600, -1400}));
  EXPECT_EQ(c.Scale().top + c.Scale().height, -200);

  st.markerEnabled[3] = true;
  RecordingCanvas screen;
  DrawGrid(c, st, {}, &screen);
  EXPECT_EQ(c.Scale().top + c.Scale().height, -550);
  EXPECT_EQ(screen.Scale().height, -1750);  // the window's picture follows when printing
}

TEST(DrawGrid, NoLevelLabelsBeforeTheFirstRefresh) {
  DisplayState st;  // no scale read yet
  RecordingCanvas c;
  DrawGrid(c, st);
  EXPECT_EQ(c.FindText("0.0"), nullptr);
}

TEST(DrawGrid, GridLinesLevelLabelsAndFrame) {
  DisplayState st = TypicalState();
  RecordingCanvas c;
  c.SetFontSize(11);
  DrawGrid(c, st);
  ASSERT_FALSE(c.primitives.empty());
  EXPECT_EQ(c.primitives[0].kind, PrimitiveKind::Clear);
  EXPECT_EQ(c.primitives[0].color, MakeRgb(0, 0, 0));

  std::vector<Primitive> dotted;
  for (const auto& p : c.OfKind(PrimitiveKind::Line))
    if (p.dotted) dotted.push_back(p);
  ASSERT_EQ(dotted.size(), 20u);  // 11 vertical, 9 horizontal
  for (int i = 0; i <= 10; ++i) {
    EXPECT_EQ(dotted[i].x1, i * 50);
    EXPECT_EQ(dotted[i].x2, i * 50);
    EXPECT_EQ(dotted[i].y1, 0);
    EXPECT_EQ(dotted[i].y2, 1023);
  }
  const std::vector<std::string> labels = {"-20.0", "-30.0", "-40.0", "-50.0", "-60.0",
                                           "-70.0", "-80.0", "-90.0", "-100.0"};
  for (int i = 0; i <= 8; ++i) {
    const Primitive& line = dotted[11 + i];
    EXPECT_DOUBLE_EQ(line.y1, 1023 - i * 127.875);
    EXPECT_EQ(line.x1, 0);
    EXPECT_EQ(line.x2, 500);
    const Primitive* label = c.FindText(labels[i]);
    ASSERT_NE(label, nullptr) << labels[i];
    EXPECT_EQ(label->x1, -50);
    EXPECT_DOUBLE_EQ(label->y1, line.y1 + 20);
    EXPECT_EQ(label->color, kDefaultGridColor);
    EXPECT_DOUBLE_EQ(label->fontSize, 8);
  }

  const auto boxes = c.OfKind(PrimitiveKind::Box);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].width, 2);
  EXPECT_FALSE(boxes[0].dotted);
  EXPECT_EQ(boxes[0].x1, 0);
  EXPECT_EQ(boxes[0].y1, 1023);
  EXPECT_EQ(boxes[0].x2, 500);
  EXPECT_EQ(boxes[0].y2, 0);
  EXPECT_DOUBLE_EQ(c.FontSize(), 11);  // font size put back

  // Pictures and printouts use a black grid colour on white: every grid line, the
  // frame and every text follow it.
  st.gridColor = MakeRgb(0, 0, 0);
  st.backColor = MakeRgb(255, 255, 255);
  DrawGrid(c, st);
  EXPECT_EQ(c.primitives[0].color, MakeRgb(255, 255, 255));
  for (const auto& p : c.primitives) {
    if (p.kind != PrimitiveKind::Clear) {
      EXPECT_EQ(p.color, MakeRgb(0, 0, 0)) << p.text;
    }
  }

  st.settings.RefLevel = 2.5f;
  st.settings.Scale = 1;
  DrawGrid(c, st);
  EXPECT_NE(c.FindText("2.5"), nullptr);
  EXPECT_NE(c.FindText("-5.5"), nullptr);
}

TEST(DrawGrid, SettingsTextsAtTheirPlaces) {
  DisplayState st = TypicalState();
  st.fontScale = 1.5f;
  RecordingCanvas c;
  DrawGrid(c, st);
  struct Expected {
    std::string text;
    double x, y;
  };
  const std::vector<Expected> texts = {
      {"Ref: -20 dBm", -50, 1120},       {"10 dB/", 120, 1120},       {"Start: 950MHz", 0, -10},
      {"Center: 1GHz", 170, -10},        {"Stop: 1.05GHz", 350, -10}, {"RBW: 100KHz", 0, -60},
      {"VBW: 1MHz", 110, -60},           {"Span: 100MHz", 230, -60},  {"Sweep: 100 ms", 370, -60},
      {"2026/12/08 17:30:00", 370, -110}};
  for (const auto& e : texts) {
    const Primitive* p = c.FindText(e.text);
    ASSERT_NE(p, nullptr) << e.text;
    EXPECT_EQ(p->x1, e.x) << e.text;
    EXPECT_EQ(p->y1, e.y) << e.text;
    EXPECT_DOUBLE_EQ(p->fontSize, 12) << e.text;
  }
  EXPECT_EQ(c.FindText("Amp Uncal"), nullptr);
  EXPECT_EQ(c.FindText("MKR"), nullptr);

  st.settings.FreqStart = 0.5;
  st.settings.FreqStop = 2700;
  st.fontScale = 0.5f;  // never below 1
  DrawGrid(c, st);
  EXPECT_NE(c.FindText("Start: 500KHz"), nullptr);
  EXPECT_NE(c.FindText("Stop: 2.7GHz"), nullptr);
  EXPECT_DOUBLE_EQ(c.FindText("Stop: 2.7GHz")->fontSize, 8);
}

TEST(DrawGrid, AmpUncalOnLowReferenceBelow15MHz) {
  DisplayState st = TypicalState();
  st.settings.RefUnit = "dBuV";
  st.settings.RefLevel = 70;
  st.settings.FreqStart = 10;
  RecordingCanvas c;
  DrawGrid(c, st);
  const Primitive* p = c.FindText("Amp Uncal");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->color, MakeRgb(255, 0, 0));
  EXPECT_EQ(p->x1, 230);
  EXPECT_EQ(p->y1, -110);
  // The pen colour is back to the grid colour for what follows.
  const int i = IndexOfText(c, "Amp Uncal");
  EXPECT_EQ(c.PenColor(), kDefaultGridColor);
  EXPECT_GT(i, 0);

  st.settings.RefLevel = 80;  // -27 dBm
  DrawGrid(c, st);
  EXPECT_EQ(c.FindText("Amp Uncal"), nullptr);
  st.settings.RefLevel = 70;
  st.settings.FreqStart = 15;
  DrawGrid(c, st);
  EXPECT_EQ(c.FindText("Amp Uncal"), nullptr);
  st.settings.RefUnit = "DBMV";
  st.settings.RefLevel = 16;  // -31 dBm
  st.settings.FreqStart = 14.9;
  DrawGrid(c, st);
  EXPECT_NE(c.FindText("Amp Uncal"), nullptr);
}

TEST(DrawGrid, LiveTracesByLayerAndMarkerTrace) {
  DisplayState st = TypicalState();
  FillTrace(st.liveTraces[0], 100, 0, true);  // on top
  FillTrace(st.liveTraces[1], 200, 2, true);  // drawn first
  FillTrace(st.liveTraces[2], 300, 3, true);  // mode 3: never drawn
  RecordingCanvas c;
  DrawGrid(c, st);
  const auto segments = c.OfKind(PrimitiveKind::LineTo);
  ASSERT_EQ(segments.size(), 2u * 501);
  EXPECT_EQ(segments.front().color, kLiveTraceColors[1]);
  EXPECT_EQ(segments.front().y2, 200);
  EXPECT_EQ(segments.back().color, kLiveTraceColors[0]);
  EXPECT_EQ(segments.back().y2, 100);
  EXPECT_EQ(segments.back().x2, 500);
  EXPECT_EQ(st.markerTrace[17], 100);

  // Invalid traces are not drawn, but the mode-0 one still feeds the markers; of two
  // mode-0 traces the last one wins.
  FillTrace(st.liveTraces[0], 400, 0, false);
  FillTrace(st.liveTraces[2], 500, 0, false);
  DrawGrid(c, st);
  EXPECT_EQ(c.OfKind(PrimitiveKind::LineTo).size(), 501u);
  EXPECT_EQ(st.markerTrace[0], 500);
}

TEST(DrawGrid, LayerHooksRunInOrder) {
  DisplayState st = TypicalState();
  std::vector<std::string> calls;
  GraphLayers layers;
  layers.drawHigherLimit = [&](Canvas& c) {
    calls.push_back("high");
    EXPECT_EQ(c.PenColor(), kHigherLimitColor);
    EXPECT_FALSE(c.Dotted());
  };
  layers.drawLowerLimit = [&](Canvas& c) {
    calls.push_back("low");
    EXPECT_EQ(c.PenColor(), kLowerLimitColor);
  };
  layers.processEvents = [&] { calls.push_back("events"); };
  layers.markerCalculate = [&](Canvas&, std::span<const std::int16_t> pts) {
    calls.push_back("markers");
    EXPECT_EQ(pts.size(), 501u);
  };
  layers.hideMarkerHandles = [&] { calls.push_back("hide"); };

  RecordingCanvas c;
  st.higherLimitChecked = true;  // not loaded: not drawn
  st.lowerLimitChecked = true;
  st.lowerLimitLoaded = true;
  DrawGrid(c, st, layers);
  EXPECT_EQ(calls, (std::vector<std::string>{"low", "events", "hide"}));

  calls.clear();
  st.higherLimitLoaded = true;
  st.markerEnabled[0] = true;
  DrawGrid(c, st, layers);
  EXPECT_EQ(calls, (std::vector<std::string>{"high", "low", "events", "markers"}));
  const std::vector<std::pair<std::string, double>> header = {
      {"MKR", 0},     {"Freq.(MHz)", 60},    {"Level", 170},
      {"D_MKR", 230}, {"D_Freq.(MHz)", 310}, {"D_Level", 430}};
  for (const auto& [text, x] : header) {
    const Primitive* p = c.FindText(text);
    ASSERT_NE(p, nullptr) << text;
    EXPECT_EQ(p->x1, x);
    EXPECT_EQ(p->y1, -160);
  }
  // The frame comes after the limit lines, the texts after the frame.
  EXPECT_LT(IndexOfText(c, "-100.0"), IndexOfText(c, "Ref: -20 dBm"));

  calls.clear();
  st.markerSourceLive = false;
  DrawGrid(c, st, layers);
  EXPECT_EQ(calls.back(), "hide");

  calls.clear();
  st.closing = true;
  c.primitives.clear();
  DrawGrid(c, st, layers);
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(c.primitives.empty());
}

TEST(DrawGrid, BrokenSettingsStillDraw) {
  DisplayState st = TypicalState();
  st.settings.Scale = 0;
  st.settings.Span = "garbage";
  st.settings.FreqStart = std::numeric_limits<double>::quiet_NaN();
  st.settings.FreqStop = std::numeric_limits<double>::infinity();
  st.settings.RefLevel = std::numeric_limits<float>::quiet_NaN();
  FillTrace(st.liveTraces[0], 100, 0, true);
  RecordingCanvas c;
  DrawGrid(c, st);
  EXPECT_EQ(c.OfKind(PrimitiveKind::LineTo).size(), 0u);  // unsupported scale: no trace
  EXPECT_EQ(c.OfKind(PrimitiveKind::Box).size(), 1u);
  EXPECT_NE(c.FindText("Span: garbage"), nullptr);
}

}  // namespace
}  // namespace vantrel

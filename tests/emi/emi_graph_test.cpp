// The EMI picture on the recording canvas: the logarithmic scale, limit lines and their
// threshold copies, the trace walk, the marker table and handles, the peak search, and
// standards or traces the axes cannot map.
#include "emi/emi_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <set>

#include "display/peaks.h"
#include "display/recording_canvas.h"
#include "util/format.h"

namespace vantrel {
namespace {

constexpr Rgb kRed = MakeRgb(255, 0, 0);
constexpr Rgb kBlue = MakeRgb(0, 0, 255);
constexpr Rgb kGreen = MakeRgb(0, 255, 0);

LimitStandard Conducted() {
  LimitStandard s;
  s.emiMode = "Conducted";
  s.freqStart = 0.15;
  s.freqStop = 30;
  s.scale = 10;
  s.upperLimit = {{0.15, 66, 0.5, 56}, {0.5, 56, 5, 56}, {5, 60, 30, 60}};
  s.lowerLimit = {{0.15, 56, 0.5, 46}, {0.5, 46, 5, 46}, {5, 50, 30, 50}};
  s.upperPresent = s.lowerPresent = true;
  return s;
}

struct Picture {
  LimitStandard standard = Conducted();
  EmiResults results;
  EmiGraphState st;
  RecordingCanvas canvas;
  Picture() {
    st.standard = &standard;
    st.results = &results;
    st.modeText = "Conducted";
  }
  // A three-band scan, raw value `raw(frequency)` at every point.
  template <class F>
  void Scan(F raw) {
    const double bands[][2] = {{0.15, 0.5}, {0.5, 5}, {5, 30}};
    for (const auto& b : bands) {
      for (int k = 0; k <= 500; ++k) {
        const double f = b[0] + k * (b[1] - b[0]) / 500;
        const auto r = static_cast<std::int16_t>(raw(f));
        results.trace.push_back({f, 107 - (1023 - r) * 80.0 / 1023, r});
      }
    }
  }
  void Draw() { EMC_DrawGrid(canvas, st, standard.lowerPresent, standard.upperPresent, true); }
  std::vector<Primitive> Lines(Rgb color) const {
    std::vector<Primitive> out;
    for (const Primitive& p : canvas.OfKind(PrimitiveKind::Line))
      if (p.color == color) out.push_back(p);
    return out;
  }
};

TEST(EmiGraph, DecadeScaleFrom150kHzTo30MHz) {
  RecordingCanvas c;
  EMC_DrawXScale(c, 0.15, 30);
  std::set<double> lines;  // 1 and 10 close one decade and open the next: drawn twice
  for (const Primitive& p : c.OfKind(PrimitiveKind::Line))
    lines.insert(std::round(XToFreqLog(0.15, 30, p.x1) * 1e6) / 1e6);
  const std::set<double> expected{0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1, 2, 3, 4, 5,
                                  6,   7,   8,   9,   10,  20};
  EXPECT_EQ(lines, expected);
  for (const char* label : {"0.5", "1", "5", "10"}) EXPECT_NE(c.FindText(label), nullptr) << label;
  for (const char* absent : {"0.15", "30", "0.1", "50"}) EXPECT_EQ(c.FindText(absent), nullptr) << absent;
  EXPECT_NEAR(FreqToXLog(0.15, 30, 1), 179.03, 0.005);
  EXPECT_NE(c.FindText("Start:0.15"), nullptr);
  EXPECT_NE(c.FindText("Stop:30MHz"), nullptr);
}

TEST(EmiGraph, LimitLinesAndThresholdCopiesOnTheLogAxis) {
  Picture p;
  p.st.thresholdOn = true;
  p.st.threshold = 6;
  p.Draw();
  // Per line: three segments and two joins, red; the same raised by 6 dB in blue.
  ASSERT_EQ(p.Lines(kRed).size(), 10u);
  ASSERT_EQ(p.Lines(kBlue).size(), 10u);
  EXPECT_TRUE(p.Lines(kRed)[0].dotted);
  const double dy = p.Lines(kBlue)[0].y1 - p.Lines(kRed)[0].y1;
  EXPECT_NEAR(dy, 6 * 1023 / 80.0, 1e-9);

  Picture none;  // a first segment at 0/0 draws no line, whatever follows
  none.standard.upperLimit.insert(none.standard.upperLimit.begin(), LimitSegment{});
  none.standard.lowerPresent = false;
  none.Draw();
  EXPECT_TRUE(none.Lines(kRed).empty());
}

TEST(EmiGraph, SinglePointLimitTakesTheHigherValueAtASharedEdge) {
  const std::vector<LimitSegment> segs{{0.15, 66, 0.5, 56}, {0.5, 46, 5, 46}};
  const struct {
    double c, level;
  } cases[] = {{0.5, 56}, {0.15, 66}, {5, 46}, {1, 46}, {0.325, 61}, {10, 0}};
  for (const auto& k : cases) EXPECT_DOUBLE_EQ(SinglePointLimit(segs, k.c), k.level) << k.c;

  Picture p;
  p.st.wideRangeScan = false;
  p.st.spotCenter = 0.5;
  p.standard.upperLimit = segs;
  p.standard.lowerLimit = {LimitSegment{}};  // no lower line
  p.standard.lowerPresent = false;
  p.Draw();
  const auto red = p.Lines(kRed);
  ASSERT_EQ(red.size(), 1u);
  EXPECT_DOUBLE_EQ(red[0].y1, LevelToYRaw(107, 10, 56));
  // The level labels in the left margin come after the masks that clear the margins.
  const auto& all = p.canvas.primitives;
  std::size_t lastMask = 0, firstLabel = all.size();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].kind == PrimitiveKind::FilledBox) lastMask = i;
    if (all[i].kind == PrimitiveKind::Text && all[i].x1 == -50 && all[i].y1 < 1100) firstLabel = std::min(firstLabel, i);
  }
  EXPECT_GT(firstLabel, lastMask);
}

TEST(EmiGraph, TraceWalkKeepsTheHighestRawValuePerColumnAtEachScale) {
  for (const int scale : {10, 5}) {
    Picture p;
    p.standard.scale = static_cast<std::int16_t>(scale);
    p.Scan([](double f) { return std::fabs(f - 1) < 0.01 ? 923 : 400; });
    p.Draw();
    const auto x1 = static_cast<std::size_t>(std::lround(FreqToXLog(0.15, 30, 1)));
    EXPECT_EQ(p.st.markerPoints[x1].raw, 923);
    double drawn = -1;
    for (const Primitive& l : p.canvas.OfKind(PrimitiveKind::LineTo))
      if (l.color == kGreen && l.x2 == static_cast<double>(x1)) drawn = l.y2;
    EXPECT_DOUBLE_EQ(drawn, scale == 10 ? 923 : 823) << scale;
  }
}

TEST(EmiGraph, MarkersReadTheirColumnAndSitOnTheEmission) {
  Picture p;
  p.Scan([](double f) { return std::fabs(f - 1) < 0.01 ? 923 : 400; });
  p.st.markers[0] = {true, "1"};
  p.st.markers[6] = {true, "40"};  // beyond the graph: no level
  p.Draw();
  EXPECT_NEAR(p.st.markers[0].level, 107 - 100 * 80.0 / 1023, 1e-9);
  EXPECT_EQ(p.st.markers[6].level, kNoLevel);
  EXPECT_TRUE(p.st.handles[0].visible);
  EXPECT_DOUBLE_EQ(p.st.handles[0].y, 923);
  EXPECT_FALSE(p.st.handles[6].visible);
  EXPECT_EQ(p.st.scaleHeight, -1750);
  // Row 0 on the left at -270 with the level's point at 190; row 6 on the right at -330.
  const Primitive* level = p.canvas.FindText(FormatPattern(p.st.markers[0].level, "#0.0"));
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(level->y1, -270);
  EXPECT_NEAR(level->x1 + p.canvas.TextWidth("99."), 190, 1e-9);
  EXPECT_EQ(p.canvas.FindText("40")->y1, -330);

  Picture f;  // final measurements: an x for the quasi-peak level where it lies on the graph
  f.Scan([](double) { return 400; });
  f.st.finalQuasiPeak = {{1, 60, 0}, {1, 500, 0}};
  f.Draw();
  const auto crosses = f.Lines(MakeRgb(255, 0, 255));
  ASSERT_EQ(crosses.size(), 2u);
  EXPECT_DOUBLE_EQ((crosses[0].x1 + crosses[0].x2) / 2, FreqToXLog(0.15, 30, 1));
  EXPECT_DOUBLE_EQ((crosses[0].y1 + crosses[0].y2) / 2, LevelToYRaw(107, 10, 60));
}

TEST(EmiGraph, NoReadingOutlivesTheTraceItCameFrom) {
  Picture p;
  p.Scan([](double f) { return std::fabs(f - 1) < 0.01 ? 923 : 400; });
  p.st.markers[0] = {true, "1"};
  p.Draw();
  ASSERT_LT(p.st.markers[0].level, kNoLevel);
  p.results.trace.clear();  // cleared: the graph's own copy of the walk goes with it
  UpdateEmiMarkerPoints(p.st);
  EXPECT_TRUE(FindEmiPeaks(p.st.markerPoints, 10).empty());
  p.Draw();
  EXPECT_EQ(p.st.markers[0].level, kNoLevel);
  EXPECT_FALSE(p.st.handles[0].visible);

  // The linear graph: a sweep of -1 counts (cleared) is not drawn and gives no reading.
  Picture r;
  r.st.modeText = "Radiation";
  r.standard.freqStart = 30;
  r.standard.freqStop = 1000;
  r.results.header.refLevel = 107;
  r.results.liveBuffer.assign(kEmiTracePoints, 600);
  r.st.markers[0] = {true, "500"};
  r.Draw();
  ASSERT_LT(r.st.markers[0].level, kNoLevel);
  r.results.liveBuffer.assign(kEmiTracePoints, -1);
  r.Draw();
  EXPECT_EQ(r.st.markers[0].level, kNoLevel);
  for (const Primitive& q : r.canvas.primitives) {
    EXPECT_FALSE(q.color == kGreen && (q.kind == PrimitiveKind::Line || q.kind == PrimitiveKind::LineTo));
  }
}

TEST(EmiGraph, TheHeaderShowsTheRbwOfTheModeUntilAMeasurementReportsOne) {
  Picture p;
  p.st.rbwText = "120KHz";
  p.results.header.rbw = "9KHz";
  p.Draw();
  EXPECT_NE(p.canvas.FindText("RBW:120KHz"), nullptr);
  Picture q;
  q.results.header.rbw = "9KHz";
  q.Draw();
  EXPECT_NE(q.canvas.FindText("RBW:9KHz"), nullptr);
}

TEST(EmiGraph, TheLowestMarkerRowFitsWhateverTheFont) {
  for (const float font : {1.0f, 2.0f, 4.0f}) {
    Picture p;
    p.Scan([](double) { return 400; });
    for (int i = 0; i < kEmiMarkers; ++i) p.st.markers[i] = {true, "1"};
    p.st.fontScale = font;
    p.Draw();
    std::optional<Primitive> row;
    for (const Primitive& t : p.canvas.OfKind(PrimitiveKind::Text))
      if (t.text == "4") row = t;  // marker 4's index, on the lowest row
    ASSERT_TRUE(row);
    EXPECT_EQ(row->y1, -510);
    const double bottom = kScaleTop + p.st.scaleHeight;
    p.canvas.SetFontSize(row->fontSize);  // the text's height at the scale it was drawn with
    EXPECT_GE(row->y1 - p.canvas.TextHeight("4"), bottom - 1e-9) << font;
    EXPECT_EQ(p.st.scaleHeight == kScaleHeightWithMarkers, font == 1.0f) << font;
  }
}

TEST(EmiGraph, AtPrintResolutionTheLimitLinesAreWideAndTheMarkersDrawn) {
  Picture p;
  p.Scan([](double f) { return std::fabs(f - 1) < 0.01 ? 923 : 400; });
  p.st.markers[0] = {true, "1"};
  p.st.printer = true;
  p.st.lineWidth = 4;
  p.Draw();
  for (const Primitive& l : p.Lines(kRed)) {
    if (l.dotted) {
      EXPECT_EQ(l.width, 4);
    }
  }
  // Marker 0's picture: filled from its tip on the emission, its number above.
  std::vector<Primitive> picture;
  for (const Primitive& l : p.Lines(kRed))
    if (!l.dotted && l.x1 == p.st.handles[0].x && l.y1 == 923) picture.push_back(l);
  EXPECT_EQ(picture.size(), 13u);
  bool numbered = false;  // the table's row "0" lies under the graph; the picture's above the tip
  for (const Primitive& t : p.canvas.OfKind(PrimitiveKind::Text)) numbered = numbered || (t.text == "0" && t.y1 > 923);
  EXPECT_TRUE(numbered);

  Picture screen;  // on screen the window's own handles show the markers
  screen.Scan([](double) { return 400; });
  screen.st.markers[0] = {true, "1"};
  screen.Draw();
  for (const Primitive& l : screen.Lines(kRed)) EXPECT_TRUE(l.dotted);
}

TEST(EmiGraph, TheSinglePointTestShowsItsLevelLimitsMarginsAndVerdict) {
  Picture p;
  p.st.wideRangeScan = false;
  p.st.spotCenter = 1;
  p.results.header.refLevel = 107;
  for (int i = 0; i < kEmiTracePoints; ++i) p.results.trace.push_back({1 + (i - 250) * 2e-6, i == 250 ? 44.5 : 30, 0});
  const struct {
    double guard;
    const char* shown;
  } cases[] = {
      {1, "Level: 44.5 dBuV  Upper: 56.0 dBuV (11.5 dB)  Lower: 46.0 dBuV (1.5 dB)  Pass"},
      {3, "Level: 44.5 dBuV  Upper: 56.0 dBuV (11.5 dB)  Lower: 46.0 dBuV (1.5 dB)  Marginal"},
  };
  for (const auto& c : cases) {
    p.st.guardBandDb = c.guard;
    const auto v = JudgeSpot(p.st);
    ASSERT_TRUE(v);
    EXPECT_EQ(SpotVerdictText(*v), c.shown);
  }
  p.Draw();
  EXPECT_NE(p.canvas.FindText("Marginal"), nullptr);
  p.results.trace[250].level = 47;
  EXPECT_EQ(JudgeSpot(p.st)->verdict, Verdict::Fail);
  p.st.spotCenter = 40;  // beyond every segment: no limit there
  EXPECT_EQ(SpotVerdictText(*JudgeSpot(p.st)), "Level: 47.0 dBuV  No limit");
  p.results.trace.clear();
  EXPECT_FALSE(JudgeSpot(p.st));
  p.st.wideRangeScan = true;
  EXPECT_FALSE(JudgeSpot(p.st));
}

TEST(EmiGraph, UnusableInputsDrawSafely) {
  Picture one;  // a single point: no trace
  one.results.trace = {{1, 50, 500}};
  one.Draw();
  EXPECT_TRUE(one.canvas.OfKind(PrimitiveKind::LineTo).empty());

  for (const auto& [start, stop] : {std::pair{0.0, 30.0}, {5.0, 5.0}, {1e-300, 1e300}, {-1.0, 30.0}}) {
    Picture p;
    p.standard.freqStart = start;
    p.standard.freqStop = stop;
    p.Scan([](double) { return 500; });
    p.results.trace[7].level = NAN;
    p.st.markers[1] = {true, "abc"};
    p.standard.upperLimit.push_back({20, 1e300, 0.2, -1e300});  // out of order and far off
    p.st.thresholdOn = true;
    p.st.threshold = 1e308;
    p.Draw();  // the decade loop ends (a hang would be caught by the test's time limit)
    for (const Primitive& q : p.canvas.primitives) {
      ASSERT_TRUE(std::fabs(q.x1) <= 1e5 && std::fabs(q.y1) <= 1e5 && std::fabs(q.x2) <= 1e5 &&
                  std::fabs(q.y2) <= 1e5)
          << start << " " << stop;
    }
  }
}

// The rules written out plainly, for comparison with the search in use.
std::vector<double> ReferencePeaks(const EmiTrace& t) {
  std::vector<double> cand;
  for (std::size_t g = 0; g < t.size(); g += 4) {
    double best = t[g].level;
    for (std::size_t i = g; i < std::min(t.size(), g + 4); ++i) best = std::max(best, t[i].level);
    cand.push_back(best);
  }
  std::vector<std::size_t> kept;
  for (std::size_t k = 0; k < cand.size(); ++k) {
    if (k + 1 < cand.size() ? cand[k] >= cand[k + 1] : cand[k] >= cand[k - 1]) kept.push_back(k);
  }
  auto drops = [&](std::size_t k, int dir) {
    for (auto j = static_cast<std::ptrdiff_t>(k); j >= 0 && j < static_cast<std::ptrdiff_t>(cand.size()); j += dir) {
      if (cand[j] > cand[k]) return false;
      if (cand[k] - cand[j] > 5) return true;
    }
    return false;
  };
  std::vector<double> peaks;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const bool left = i == 0 || drops(kept[i], -1);
    const bool right = (i + 1 == kept.size() && i > 0) || drops(kept[i], +1);
    if (left && right) peaks.push_back(cand[kept[i]]);
  }
  std::stable_sort(peaks.begin(), peaks.end(), std::greater<>());
  return peaks;
}

TEST(EmiGraph, FindEmiPeaksPutsTheHighestEmissionsFirst) {
  EmiTrace t{};
  for (int i = 0; i < kEmiTracePoints; ++i) t[i] = {i * 0.1, 30, 0};
  t[100].level = 70;
  t[300].level = 60;
  t[301].level = 62;
  const std::vector<EmiPoint> peaks = FindEmiPeaks(t, 10);
  ASSERT_EQ(peaks.size(), 2u);
  EXPECT_DOUBLE_EQ(peaks[0].frequency, 10);
  EXPECT_DOUBLE_EQ(peaks[1].level, 62);
  EXPECT_EQ(FindEmiPeaks(t, 1).size(), 1u);
  EmiTrace flat{};
  EXPECT_TRUE(FindEmiPeaks(flat, 10).empty());
  EmiTrace twice = t;  // one point shown in two columns is one emission
  twice[101] = twice[100];
  twice[104] = twice[100];
  EXPECT_EQ(FindEmiPeaks(twice, 10).size(), 2u);

  std::mt19937 random(7);
  std::uniform_real_distribution<double> level(20, 80);
  for (int round = 0; round < 200; ++round) {
    for (EmiPoint& p : t) p.level = std::round(level(random));
    std::vector<double> got;
    for (const EmiPoint& p : FindEmiPeaks(t, 1000)) got.push_back(p.level);
    std::vector<double> want = ReferencePeaks(t);
    ASSERT_EQ(got, want) << "round " << round;
  }
}

}  // namespace
}  // namespace vantrel

#include "emi/emi_graph.h"

#include <algorithm>
#include <cmath>

#include "display/peaks.h"
#include "display/trace_painter.h"
#include "util/format.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

constexpr Rgb kEmiTraceColor = MakeRgb(0, 255, 0);
constexpr Rgb kLimitColor = MakeRgb(255, 0, 0);
constexpr Rgb kThresholdColor = MakeRgb(0, 0, 255);
constexpr Rgb kPrinterText = MakeRgb(0, 0, 0);
constexpr Rgb kFinalQuasiPeakColor = MakeRgb(255, 0, 255);
constexpr Rgb kFinalAverageColor = MakeRgb(0, 200, 255);
constexpr Rgb kPrinterBack = MakeRgb(255, 255, 255);
constexpr Rgb kMarkerPictureColor = MakeRgb(255, 0, 0);
constexpr Rgb kFailColor = MakeRgb(255, 0, 0);
constexpr Rgb kMarginalColor = MakeRgb(255, 160, 0);
constexpr Rgb kPassColor = MakeRgb(0, 200, 0);
constexpr double kLogGridStep = 128;       // 127.875 rounded, as the logarithmic grid has it
constexpr double kLinGridStep = kGraphTop / 8;  // 127.875
constexpr double kMarkerHeaderRow = -210;
constexpr double kLowestMarkerRow = -510;  // markers 4 and 9
// Decades of the logarithmic scale: far more than any frequency the program can hold.
constexpr int kMaxDecades = 400;
// Far outside the picture a line's end changes nothing that shows (the margins are masked),
// but a painter handed 1e300 may not cope: ends are kept within a wide band.
constexpr double kFarOut = 1e5;

double Near(double v) { return std::clamp(v, -kFarOut, kFarOut); }

double Scale(const EmiGraphState& st) {
  return st.standard && st.standard->scale != 0 ? st.standard->scale : 10;
}

Rgb TextColor(const EmiGraphState& st) { return st.printer ? kPrinterText : st.gridColor; }

bool AnyMarkerTicked(const EmiGraphState& st) {
  return std::any_of(st.markers.begin(), st.markers.end(), [](const EmiMarker& m) { return m.ticked; });
}

// Whether the axis in force can map the standard's range at all.
bool RangeUsable(const EmiGraphState& st, bool logAxis) {
  if (!st.standard) return false;
  const double a = st.standard->freqStart, b = st.standard->freqStop;
  if (!std::isfinite(a) || !std::isfinite(b) || a == b) return false;
  return !logAxis || (a > 0 && b > a);
}

std::string HeaderRbw(const EmiGraphState& st, const EmiHeader& header) {
  return st.rbwText.empty() ? header.rbw : st.rbwText;
}

bool Measured(const EmiGraphState& st) { return st.results && !st.results->trace.empty(); }

void TextCentred(Canvas& c, double x, double y, const std::string& text) {
  c.Text(x - c.TextWidth(text) / 2, y, text);
}

void TextEndingAt(Canvas& c, double x, double y, const std::string& text) {
  c.Text(x - c.TextWidth(text), y, text);
}

// The lowest marker row fits under the graph whatever the font (a maximised window, a
// page): where the text is taller than the room below the table, the picture reaches
// further down. The text's height is a fixed share of the picture's, so the scale that
// just fits follows from the share at the usual scale.
void FitMarkerRows(Canvas& t, EmiGraphState& st) {
  const double share = t.TextHeight("0") / -st.scaleHeight;
  if (!(share > 0 && share < 0.5)) return;
  const double needed = (kScaleTop - kLowestMarkerRow) / (1 - share);
  if (needed <= -st.scaleHeight) return;
  st.scaleHeight = -needed;
  t.SetScale(EmiGraphScale(st));
}

// Step 1 of both graphs: scale, font, colours, clearing.
double BeginPicture(Canvas& t, EmiGraphState& st, bool clear) {
  st.scaleHeight = st.fixedScaleHeight != 0 ? st.fixedScaleHeight
                  : AnyMarkerTicked(st)      ? kScaleHeightWithMarkers
                                             : kScaleHeight;
  t.SetScale(EmiGraphScale(st));
  const double savedFont = t.FontSize();
  if (clear && !st.printer) t.Clear(st.backColor);
  t.SetFontSize(st.printer ? kBaseFontSize : kBaseFontSize * std::max(1.0f, st.fontScale));
  if (st.fixedScaleHeight == 0 && AnyMarkerTicked(st)) FitMarkerRows(t, st);
  t.SetPenWidth(1);
  t.SetDotted(false);
  t.SetPenColor(TextColor(st));
  return savedFont;
}

// Nothing drawn outside the data area stays visible: limit lines leave it at its edges.
void MaskMargins(Canvas& t, const EmiGraphState& st) {
  const Rgb back = st.printer ? kPrinterBack : st.backColor;
  const double left = kScaleLeft, right = kScaleLeft + kScaleWidth;
  const double top = kScaleTop, bottom = kScaleTop + st.scaleHeight;
  t.FilledBox(left, top, 0, bottom, back);
  t.FilledBox(kGraphRight, top, right, bottom, back);
  t.FilledBox(0, top, kGraphRight, kGraphTop, back);
  t.FilledBox(0, 0, kGraphRight, bottom, back);
}

void Frame(Canvas& t) {
  const int width = t.PenWidth();
  t.SetDotted(false);
  t.SetPenWidth(2);
  t.Box(0, kGraphTop, kGraphRight, 0);
  t.SetPenWidth(width);
}

void DrawLimits(Canvas& t, const EmiGraphState& st, bool showLower, bool showUpper) {
  if (showLower) DrawEmiLimitLine(t, st, st.standard->lowerLimit);
  if (showUpper) DrawEmiLimitLine(t, st, st.standard->upperLimit);
  t.SetPenColor(TextColor(st));
}

// The instrument's start: the last band's start after a conducted scan, else the range's.
double InstrumentStart(const EmiGraphState& st) {
  if (st.results && st.results->trace.size() >= static_cast<std::size_t>(kEmiTracePoints)) {
    return st.results->trace[st.results->trace.size() - kEmiTracePoints].frequency;
  }
  return st.standard ? st.standard->freqStart : 0;
}

void AmpUncalText(Canvas& t, const EmiGraphState& st) {
  if (!st.results) return;
  const EmiHeader& h = st.results->header;
  const std::string unit = ToUpper(Trim(h.ampUnit));
  if (unit != "DBM" && unit != "DBMV" && unit != "DBUV") return;
  if (!(RefLevelInDbm(h.refLevel, unit) < -30 && InstrumentStart(st) < 15)) return;
  t.SetPenColor(kAmpUncalColor);
  TextCentred(t, 150, -160, "Amp Uncal");
  t.SetPenColor(TextColor(st));
}

// Which correction tables the levels include, right-aligned above the graph.
void CorrectionsText(Canvas& t, const EmiGraphState& st) {
  if (!st.correctionsCaption.empty()) TextEndingAt(t, 500, 1120, st.correctionsCaption);
}

// The final measurements as small crosses over the prescan trace, on the axis in force.
void FinalLevels(Canvas& t, const EmiGraphState& st, bool logAxis) {
  if (!st.standard || (st.finalQuasiPeak.empty() && st.finalAverage.empty())) return;
  const double a = st.standard->freqStart, b = st.standard->freqStop;
  const double scale = Scale(st);
  const bool dotted = t.Dotted();
  t.SetDotted(false);
  const struct {
    const std::vector<EmiPoint>* points;
    Rgb color;
    bool diagonal;
  } kinds[] = {{&st.finalQuasiPeak, kFinalQuasiPeakColor, true}, {&st.finalAverage, kFinalAverageColor, false}};
  for (const auto& k : kinds) {
    t.SetPenColor(k.color);
    for (const EmiPoint& p : *k.points) {
      const double x = logAxis ? FreqToXLog(a, b, p.frequency) : FreqToXLin(a, b, p.frequency);
      const double y = LevelToYRaw(st.emiRefLevel, scale, p.level);
      if (!(x >= 0 && x <= kGraphRight && y >= 0 && y <= kGraphTop)) continue;
      const double dx = 4, dy = 10;  // a few pixels either way on any picture
      if (k.diagonal) {
        t.Line(x - dx, y - dy, x + dx, y + dy);
        t.Line(x - dx, y + dy, x + dx, y - dy);
      } else {
        t.Line(x - dx, y, x + dx, y);
        t.Line(x, y - dy, x, y + dy);
      }
    }
  }
  t.SetDotted(dotted);
  t.SetPenColor(TextColor(st));
}

void MarkerTableHeader(Canvas& t) {
  const double y = kMarkerHeaderRow;
  t.Text(0, y, "MKR");
  t.Text(60, y, "Freq.(MHz)");
  t.Text(170, y, "Level");
  t.Text(230, y, "MKR");
  t.Text(310, y, "Freq.(MHz)");
  t.Text(430, y, "Level");
}

// One row of the marker table: markers 0..4 on the left, 5..9 on the right.
void TableRow(Canvas& t, int n, double frequency, double level) {
  const bool left = n < 5;
  const double y = left ? -270 - 60.0 * n : 30 - 60.0 * n;
  const double column = left ? 0 : 230;
  t.Text(column + t.TextWidth("M"), y, std::to_string(n));
  PrintAligned(t, left ? 90 : 340, y, FormatShortest(frequency));
  if (level < kNoLevel) PrintAligned(t, left ? 190 : 450, y, FormatPattern(level, "#0.0"));
}

// Places marker i's picture at (x, height) when that lies on the graph; elsewhere it stays.
void PlaceHandle(EmiGraphState& st, int i, double x, double height) {
  HandleState& h = st.handles[i];
  if (x >= 0 && x <= kGraphRight && height >= 0 && height <= kGraphTop) {
    h.x = x;
    h.y = height;
  }
  h.visible = true;
}

// The markers of the logarithmic graph, read from the marker points of its trace walk.
void LogMarkers(Canvas& t, EmiGraphState& st) {
  for (HandleState& h : st.handles) h.visible = false;
  const bool usable = RangeUsable(st, true);
  for (int i = 0; i < kEmiMarkers; ++i) {
    EmiMarker& m = st.markers[i];
    if (!m.ticked) continue;
    const double f = NumericValue(m.frequencyText);
    const double fx = usable ? FreqToXLog(st.standard->freqStart, st.standard->freqStop, f) : -1;
    const std::int64_t x = std::isfinite(fx) ? RoundHalfEven(fx) : -1;
    m.level = (x < 0 || x > static_cast<std::int64_t>(kGraphRight)) ? kNoLevel
                                                                    : st.markerPoints[x].level;
    if (!std::isfinite(m.level)) m.level = kNoLevel;
    TableRow(t, i, f, m.level);
    if (m.level < kNoLevel) PlaceHandle(st, i, static_cast<double>(x), st.markerPoints[x].raw);
  }
}

// The single-point limit level of a line, with the threshold added for its copy.
void SinglePointLine(Canvas& t, const EmiGraphState& st, const std::vector<LimitSegment>& segments) {
  const double level = SinglePointLimit(segments, st.spotCenter);
  const double y = Near(LevelToYRaw(st.emiRefLevel, Scale(st), level));
  if (!std::isfinite(y)) return;
  t.SetPenColor(kLimitColor);
  t.Line(0, y, kGraphRight, y);
  if (st.thresholdOn) {
    const double yt = Near(LevelToYRaw(st.emiRefLevel, Scale(st), level + st.threshold));
    t.SetPenColor(kThresholdColor);
    t.Line(0, yt, kGraphRight, yt);
  }
}

bool Finite(double a, double b, double c, double d) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}


// The segments joined into one figure on the axis in force, raised by `raise` dB.
void SegmentFigure(Canvas& t, const EmiGraphState& st, const std::vector<LimitSegment>& segments,
                   bool logAxis, double raise) {
  const double a = st.standard->freqStart, b = st.standard->freqStop, scale = Scale(st);
  auto x = [&](double f) { return logAxis ? FreqToXLog(a, b, f) : FreqToXLin(a, b, f); };
  auto y = [&](double level) { return LevelToYRaw(st.emiRefLevel, scale, level + raise); };
  bool havePrevious = false;
  double px = 0, py = 0;
  for (const LimitSegment& s : segments) {
    const double x1 = x(s.startFreq), y1 = y(s.startLevel), x2 = x(s.stopFreq), y2 = y(s.stopLevel);
    if (!Finite(x1, y1, x2, y2)) {
      havePrevious = false;  // a point the axis cannot place breaks the figure there
      continue;
    }
    if (havePrevious) t.Line(px, py, Near(x1), Near(y1));
    t.Line(Near(x1), Near(y1), Near(x2), Near(y2));
    px = Near(x2);
    py = Near(y2);
    havePrevious = true;
  }
}

// At print resolution the marker pictures belong to the picture: each marker's number
// above a filled triangle whose lower tip sits on its emission, as the handles on screen.
void MarkerPictures(Canvas& t, const EmiGraphState& st) {
  if (st.lineWidth <= 1) return;
  const bool dotted = t.Dotted();
  const int width = t.PenWidth();
  t.SetDotted(false);
  t.SetPenWidth(std::max(1, st.lineWidth / 2));
  t.SetPenColor(kMarkerPictureColor);
  const double high = 0.9 * t.TextHeight("0"), half = 0.5 * t.TextWidth("0");
  for (int i = 0; i < kEmiMarkers; ++i) {
    const HandleState& h = st.handles[i];
    if (!h.visible) continue;
    constexpr int kFill = 12;  // lines from the tip across the base fill the triangle
    for (int k = 0; k <= kFill; ++k) t.Line(h.x, h.y, h.x - half + 2 * half * k / kFill, h.y + high);
    const std::string number = std::to_string(i);
    t.Text(h.x - t.TextWidth(number) / 2, h.y + high + t.TextHeight(number), number);
  }
  t.SetDotted(dotted);
  t.SetPenWidth(width);
  t.SetPenColor(TextColor(st));
}

Rgb VerdictColor(Verdict v) {
  switch (v) {
    case Verdict::Fail:
      return kFailColor;
    case Verdict::Marginal:
      return kMarginalColor;
    case Verdict::Pass:
      return kPassColor;
    default:
      return 0;
  }
}

// The single-point test's result along the top of the graph, on the background so the
// lines beneath do not run through it.
void SpotVerdictLine(Canvas& t, const EmiGraphState& st, const SpotVerdict& v) {
  const std::string text = SpotVerdictText(v);
  const std::string verdict = VerdictText(v.verdict);
  const std::string lead = text.substr(0, text.size() - verdict.size());
  const double x = 6, y = kGraphTop - 6, h = t.TextHeight(text);
  t.FilledBox(2, y + 2, x + t.TextWidth(text) + 4, y - h - 2, st.printer ? kPrinterBack : st.backColor);
  t.SetPenColor(TextColor(st));
  t.Text(x, y, lead);
  t.SetPenColor(v.verdict == Verdict::NoLimit ? TextColor(st) : VerdictColor(v.verdict));
  t.Text(x + t.TextWidth(lead), y, verdict);
  t.SetPenColor(TextColor(st));
}

}  // namespace

std::optional<SpotVerdict> JudgeSpot(const EmiGraphState& st) {
  if (st.wideRangeScan || !st.standard || !Measured(st)) return std::nullopt;
  std::optional<double> highest;
  for (const EmiPoint& p : st.results->trace) {
    if (std::isfinite(p.level) && p.level < kNoLevel) highest = std::max(highest.value_or(p.level), p.level);
  }
  if (!highest) return std::nullopt;
  SpotVerdict v;
  v.level = *highest;
  const double c = st.spotCenter;
  // The limit of a line as the graph draws it, where one of its segments holds the centre.
  auto limitOf = [&](const std::vector<LimitSegment>& segments) -> std::optional<double> {
    if (segments.empty() || (segments.front().startFreq == 0 && segments.front().stopFreq == 0)) {
      return std::nullopt;
    }
    const bool held = std::any_of(segments.begin(), segments.end(), [&](const LimitSegment& s) {
      return c >= std::min(s.startFreq, s.stopFreq) && c <= std::max(s.startFreq, s.stopFreq);
    });
    if (!held) return std::nullopt;
    return SinglePointLimit(segments, c);
  };
  v.upperLimit = limitOf(st.standard->upperLimit);
  v.lowerLimit = limitOf(st.standard->lowerLimit);
  for (auto [limit, margin] : {std::pair{&v.upperLimit, &v.upperMargin}, {&v.lowerLimit, &v.lowerMargin}}) {
    if (!*limit) continue;
    *margin = **limit - v.level;
    v.verdict = WorseVerdict(v.verdict, JudgeMargin(**margin, st.guardBandDb));
  }
  return v;
}

std::string SpotVerdictText(const SpotVerdict& v) {
  auto part = [](const char* name, const std::optional<double>& limit, const std::optional<double>& margin) {
    if (!limit || !margin) return std::string();
    return std::string("  ") + name + ": " + FormatPattern(*limit, "#0.0") + " dBuV (" +
           FormatPattern(*margin, "#0.0") + " dB)";
  };
  return "Level: " + FormatPattern(v.level, "#0.0") + " dBuV" + part("Upper", v.upperLimit, v.upperMargin) +
         part("Lower", v.lowerLimit, v.lowerMargin) + "  " + VerdictText(v.verdict);
}

UserScale EmiGraphScale(const EmiGraphState& st) {
  return {kScaleLeft, kScaleTop, kScaleWidth, st.scaleHeight};
}

bool EmiLinearGraph(const EmiGraphState& st) {
  return ToLower(st.modeText) == "radiation" || !st.wideRangeScan;
}

bool EmiConductedWideRange(const EmiGraphState& st) {
  return ToLower(st.modeText) == "conducted" && st.wideRangeScan;
}

void EMC_DrawGrid(Canvas& target, EmiGraphState& st, bool showLower, bool showUpper, bool clear) {
  if (EmiLinearGraph(st)) {
    EMC_Linear_DrawGrid(target, st, true, true, clear);
    return;
  }
  const double savedFont = BeginPicture(target, st, clear);
  const bool usable = RangeUsable(st, true);

  target.SetDotted(true);
  for (double y = kLogGridStep; y < kGraphTop; y += kLogGridStep) target.Line(0, y, kGraphRight, y);
  target.SetDotted(false);

  if (usable) DrawLimits(target, st, showLower, showUpper);
  MaskMargins(target, st);

  const double scale = Scale(st);
  const double bottom = st.emiRefLevel - 8 * scale;
  auto label = [&](double y, double level) {
    target.Text(-35, y + target.TextHeight("0") / 2, FormatShortest(level));
  };
  for (int k = 1; k <= 7; ++k) label(kLogGridStep * k, bottom + k * scale);
  label(kGraphTop, st.emiRefLevel);
  label(0, bottom);

  Frame(target);

  const EmiHeader header = st.results ? st.results->header : EmiHeader{};
  target.Text(-50, 1120, "[dBu]");
  CorrectionsText(target, st);
  target.Text(0, -100, "RBW:" + HeaderRbw(st, header));
  TextCentred(target, 250, -100, "VBW:" + header.vbw);
  TextEndingAt(target, 500, -100, "Sweep:" + header.sweepTime);
  TextCentred(target, 250, -160, "Detection:" + header.detection);
  TextEndingAt(target, 500, -160, header.timeStamp);
  AmpUncalText(target, st);

  if (usable) {
    EMC_DrawTrace(target, st);
    FinalLevels(target, st, true);
  } else {
    st.markerPoints.fill({0, kNoLevel, -1});
  }
  target.SetPenColor(TextColor(st));

  if (AnyMarkerTicked(st)) {
    MarkerTableHeader(target);
    LogMarkers(target, st);
    MarkerPictures(target, st);
  } else {
    for (HandleState& h : st.handles) h.visible = false;
  }

  if (usable && st.standard->freqStop > 0) {
    EMC_DrawXScale(target, st.standard->freqStart, st.standard->freqStop);
  }
  target.SetDotted(false);
  target.SetFontSize(savedFont);
}

void EMC_DrawXScale(Canvas& target, double start, double stop) {
  if (!(start > 0 && stop > start && std::isfinite(stop))) return;
  const bool dotted = target.Dotted();
  target.SetDotted(true);
  double decade = 0.1;
  for (int d = 0; d < kMaxDecades; ++d, decade *= 10) {
    for (int u = 1; u <= 10; ++u) {
      const double q = u * decade;
      if (q >= stop) {
        d = kMaxDecades;  // the scan ends at the first value at or above the stop
        break;
      }
      if (q <= start) continue;
      const double x = FreqToXLog(start, stop, q);
      target.Line(x, 0, x, kGraphTop);
      if (u == 1 || u == 5) TextCentred(target, x, -10, FormatShortest(q));
    }
  }
  target.SetDotted(dotted);
  target.Text(0, -50, "Start:" + FormatShortest(start));
  TextEndingAt(target, 500, -50, "Stop:" + FormatShortest(stop) + "MHz");
}

namespace {

// The trace walk of the logarithmic graph: each column 0..500 gets the point it shows.
// Each column keeps the strictly highest of the points that lie in it. Where the points
// lie further apart than the columns (the start of a band), a column without a point of
// its own shows the nearer neighbour: taking the next point regardless would push every
// later emission to the left of its frequency.
template <class Visit>
void WalkColumns(const EmiGraphState& st, Visit visit) {
  const std::vector<EmiPoint>& pts = st.results->trace;
  const double a = st.standard->freqStart, b = st.standard->freqStop;
  std::size_t i = 0;
  while (i < pts.size() && !(pts[i].frequency >= a)) ++i;
  if (i >= pts.size()) return;
  auto columnOf = [&](std::size_t k) { return FreqToXLog(a, b, pts[k].frequency); };
  std::size_t previous = i;
  for (int x = 0; x <= static_cast<int>(kGraphRight); ++x) {
    while (i < pts.size() && columnOf(i) < x - 0.5) previous = i++;
    std::optional<std::size_t> kept;
    for (; i < pts.size() && columnOf(i) <= x + 0.5; ++i) {
      if (!kept || pts[i].raw > pts[*kept].raw) kept = i;
      previous = i;
    }
    if (!kept) {
      kept = previous;
      if (i < pts.size() && std::fabs(columnOf(i) - x) < std::fabs(columnOf(previous) - x)) kept = i;
    }
    visit(x, pts[*kept]);
  }
}

bool WalkUsable(const EmiGraphState& st) {
  return st.results && st.results->trace.size() > 1 && RangeUsable(st, true);
}

}  // namespace

void EMC_DrawTrace(Canvas& target, EmiGraphState& st) {
  st.markerPoints.fill({0, kNoLevel, -1});
  if (!WalkUsable(st)) return;
  const double scale = Scale(st);
  const bool dotted = target.Dotted();
  const int width = target.PenWidth();
  target.SetDotted(false);
  target.SetPenWidth(st.lineWidth);
  target.SetPenColor(kEmiTraceColor);
  const double y0 = LevelToYRaw(st.emiRefLevel, scale, st.results->trace.front().level);
  target.MoveTo(0, std::isfinite(y0) && y0 > 0 ? y0 : 0);
  WalkColumns(st, [&](int x, const EmiPoint& point) {
    st.markerPoints[x] = point;
    const double r = point.raw;
    double y = (scale == 10) ? r : kGraphTop - (kGraphTop - r) * 10 / scale;
    if (!std::isfinite(y)) y = 0;
    target.LineTo(x, std::clamp(y, 0.0, kGraphTop));
  });
  target.SetDotted(dotted);
  target.SetPenWidth(width);
}

void UpdateEmiMarkerPoints(EmiGraphState& st) {
  // Nothing of an earlier drawing survives: without a trace to walk there is no reading.
  st.markerPoints.fill({0, kNoLevel, -1});
  if (EmiLinearGraph(st)) {
    if (st.results) st.markerPoints = st.results->markerPoints;
  } else if (WalkUsable(st)) {
    WalkColumns(st, [&](int x, const EmiPoint& point) { st.markerPoints[x] = point; });
  }
}

double SinglePointLimit(const std::vector<LimitSegment>& segments, double c) {
  double level = 0;
  for (std::size_t k = 0; k < segments.size(); ++k) {
    const LimitSegment& s = segments[k];
    if (c > s.startFreq && c < s.stopFreq) {
      level = (s.stopLevel - s.startLevel) * (c - s.startFreq) / (s.stopFreq - s.startFreq) + s.startLevel;
    } else if (c == s.startFreq) {
      level = k == 0 ? s.startLevel : std::max(s.startLevel, segments[k - 1].stopLevel);
    } else if (c == s.stopFreq) {
      level = k + 1 == segments.size() ? s.stopLevel : std::max(s.stopLevel, segments[k + 1].startLevel);
    }
  }
  return level;
}

void DrawEmiLimitLine(Canvas& target, const EmiGraphState& st,
                      const std::vector<LimitSegment>& segments) {
  if (!st.standard || segments.empty()) return;
  if (segments.front().startFreq == 0 && segments.front().stopFreq == 0) return;
  const bool dotted = target.Dotted();
  const int width = target.PenWidth();
  target.SetDotted(true);
  target.SetPenWidth(st.lineWidth);
  if (!st.wideRangeScan) {
    SinglePointLine(target, st, segments);
  } else {
    const bool logAxis = ToLower(st.modeText) == "conducted";
    if (RangeUsable(st, logAxis)) {
      target.SetPenColor(kLimitColor);
      SegmentFigure(target, st, segments, logAxis, 0);
      if (st.thresholdOn) {
        target.SetPenColor(kThresholdColor);
        SegmentFigure(target, st, segments, logAxis, st.threshold);
      }
    }
  }
  target.SetDotted(dotted);
  target.SetPenWidth(width);
}

void EMC_Linear_DrawGrid(Canvas& target, EmiGraphState& st, bool showLower, bool showUpper,
                         bool clear) {
  const double savedFont = BeginPicture(target, st, clear);
  const bool usable = RangeUsable(st, false);
  const EmiHeader header = st.results ? st.results->header : EmiHeader{};
  const double scale = Scale(st);

  target.SetDotted(true);
  for (int i = 0; i <= 10; ++i) target.Line(i * 50.0, 0, i * 50.0, kGraphTop);
  for (int k = 0; k <= 8; ++k) {
    const double y = kGraphTop - k * kLinGridStep;
    target.Line(0, y, kGraphRight, y);
  }
  target.SetDotted(false);

  if (usable) DrawLimits(target, st, showLower, showUpper);
  MaskMargins(target, st);
  Frame(target);
  // The level labels lie in the left margin: written after the margins are masked, or the
  // mask would wipe them out.
  // The analyzer's reference level of the measurement shown; without one, the reference
  // the limit lines are drawn at, so the labels and the lines agree.
  const bool measured = Measured(st);
  const double ref = measured ? header.refLevel : st.emiRefLevel;
  for (int k = 0; k <= 8; ++k) {
    target.Text(-50, kGraphTop - k * kLinGridStep + 20, FormatPattern(ref - k * scale, "#0.0"));
  }

  const double a = st.standard ? st.standard->freqStart : 0;
  const double b = st.standard ? st.standard->freqStop : 0;
  if (usable) {
    for (int k = 0; k <= 10; k += 2) TextCentred(target, 50.0 * k, -10, FrequencyLabel(a + (b - a) / 10 * k));
  }
  target.Text(-50, 1120, "Ref: " + FormatShortest(ref) + " " +
                             (measured || !header.ampUnit.empty() ? header.ampUnit : std::string("dBuV")));
  target.Text(120, 1120, FormatShortest(scale) + " dB/");
  CorrectionsText(target, st);
  const double center = st.standard ? st.standard->center : 0;
  const double span = st.standard ? st.standard->span : 0;
  target.Text(0, -60, "Start:" + FrequencyLabel(a));
  TextCentred(target, 250, -60, "Center: " + FrequencyLabel(center));
  TextEndingAt(target, 500, -60, "Stop:" + FrequencyLabel(b));
  target.Text(0, -110, "RBW:" + HeaderRbw(st, header));
  target.Text(110, -110, "VBW:" + header.vbw);
  TextCentred(target, 250, -110, "Span: " + FrequencyLabel(span));
  TextEndingAt(target, 500, -110, "Sweep:" + header.sweepTime);
  TextCentred(target, 250, -160, "Detection:" + header.detection);
  TextEndingAt(target, 500, -160, header.timeStamp);
  AmpUncalText(target, st);

  std::span<const std::int16_t> live;
  if (st.results) live = st.results->liveBuffer;
  long long sum = 0;
  for (const std::int16_t v : live) sum += v;
  if (sum > 0) {
    DrawTrace(target, live, kEmiTraceColor, static_cast<float>(scale), st.lineWidth);
    target.SetPenWidth(1);
  } else {
    live = {};  // a sweep that is not drawn gives no marker readings either
  }
  if (usable) FinalLevels(target, st, false);
  target.SetPenColor(TextColor(st));
  if (const auto spot = JudgeSpot(st)) SpotVerdictLine(target, st, *spot);

  if (AnyMarkerTicked(st)) {
    MarkerTableHeader(target);
    EMC_Linear_MarkerCalculate(target, st, live);
    MarkerPictures(target, st);
  } else {
    for (HandleState& h : st.handles) h.visible = false;
  }
  target.SetFontSize(savedFont);
}

void EMC_Linear_MarkerCalculate(Canvas& target, EmiGraphState& st,
                                std::span<const std::int16_t> liveRaw) {
  for (HandleState& h : st.handles) h.visible = false;
  const double a = st.standard ? st.standard->freqStart : 0;
  const double b = st.standard ? st.standard->freqStop : 0;
  const std::int16_t ref = RoundToInt16(st.results ? st.results->header.refLevel : 0);
  for (int i = 0; i < kEmiMarkers; ++i) {
    EmiMarker& m = st.markers[i];
    if (!m.ticked) continue;
    const double f = NumericValue(m.frequencyText);
    const double fx = FreqToX(f, a, b);
    const int n = RoundToInt32(fx);
    m.level = (f < a || f > b || a == b) ? kNoLevel : PointHeightTodBm(ref, n, liveRaw);
    TableRow(target, i, f, m.level);
    if (m.level < kNoLevel && n >= 0 && static_cast<std::size_t>(n) < liveRaw.size()) {
      PlaceHandle(st, i, n, liveRaw[static_cast<std::size_t>(n)]);
    }
  }
}

std::string EmiColumnFrequencyText(const EmiGraphState& st, int column) {
  const double a = st.standard ? st.standard->freqStart : 0;
  const double b = st.standard ? st.standard->freqStop : 0;
  const double f = EmiConductedWideRange(st) ? XToFreqLog(a, b, column) : XToFreqLin(a, b, column);
  return FormatPattern(std::isfinite(f) ? f : 0, "#0.000##");
}

std::vector<EmiPoint> FindEmiPeaks(const EmiTrace& points, int count) {
  std::vector<PeakPoint> levels(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double level = points[i].level;
    levels[i] = {points[i].frequency, std::isfinite(level) ? level : kNoLevel, points[i].raw};
  }
  std::vector<EmiPoint> peaks;
  for (const PeakPoint& p : FindPeaks(levels)) {
    if (static_cast<int>(peaks.size()) >= count) break;
    // Where points lie further apart than the columns, neighbouring columns show the same
    // point: it is one emission.
    const bool seen = std::any_of(peaks.begin(), peaks.end(),
                                  [&](const EmiPoint& q) { return q.frequency == p.frequency; });
    if (!seen) peaks.push_back({p.frequency, p.level, p.count});
  }
  return peaks;
}

}  // namespace vantrel

#include "display/spectrum_graph.h"

#include <algorithm>
#include <string>

#include "display/trace_painter.h"
#include "util/format.h"

namespace vantrel {

namespace {

constexpr double kGridStepY = kGraphTop / 8;  // 127.875

void DrawGridLines(Canvas& c, const AnalyzerSettings& s) {
  c.SetDotted(true);
  for (int i = 0; i <= 10; ++i) c.Line(i * 50.0, 0, i * 50.0, kGraphTop);
  for (int i = 0; i <= 8; ++i) {
    const double y = kGraphTop - i * kGridStepY;
    c.Line(0, y, kGraphRight, y);
    // Before the first refresh there is no scale: no level to write.
    if (s.Scale > 0) c.Text(-50, y + 20, LevelLabel(s.RefLevel, s.Scale, i));
  }
}

void DrawLimitLayers(Canvas& c, const DisplayState& st, const GraphLayers& layers) {
  c.SetDotted(false);
  if (st.higherLimitChecked && st.higherLimitLoaded && layers.drawHigherLimit) {
    c.SetPenColor(kHigherLimitColor);
    layers.drawHigherLimit(c);
  }
  if (st.lowerLimitChecked && st.lowerLimitLoaded && layers.drawLowerLimit) {
    c.SetPenColor(kLowerLimitColor);
    layers.drawLowerLimit(c);
  }
  c.SetDotted(false);
  c.SetPenColor(st.gridColor);
}

void DrawTexts(Canvas& c, const DisplayState& st) {
  const AnalyzerSettings& s = st.settings;
  c.Text(-50, 1120, st.refCaption + FormatShortest(s.RefLevel) + " " + s.RefUnit);
  if (!st.traceCaption.empty()) c.Text(420, 1120, st.traceCaption);
  c.Text(120, 1120, FormatShortest(s.Scale) + " dB/");
  c.Text(0, -10, "Start: " + FrequencyLabel(s.FreqStart));
  c.Text(170, -10, "Center: " + FrequencyLabel(s.FreqCenter));
  c.Text(350, -10, "Stop: " + FrequencyLabel(s.FreqStop));
  c.Text(0, -60, "RBW: " + s.RBW);
  c.Text(110, -60, "VBW: " + s.VBW);
  c.Text(230, -60, "Span: " + s.Span);
  c.Text(370, -60, "Sweep: " + s.SweepTime);
  c.Text(370, -110, s.TimeStamp);
}

void DrawLiveTraces(Canvas& c, DisplayState& st) {
  for (int layer = 2; layer >= 0; --layer) {
    for (const RawTrace& t : st.liveTraces) {
      if (t.Valid() && t.Mode() == layer) DrawTrace(c, t.Points(), t.Colour(), st.settings.Scale);
    }
  }
  st.UpdateMarkerTrace();
  c.SetPenWidth(1);
  c.SetPenColor(st.gridColor);
}

void DrawMarkerHeader(Canvas& c, DisplayState& st, const GraphLayers& layers) {
  if (!st.AnyMarkerEnabled()) {
    if (layers.hideMarkerHandles) layers.hideMarkerHandles();
    return;
  }
  c.Text(0, -160, "MKR");
  c.Text(60, -160, "Freq.(MHz)");
  c.Text(170, -160, "Level");
  c.Text(230, -160, "D_MKR");
  c.Text(310, -160, "D_Freq.(MHz)");
  c.Text(430, -160, "D_Level");
  if (st.markerSourceLive) {
    if (layers.markerCalculate) layers.markerCalculate(c, st.markerTrace);
  } else if (layers.hideMarkerHandles) {
    layers.hideMarkerHandles();
  }
}

template <class T>
void Append(LayerKey& key, const T& value) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
  key.insert(key.end(), bytes, bytes + sizeof value);
}

// Everything the stored traces' lines depend on: the valid slots' words (points, colour,
// number), the dB/div scale, the canvas's scale and pen, and its size.
// Comparing content rather than counting changes misses no way a slot is written.
LayerKey StoredLayerKey(const DisplayState& st, const Canvas& target, const KeptLayer& layer) {
  LayerKey key;
  key.reserve(st.storedTraces.size() * (sizeof(RawTrace) + sizeof(int)) + 64);
  for (std::size_t i = 0; i < st.storedTraces.size(); ++i) {
    if (!st.storedTraces[i].Valid()) continue;
    Append(key, static_cast<int>(i));
    Append(key, st.storedTraces[i].words);
  }
  const UserScale scale = target.Scale();
  Append(key, st.settings.Scale);
  Append(key, scale.left);
  Append(key, scale.top);
  Append(key, scale.width);
  Append(key, scale.height);
  Append(key, target.PenWidth());
  Append(key, target.Dotted());
  Append(key, layer.TargetWidth());
  Append(key, layer.TargetHeight());
  return key;
}

void DrawStoredTraces(Canvas& target, const DisplayState& st) {
  for (const RawTrace& t : st.storedTraces) {
    if (t.Valid()) DrawStoredTrace(target, t.Points(), t.Colour(), t.Mode(), st.settings.Scale);
  }
}

}  // namespace

std::string LevelLabel(float refLevel, float scale, int line) {
  return FormatPattern(static_cast<double>(refLevel) - line * static_cast<double>(scale), "#0.0");
}

bool AmpUncal(const AnalyzerSettings& s) {
  return s.FreqStart < 15 && RefLevelInDbm(s.RefLevel, s.RefUnit) < -30;
}

void DrawGrid(Canvas& target, DisplayState& st, const GraphLayers& layers, Canvas* screen) {
  if (st.closing) return;
  const UserScale scale = GraphScale(st.AnyMarkerEnabled());
  if (screen && screen != &target) screen->SetScale(scale);
  target.SetScale(scale);
  const double savedFont = target.FontSize();

  target.Clear(st.backColor);
  target.SetFontSize(kBaseFontSize * std::max(1.0f, st.fontScale));
  target.SetPenColor(st.gridColor);
  target.SetPenWidth(1);

  DrawGridLines(target, st.settings);
  DrawLimitLayers(target, st, layers);

  target.SetPenWidth(2);
  target.Box(0, kGraphTop, kGraphRight, 0);
  target.SetPenWidth(1);

  DrawTexts(target, st);
  if (AmpUncal(st.settings)) {
    target.SetPenColor(kAmpUncalColor);
    target.Text(230, -110, "Amp Uncal");
    target.SetPenColor(st.gridColor);
  }

  DrawLiveTraces(target, st);
  if (layers.processEvents) layers.processEvents();
  DrawMarkerHeader(target, st, layers);
  target.SetFontSize(savedFont);
}

void DrawStored(Canvas& target, DisplayState& st, const std::function<float()>& rereadScale) {
  if (std::none_of(st.storedTraces.begin(), st.storedTraces.end(),
                   [](const RawTrace& t) { return t.Valid(); }))
    return;
  if (!(st.settings.Scale > 0) && rereadScale) {
    // A scale not above 0 reads as 10, as in the refresh; otherwise an analyzer that
    // keeps answering 0 would be asked again for every one of the 100 slots.
    const float scale = rereadScale();
    st.settings.Scale = scale > 0 ? scale : 10.0f;
  }
  KeptLayer* layer = target.Kept();
  if (layer == nullptr) {
    DrawStoredTraces(target, st);
    return;
  }
  // Stored traces change rarely but are drawn at every repaint: kept on a layer, they
  // are painted again only when something they depend on has changed.
  LayerKey key = StoredLayerKey(st, target, *layer);
  // Only the lines are kept: smoothed text laid over from a layer can differ from text
  // drawn in place by a shade, so the numbers are drawn in place, after all the lines.
  if (key != layer->Key()) {
    Canvas& c = layer->Redraw(std::move(key));
    c.SetScale(target.Scale());
    c.SetPenWidth(target.PenWidth());
    c.SetDotted(target.Dotted());
    for (const RawTrace& t : st.storedTraces) {
      if (t.Valid()) DrawStoredTraceLine(c, t.Points(), t.Colour(), st.settings.Scale);
    }
  }
  layer->Compose();
  for (const RawTrace& t : st.storedTraces) {
    if (t.Valid())
      DrawStoredTraceNumber(target, t.Points(), t.Colour(), t.Mode(), st.settings.Scale);
  }
}

}  // namespace vantrel

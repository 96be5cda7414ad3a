#pragma once
// What the spectrum graph paints from: the analyzer window's settings mirror, its live
// and stored traces and the few window choices the graph reads. The window owns one
// and hands it to the refresh and the painters; nothing here talks to the instrument.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "commands/analyzer_settings.h"
#include "commands/raw_trace.h"
#include "display/canvas.h"
#include "display/graph_frame.h"
#include "display/graph_mapping.h"

namespace vantrel {

inline constexpr int kStoredTraceSlots = 100;

struct DisplayState {
  DisplayState();

  AnalyzerSettings settings;
  std::array<RawTrace, 3> liveTraces{};
  // Slot k (1..100) is storedTraces[k - 1].
  std::array<RawTrace, kStoredTraceSlots> storedTraces{};
  // Counts the markers read: the live trace of mode 0.
  std::array<std::int16_t, kTracePoints> markerTrace{};

  double dbPerCount = kDbPerCount;
  Rgb gridColor = kDefaultGridColor;
  Rgb backColor = kDefaultBackColor;
  float fontScale = 1.0f;  // never below 1

  // Window choices read by the repaint.
  std::array<bool, 5> markerEnabled{};  // chkMMkr(0..4)
  bool markerSourceLive = true;         // optMkrLive, else optStorage
  bool higherLimitChecked = false;      // chkHLimit
  bool lowerLimitChecked = false;       // chkLLimit
  bool higherLimitLoaded = false;
  bool lowerLimitLoaded = false;
  bool closing = false;  // the window has begun to close

  // Stored-trace colour swatch Label3, and the index text of the last stored trace fetched.
  Rgb storedColor = kStoredTraceColor;
  std::string lastStoredIndexText = "1";
  // Header wording: the caption before the reference level, and a caption for the trace
  // shown at the top right ("" for none).
  std::string refCaption = "Ref: ";
  std::string traceCaption;

  bool AnyMarkerEnabled() const;
  // MarkerTrace := the points of the live trace drawn on top (mode 0).
  void UpdateMarkerTrace();
};

// Layers that later parts of the display fill in; an empty hook draws nothing.
struct GraphLayers {
  // Called with the solid pen and the limit line's colour set.
  std::function<void(Canvas&)> drawHigherLimit;
  std::function<void(Canvas&)> drawLowerLimit;
  // Marker table values and handles on the marker trace ("Live" source).
  std::function<void(Canvas&, std::span<const std::int16_t>)> markerCalculate;
  std::function<void()> hideMarkerHandles;
  // Lets pending window events run.
  std::function<void()> processEvents;
};

}  // namespace vantrel

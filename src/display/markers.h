#pragma once
// The five markers of the spectrum view: their table of frequencies, levels and deltas,
// the rows under the graph, and where their handles sit. Marker frequencies live in the
// window's text boxes; levels and deltas are computed again at every repaint.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "commands/analyzer_settings.h"
#include "display/canvas.h"
#include "display/graph_mapping.h"

namespace vantrel {

inline constexpr int kMarkers = 5;
inline constexpr double kMaxMarkerFrequencyMHz = 3000;
inline constexpr int kDragRightLimit = 498;

// One row of the "Marker Function" panel.
struct MarkerRow {
  bool enabled = false;           // chkMMkr(i)
  std::string frequencyText = "0";  // txtMkr(i), MHz
  std::string deltaText = "N";      // cboMkrDelta(i): "N" or the reference marker "0".."4"
};

struct MarkerEntry {
  double frequency = 0;    // MHz (delta entries: reference minus this marker)
  double level = kNoLevel;  // kNoLevel = no value
};

// Entries 0..4 hold the markers, 5..9 their deltas; 10..12 are kept for the EMI view.
using MarkerTable = std::array<MarkerEntry, 13>;

// Where a handle's lower tip sits on the graph, or hidden.
struct HandleState {
  bool visible = false;
  double x = 0;
  double y = 0;
};

struct MarkerView {
  std::array<MarkerRow, kMarkers> rows{};
  MarkerTable table{};
  std::array<HandleState, kMarkers> handles{};
};

// Computes every marker and delta from `counts` (the marker trace, or a stored trace) and
// writes the rows under the graph on `target` (skipped when null). Handles of disabled
// markers and of markers without a level are hidden.
void MarkerCalculate(Canvas* target, std::span<const std::int16_t> counts,
                     const AnalyzerSettings& settings, MarkerView& view);

// Writes `text` with its first decimal point at x (the whole text counts as the part
// before the point when it has none), top at y.
void PrintAligned(Canvas& target, double x, double y, const std::string& text);

// Frequency text for trace point n, "#0.000##"; negative results become "0.000".
std::string MarkerFrequencyText(const AnalyzerSettings& settings, int n);

// A handle dropped at graph x: the trace point it lands on (x limited to 0..498).
int DropPoint(double x);

// The frequency text one trace point left (-1) or right (+1) of the point a handle sits
// on; nullopt at the ends of the trace.
std::optional<std::string> StepMarker(const AnalyzerSettings& settings, double handleX, int step);

// A typed marker frequency: nullopt when it is fine, else the message to show and the
// corrected text ("" keeps the text as typed).
struct MarkerInputProblem {
  std::string message;
  std::string correctedText;
};
// `maxMHz` is the top of the analyzer's range.
std::optional<MarkerInputProblem> ValidateMarkerFrequency(
    const std::string& text, double maxMHz = kMaxMarkerFrequencyMHz);

}  // namespace vantrel

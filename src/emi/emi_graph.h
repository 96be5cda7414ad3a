#pragma once
// The EMI picture: the measured emission against the standard's limit lines, on the
// logarithmic graph (conducted wide-range scan) or on the linear graph (radiated scan
// and single-point test), with up to ten markers and their table under the graph.
// Drawn from state only, on any canvas: the window's picture, an image or a page. A
// standard whose range the axis cannot map (start not above 0 on the logarithmic axis,
// start equal to stop) gets the frame and texts without scale, trace and limit lines.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "display/canvas.h"
#include "display/graph_frame.h"
#include "display/graph_mapping.h"
#include "display/markers.h"
#include "emi/emi_point.h"
#include "emi/emi_results.h"
#include "emi/emi_sequences.h"
#include "emi/limit_standard.h"

namespace vantrel {

inline constexpr int kEmiMarkers = 10;
inline constexpr int kNoActiveMarker = 99;
inline constexpr double kEmiMaxMarkerMHz = 3000;

struct EmiMarker {
  bool ticked = false;              // chkEMCMMkr(i)
  std::string frequencyText = "0";  // txtEMCMkr(i), MHz
  double level = kNoLevel;          // dBuV at the last drawing; kNoLevel = no reading
};

// What one drawing of the EMI picture reads, and what it leaves behind for the window.
struct EmiGraphState {
  // Read.
  const LimitStandard* standard = nullptr;
  const EmiResults* results = nullptr;  // trace, header and live sweep of the last measurement
  std::string modeText;                 // cboEMCMode text, e.g. "Conducted", "Radiation"
  bool wideRangeScan = true;            // false: "Single Point Test" selected
  double spotCenter = 0;                // txtSpotCenter, MHz: the single-point limit level
  double emiRefLevel = 107;             // txtReflvl
  bool thresholdOn = false;             // chkThreshold
  double threshold = 0;                 // txtThreshold, dB
  bool printer = false;                 // black text, never cleared
  float fontScale = 1.0f;               // the window's font factor, never below 1
  Rgb gridColor = kDefaultGridColor;
  Rgb backColor = kDefaultBackColor;
  std::array<EmiMarker, kEmiMarkers> markers{};
  std::string correctionsCaption;  // names the correction tables the levels include
  // The header's RBW: the RBW the mode calls for until a measurement reports its own
  // (empty: the measurement's header alone).
  std::string rbwText;
  // Pen width of the trace and limit lines in pixels: 1 on screen, more at print
  // resolution so the dotted lines read on paper. Above 1 the marker pictures are drawn
  // into the picture as well (on screen they are the window's own).
  int lineWidth = 1;
  // The guard band the single-point test's verdict is judged with (dB).
  double guardBandDb = kDefaultGuardBandDb;
  // Final measurements of emissions: quasi-peak levels (drawn as x) and average levels (+).
  std::vector<EmiPoint> finalQuasiPeak, finalAverage;
  // Run-time failures of the limit drawing and the peak search: ShowErrorBox in the window.
  std::function<void(int number, const std::string& description)> showError;

  // Non-zero: the picture's own user-scale height, whatever markers are ticked (a
  // display window that always leaves room for the marker table).
  double fixedScaleHeight = 0;

  // Left behind.
  EmiTrace markerPoints{};  // one point per column 0..500, from the last trace drawing
  std::array<HandleState, kEmiMarkers> handles{};  // tip of each marker picture, graph units
  double scaleHeight = -1400;                      // -1750 while a marker is ticked
};

// True when the linear graph applies: mode "radiation" (any case) or the single-point test.
bool EmiLinearGraph(const EmiGraphState& st);
bool EmiConductedWideRange(const EmiGraphState& st);

// The whole EMI picture; hands over to the linear graph when it applies.
void EMC_DrawGrid(Canvas& target, EmiGraphState& st, bool showLower, bool showUpper, bool clear);
void EMC_Linear_DrawGrid(Canvas& target, EmiGraphState& st, bool showLower, bool showUpper,
                         bool clear);
// The logarithmic frequency scale: decade lines, labels at 1 and 5, start and stop texts.
void EMC_DrawXScale(Canvas& target, double start, double stop);
// The measured trace on the logarithmic graph; fills st.markerPoints.
void EMC_DrawTrace(Canvas& target, EmiGraphState& st);
// The marker points the graph in force shows, without drawing: the logarithmic trace walk,
// or the linear sweep's own points.
void UpdateEmiMarkerPoints(EmiGraphState& st);
// One limit line (red, dotted) and, with the threshold ticked, its raised copy (blue).
void DrawEmiLimitLine(Canvas& target, const EmiGraphState& st,
                      const std::vector<LimitSegment>& segments);
// Limit level at the single-point test's centre frequency; 0 when no segment holds it.
double SinglePointLimit(const std::vector<LimitSegment>& segments, double center);

// The single-point test's result as the graph shows it: the highest level measured in the
// spot window against the limit lines drawn at the centre frequency.
struct SpotVerdict {
  double level = 0;
  std::optional<double> upperLimit, lowerLimit;  // none where the line holds no limit there
  std::optional<double> upperMargin, lowerMargin;
  Verdict verdict = Verdict::NoLimit;
};
// None without a single-point measurement.
std::optional<SpotVerdict> JudgeSpot(const EmiGraphState& st);
// "Level: 45.3 dBuV  Upper: 56.0 dBuV (10.7 dB)  Lower: 46.0 dBuV (0.7 dB)  Marginal"
std::string SpotVerdictText(const SpotVerdict& v);
// Marker readings, table and handles of the linear graph from the live raw trace.
void EMC_Linear_MarkerCalculate(Canvas& target, EmiGraphState& st,
                                std::span<const std::int16_t> liveRaw);

// The column's frequency text after an arrow key or a dropped handle ("#0.000##"),
// on the axis the graph in force uses.
std::string EmiColumnFrequencyText(const EmiGraphState& st, int column);

// Up to `count` peaks of the 501 marker points, highest first: the search behind "All to
// Peaks" on the spectrum, on the EMI levels.
std::vector<EmiPoint> FindEmiPeaks(const EmiTrace& points, int count);

// A typed EMI marker frequency: the same rule and messages as the spectrum markers'.
inline std::optional<MarkerInputProblem> ValidateEmiMarkerFrequency(const std::string& text) {
  return ValidateMarkerFrequency(text);
}

// The whole picture's user scale for the markers ticked.
UserScale EmiGraphScale(const EmiGraphState& st);

}  // namespace vantrel

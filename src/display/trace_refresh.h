#pragma once
// The refresh: live traces and, on request, every displayed setting, read in a fixed
// order with fixed pauses and left in the display state. It paints nothing.
#include <functional>
#include <optional>
#include <string>

#include "display/display_state.h"
#include "display/refresh_source.h"
#include "link/clock.h"
#include "link/connection_kind.h"
#include "util/notifier.h"

namespace vantrel {

struct RefreshHooks {
  // The transport selected now ("COM port", "USB", "GPIB") and whether the serial port is open.
  std::function<ConnectionKind()> selectedKind;
  std::function<bool()> serialOpen;
  // Process-wide IO message log (emptied at the start of every refresh) and the
  // window's "IO Message" box.
  std::string* ioMessageLog = nullptr;
  std::function<bool()> ioMessageBox;
  // Later layers: the limit lines read with the settings, and the recording file.
  std::function<void()> refreshLimitLines;
  std::function<bool()> recording;  // btnGetTrace down
  std::function<void()> appendRecord;
  // The transport's abort flag (the user stopped, disconnected, or the link was lost)
  // and whether the link was lost; told once when a refresh ended because of it.
  std::function<bool()> stopRequested;
  std::function<bool()> linkLost;
  std::function<void()> onLinkLost;
};

// How a refresh ended. Only Done and TraceCheckFailed leave what was read in the
// display state; the others leave the state as it was before the refresh.
enum class RefreshResult {
  Done,
  TraceCheckFailed,  // the traces failed their check in every read; they are shown
  Unanswered,        // a query or the trace transfer got no acceptable answer
  Stopped,           // stopRequested ended it
  LinkLost,          // the link reported its device gone
  NoTransport,       // serial selected and its port closed: nothing was asked
};

class TraceRefresh {
 public:
  TraceRefresh(Clock& clock, Notifier& notifier, RefreshSource& source, DisplayState& state)
      : clock_(clock), notifier_(notifier), source_(source), state_(state) {}

  RefreshHooks hooks;
  // True while a refresh runs; other handlers look at it.
  bool TraceBusy = false;

  // Reads the live traces and/or the settings. Traces read here get the low-reference
  // correction once. Errors end it with a message box; the settings read so far stay.
  // A refresh that was stopped, lost its link or got no acceptable answer writes
  // nothing into the display state, so a good picture is never replaced by zeros.
  RefreshResult GetTrace(bool readTraces, bool readSettings);
  // Texts panel 1 keeps after a refresh that did not end well.
  static constexpr const char* kTraceCheckFailedText =
      "The trace data failed its check; the traces shown may be wrong.";
  static std::string UnansweredText(const std::string& query);

  // Threshold below which the instrument sends counts relative to -50 dBm, in the
  // given unit; nullopt for an unknown unit.
  static std::optional<double> LowReferenceThreshold(const std::string& unit);
  // Adds the low-reference shift to every point of every valid live trace.
  static void ApplyLowReferenceCorrection(DisplayState& state);

 private:
  bool TransportUsable() const;
  // False once the transport's abort flag is set.
  bool Going() const;
  void ReadSettings(ConnectionKind kind, AnalyzerSettings& s);
  void Pause(double ms);

  Clock& clock_;
  Notifier& notifier_;
  RefreshSource& source_;
  DisplayState& state_;
};

}  // namespace vantrel

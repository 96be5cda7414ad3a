#pragma once
// The refresh: live traces and, on request, every displayed setting, read in a fixed
// order with fixed pauses and left in the display state. It paints nothing.
#include <functional>
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
  void GetTrace(bool readTraces, bool readSettings);

  // Threshold below which the instrument sends counts relative to -50 dBm, in the
  // given unit; nullopt for an unknown unit.
  static std::optional<double> LowReferenceThreshold(const std::string& unit);
  // Adds the low-reference shift to every point of every valid live trace.
  static void ApplyLowReferenceCorrection(DisplayState& state);

 private:
  bool TransportUsable() const;
  void ReadSettings(ConnectionKind kind);
  void Pause(double ms);

  Clock& clock_;
  Notifier& notifier_;
  RefreshSource& source_;
  DisplayState& state_;
};

}  // namespace vantrel

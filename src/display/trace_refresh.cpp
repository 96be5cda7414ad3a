#include "display/trace_refresh.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>

#include "util/datetime.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {

namespace {

constexpr int kMaxFrequencyPasses = 5;

}  // namespace

bool TraceRefresh::TransportUsable() const {
  const ConnectionKind kind = hooks.selectedKind ? hooks.selectedKind() : ConnectionKind::ComPort;
  if (kind != ConnectionKind::ComPort) return true;
  return hooks.serialOpen && hooks.serialOpen();
}

void TraceRefresh::Pause(double ms) {
  WaitMs(clock_, ms);
}

bool TraceRefresh::Going() const {
  return !(hooks.stopRequested && hooks.stopRequested());
}

std::string TraceRefresh::UnansweredText(const std::string& query) {
  return "The analyzer gave no acceptable answer to " + query +
         "; the values shown are from the last good refresh.";
}

RefreshResult TraceRefresh::GetTrace(bool readTraces, bool readSettings) {
  TraceBusy = true;
  if (hooks.ioMessageLog) hooks.ioMessageLog->clear();
  RefreshResult result = RefreshResult::NoTransport;
  std::string finalStatus;
  // Read into copies: the window keeps showing the last good refresh until this one
  // has proved good.
  std::array<RawTrace, 3> traces = state_.liveTraces;
  AnalyzerSettings next = state_.settings;
  const auto commit = [&] {
    state_.settings = next;
    if (readTraces) state_.liveTraces = traces;
  };
  try {
    if (TransportUsable()) {
      const ConnectionKind kind =
          hooks.selectedKind ? hooks.selectedKind() : ConnectionKind::ComPort;
      source_.TakeUnanswered();  // what earlier operations left is not this refresh's
      next.TimeStamp = FormatDateTime(clock_.LocalNow(), "yyyy/mm/dd hh:mm:ss");
      TraceReadResult traceResult = TraceReadResult::Good;
      if (readTraces) {
        notifier_.SetStatus("Getting trace data.");
        IoLogSink log;
        log.text = hooks.ioMessageLog;
        log.ioMessage = hooks.ioMessageBox && hooks.ioMessageBox();
        traceResult = source_.ReadAllTraces(traces, log);
      }
      if (readSettings && Going()) ReadSettings(kind, next);
      const std::string unanswered = source_.TakeUnanswered();

      if (hooks.linkLost && hooks.linkLost()) {
        result = RefreshResult::LinkLost;
      } else if (!Going() || traceResult == TraceReadResult::Stopped) {
        result = RefreshResult::Stopped;
      } else if (traceResult == TraceReadResult::NoData) {
        result = RefreshResult::Unanswered;
        finalStatus = UnansweredText("meas:tra:read all?");
      } else if (!unanswered.empty()) {
        result = RefreshResult::Unanswered;
        finalStatus = UnansweredText(unanswered);
      } else {
        result = traceResult == TraceReadResult::CheckFailed ? RefreshResult::TraceCheckFailed
                                                             : RefreshResult::Done;
        if (result == RefreshResult::TraceCheckFailed) finalStatus = kTraceCheckFailedText;
        commit();
        if (readSettings && hooks.refreshLimitLines) hooks.refreshLimitLines();
        // Only a fresh transfer is corrected: the traces kept from an earlier call are
        // already shifted, and shifting them again at every settings-only refresh would
        // lift them by the same amount each time.
        if (readTraces) ApplyLowReferenceCorrection(state_);
        if (hooks.recording && hooks.recording() && hooks.appendRecord) hooks.appendRecord();
      }
    }
  } catch (const std::exception& e) {
    const bool lost = hooks.linkLost && hooks.linkLost();
    if (!lost) commit();  // what was read before the error stays
    result = lost ? RefreshResult::LinkLost : RefreshResult::Unanswered;
    notifier_.ShowMessage(e.what(), MessageIcon::Critical);
  }
  notifier_.SetStatus("");
  if (!finalStatus.empty()) notifier_.SetStatus(finalStatus);
  TraceBusy = false;
  if (result == RefreshResult::LinkLost && hooks.onLinkLost) hooks.onLinkLost();
  return result;
}

void TraceRefresh::ReadSettings(ConnectionKind kind, AnalyzerSettings& s) {
  const bool serial = kind == ConnectionKind::ComPort;
  const double gap = serial ? 70 : 50;
  // Every step after the first is preceded by the link's pause; a step shows its text
  // in the status panel while its query runs. A stop ends the sequence after the
  // pause it arrived in.
  const auto step = [&](const char* status, auto&& query) {
    if (!Going()) return false;
    Pause(gap);
    if (!Going()) return false;
    if (status) notifier_.SetStatus(status);
    query();
    return true;
  };

  if (serial) Pause(100);
  if (!Going()) return;
  notifier_.SetStatus("Getting amplitude unit.");
  s.RefUnit = source_.Get_RefUnit();
  // Asked twice by design; this first answer is dropped.
  if (!step(nullptr, [&] { source_.Get_SweepTime_str(); })) return;
  if (!step("Getting amplitude scale.", [&] {
        const float scale = source_.Get_Scale();
        s.Scale = scale > 0 ? scale : 10.0f;
      }))
    return;

  for (int pass = 0; pass < kMaxFrequencyPasses; ++pass) {
    if (!step("Getting start freq.", [&] { s.FreqStart = source_.Get_FreqStart(); }) ||
        !step("Getting center freq.", [&] { s.FreqCenter = source_.Get_FreqCenter(); }) ||
        !step("Getting stop freq.", [&] { s.FreqStop = source_.Get_FreqStop(); }) ||
        !step("Getting span.", [&] { s.Span = source_.Get_SPAN(); })) {
      return;
    }
    if (CheckFreqCorrect(s.FreqStart, s.FreqCenter, s.FreqStop, s.Span)) break;
  }

  if (!step("Getting reference level.", [&] { s.RefLevel = source_.Get_RefLevel(); }) ||
      !step("Getting RBW mode.", [&] { s.RBWMode = source_.Get_RBWMode(); }) ||
      !step("Getting RBW.", [&] { s.RBW = source_.Get_RBW(); }) ||
      !step("Getting sweep time.", [&] { s.SweepTime = source_.Get_SweepTime_str(); }) ||
      !step("Getting VBW mode.", [&] { s.VBWMode = source_.Get_VBWMode(); }) ||
      !step("Getting VBW.", [&] { s.VBW = source_.Get_VBW(); })) {
    return;
  }
  if (!serial) Pause(50);
}

std::optional<double> TraceRefresh::LowReferenceThreshold(const std::string& unit) {
  const std::string u = ToUpper(Trim(unit));
  if (u == "DBM") return -50;
  if (u == "DBUV") return 57;
  if (u == "DBMV") return -3;
  return std::nullopt;
}

void TraceRefresh::ApplyLowReferenceCorrection(DisplayState& state) {
  const auto threshold = LowReferenceThreshold(state.settings.RefUnit);
  const double ref = state.settings.RefLevel;
  if (!threshold || !(ref < *threshold)) return;
  // A reference far below the threshold would overflow the 16-bit counts; they are
  // held at the 16-bit limits instead, which still draw at the top of the graph.
  const std::int64_t shift =
      std::min<std::int64_t>(RoundHalfEven((*threshold - ref) * 1023.0 / 80.0), 1 << 17);
  for (RawTrace& t : state.liveTraces) {
    if (!t.Valid()) continue;
    for (std::int16_t& p : t.Points()) {
      const std::int64_t v = std::clamp<std::int64_t>(p + shift, INT16_MIN, INT16_MAX);
      p = static_cast<std::int16_t>(v);
    }
  }
}

}  // namespace vantrel

#pragma once
// Stand-ins shared by the display tests: a notifier that keeps what it was told, and
// an analyzer that answers the refresh's queries from fixed values.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "commands/analyzer_settings.h"
#include "display/refresh_source.h"
#include "link/clock.h"
#include "util/notifier.h"

#include "support/recording_notifier.h"

namespace vantrel {

using testing::RecordingNotifier;

// 0..500 MHz over the 501 points (point n is n MHz; centre 250, span "500MHz"),
// reference 0 at 10 dB/div.
inline AnalyzerSettings PointIsMHzAxis() {
  AnalyzerSettings s;
  s.FreqStart = 0;
  s.FreqStop = 500;
  s.FreqCenter = 250;
  s.Span = "500MHz";
  s.RefLevel = 0;
  s.Scale = 10;
  return s;
}


// Answers with the fields below and notes each call with the clock's time.
class FakeRefreshSource : public RefreshSource {
 public:
  explicit FakeRefreshSource(Clock& clock) : clock_(clock) {}

  struct Call {
    std::string name;
    std::uint32_t atMs;
  };
  std::vector<Call> calls;
  std::function<void(const std::string&)> onCall;  // may throw

  std::string refUnit = "dBm";
  std::string sweep = "100 ms";
  float scale = 10;
  double start = 950, center = 1000, stop = 1050;
  std::string span = "100MHz";
  float refLevel = -20;
  std::string rbwMode = "AUTO", rbw = "100KHz", vbwMode = "AUTO", vbw = "1MHz";
  std::function<void(std::span<RawTrace>)> traces;
  TraceReadResult traceResult = TraceReadResult::Good;
  std::string unanswered;  // given once by TakeUnanswered

  std::string Get_RefUnit() override { return Note("RefUnit", refUnit); }
  std::string Get_SweepTime_str() override { return Note("SweepTime", sweep); }
  float Get_Scale() override { return Note("Scale", scale); }
  double Get_FreqStart() override { return Note("FreqStart", start); }
  double Get_FreqCenter() override { return Note("FreqCenter", center); }
  double Get_FreqStop() override { return Note("FreqStop", stop); }
  std::string Get_SPAN() override { return Note("Span", span); }
  float Get_RefLevel() override { return Note("RefLevel", refLevel); }
  std::string Get_RBWMode() override { return Note("RBWMode", rbwMode); }
  std::string Get_RBW() override { return Note("RBW", rbw); }
  std::string Get_VBWMode() override { return Note("VBWMode", vbwMode); }
  std::string Get_VBW() override { return Note("VBW", vbw); }
  TraceReadResult ReadAllTraces(std::span<RawTrace> t, const IoLogSink&) override {
    Note("Traces", 0);
    if (traces) traces(t);
    return traceResult;
  }
  std::string TakeUnanswered() override { return std::exchange(unanswered, std::string()); }

  int CountOf(const std::string& name) const {
    int n = 0;
    for (const auto& c : calls) n += c.name == name;
    return n;
  }

 private:
  template <typename T>
  T Note(const std::string& name, T value) {
    calls.push_back({name, clock_.NowMs()});
    if (onCall) onCall(name);
    return value;
  }
  Clock& clock_;
};

}  // namespace vantrel

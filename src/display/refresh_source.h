#pragma once
// What a refresh asks the analyzer for: the settings queries it runs, in its order,
// and the live-trace transfer. The window passes the command set; tests pass a stand-in.
#include <span>
#include <string>

#include "commands/analyzer_commands.h"
#include "commands/io_message_log.h"
#include "commands/live_traces.h"
#include "commands/raw_trace.h"

namespace vantrel {

class RefreshSource {
 public:
  virtual ~RefreshSource() = default;
  virtual std::string Get_RefUnit() = 0;
  virtual std::string Get_SweepTime_str() = 0;
  virtual float Get_Scale() = 0;
  virtual double Get_FreqStart() = 0;
  virtual double Get_FreqCenter() = 0;
  virtual double Get_FreqStop() = 0;
  virtual std::string Get_SPAN() = 0;
  virtual float Get_RefLevel() = 0;
  virtual std::string Get_RBWMode() = 0;
  virtual std::string Get_RBW() = 0;
  virtual std::string Get_VBWMode() = 0;
  virtual std::string Get_VBW() = 0;
  virtual TraceReadResult ReadAllTraces(std::span<RawTrace> traces, const IoLogSink& log) = 0;
  // The first query since the last call that got no acceptable answer ("" when every
  // one did), forgotten by the call.
  virtual std::string TakeUnanswered() { return {}; }
};

// The analyzer itself, through the command set on the window's transport.
class AnalyzerRefreshSource : public RefreshSource {
 public:
  explicit AnalyzerRefreshSource(AnalyzerCommands& commands) : commands_(commands) {}
  std::string Get_RefUnit() override { return commands_.Get_RefUnit(); }
  std::string Get_SweepTime_str() override { return commands_.Get_SweepTime_str(); }
  float Get_Scale() override { return commands_.Get_Scale(); }
  double Get_FreqStart() override { return commands_.Get_FreqStart(); }
  double Get_FreqCenter() override { return commands_.Get_FreqCenter(); }
  double Get_FreqStop() override { return commands_.Get_FreqStop(); }
  std::string Get_SPAN() override { return commands_.Get_SPAN(); }
  float Get_RefLevel() override { return commands_.Get_RefLevel(); }
  std::string Get_RBWMode() override { return commands_.Get_RBWMode(); }
  std::string Get_RBW() override { return commands_.Get_RBW(); }
  std::string Get_VBWMode() override { return commands_.Get_VBWMode(); }
  std::string Get_VBW() override { return commands_.Get_VBW(); }
  TraceReadResult ReadAllTraces(std::span<RawTrace> traces, const IoLogSink& log) override;
  std::string TakeUnanswered() override { return commands_.TakeUnanswered(); }

 private:
  AnalyzerCommands& commands_;
};

}  // namespace vantrel

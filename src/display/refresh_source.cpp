#include "display/refresh_source.h"

#include "commands/live_traces.h"

namespace vantrel {

TraceReadResult AnalyzerRefreshSource::ReadAllTraces(std::span<RawTrace> traces,
                                                    const IoLogSink& log) {
  return vantrel::ReadAllTraces(commands_.Transport(), traces, log);
}

}  // namespace vantrel

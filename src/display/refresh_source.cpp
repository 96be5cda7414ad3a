#include "display/refresh_source.h"

#include "commands/live_traces.h"

namespace vantrel {

void AnalyzerRefreshSource::ReadAllTraces(std::span<RawTrace> traces, const IoLogSink& log) {
  vantrel::ReadAllTraces(commands_.Transport(), traces, log);
}

}  // namespace vantrel

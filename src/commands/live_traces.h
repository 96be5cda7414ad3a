#pragma once
// Reading the analyzer's live traces: trace 1 alone, or all three in one block.
#include <cstdint>
#include <span>
#include <vector>

#include "commands/io_message_log.h"
#include "commands/raw_trace.h"
#include "link/command_transport.h"

namespace vantrel {

// Trace 1 into `points` (resized to 501), clamped to 0..1023. Up to ten reads while
// the trace sums to 0, with "Rereading trace data." in status panel 1 meanwhile.
// True when a non-zero trace arrived; false when it never did, when stopRequested
// was set, or when the link failed (the points then hold what was read, or zeros).
bool GetTraceRawData(CommandTransport& transport, std::vector<std::int16_t>& points);

// How a read of all three live traces ended.
enum class TraceReadResult {
  Good,         // a block whose check bytes passed
  CheckFailed,  // every read failed its check; the last decoded block stands
  NoData,       // no whole block came (or the link failed): every trace invalid
  Stopped,      // stopRequested ended it
};

// All three live traces into traces[0..2]: points as received, mode and valid flag
// from the header. Read again while the header's check bytes are wrong, 15 reads in
// all. Link errors end it quietly; with stopRequested it does nothing.
TraceReadResult ReadAllTraces(CommandTransport& transport, std::span<RawTrace> traces,
                   const IoLogSink& log = {});

}  // namespace vantrel

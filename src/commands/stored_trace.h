#pragma once
// Reading a trace from the analyzer's memory: "{v0,v1,...,v500}" as decimal text.
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "commands/raw_trace.h"
#include "link/command_transport.h"

namespace vantrel {

enum class StoredTraceParse {
  Filled,    // at least one point is not 0
  Empty,     // every point is 0
  Overflow,  // a value does not fit a point; points before it are kept
};

// Points from the text after the first "{": up to 501 comma-separated values, a
// value above 32767 standing for value - 65536, values above 1023 made 1023.
// Points without a value are 0.
StoredTraceParse ParseStoredTraceText(std::string_view answer,
                                      std::span<std::int16_t, kTracePoints> points);

// What the window does around the read; any of them may be empty.
struct StoredTraceHooks {
  std::function<void()> redrawEmptyGraph;      // after the answer came
  std::function<void()> drawStoredTraces;      // the trace read is not empty
  std::function<void()> recomputeMarkers;      // called in both outcomes
  std::function<void()> rememberForRecording;  // index text and label colour
};

// Asks for stored trace `indexText` (the window's index box) into `record`:
// sets its number word, fills its points, then draws or shows
// "Stored trace (" n ") is empty.". Nothing happens on a closed serial port. Over
// USB the answer is read from as many reports as it takes.
// Link errors and failures of the hooks end the read quietly.
void ReadStoredTrace(CommandTransport& transport, const std::string& indexText, RawTrace& record,
                     const StoredTraceHooks& hooks);

}  // namespace vantrel

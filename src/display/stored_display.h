#pragma once
// Fetching one of the analyzer's stored traces into its slot and showing it on the
// graph: the empty graph first, then every valid stored trace with its number.
#include <functional>
#include <string>

#include "display/display_state.h"
#include "link/command_transport.h"

namespace vantrel {

struct StoredDisplayHooks {
  std::function<void()> drawGrid;    // DrawGrid(Pic1)
  std::function<void()> drawStored;  // DrawStored(Pic1)
  std::function<void()> recomputeMarkers;
};

// Slot of an index text (1..100), 0 when the text names none.
int StoredSlotOf(const std::string& indexText);

// Reads stored trace `indexText` into its slot, which takes the swatch colour and is
// marked valid first; a trace read in full becomes the last one fetched (for the
// index box and the recording header); an empty or unreadable one is marked invalid
// again. An index outside 1..100 does nothing.
void FetchStoredTrace(CommandTransport& transport, const std::string& indexText,
                      DisplayState& state, const StoredDisplayHooks& hooks);

}  // namespace vantrel

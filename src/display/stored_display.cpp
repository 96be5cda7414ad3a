#include "display/stored_display.h"

#include <cmath>

#include "commands/stored_trace.h"
#include "util/numbers.h"

namespace vantrel {

int StoredSlotOf(const std::string& indexText) {
  const double value = NumericValue(indexText);
  if (!(value >= 1 && value <= kStoredTraceSlots)) return 0;
  return static_cast<int>(RoundHalfEven(value));
}

void FetchStoredTrace(CommandTransport& transport, const std::string& indexText,
                      DisplayState& state, const StoredDisplayHooks& hooks) {
  const int slot = StoredSlotOf(indexText);
  if (slot == 0) return;
  RawTrace& record = state.storedTraces[static_cast<std::size_t>(slot - 1)];
  record.SetColour(state.storedColor);
  record.SetValid(true);
  StoredTraceHooks h;
  h.redrawEmptyGraph = hooks.drawGrid;
  h.drawStoredTraces = hooks.drawStored;
  h.recomputeMarkers = hooks.recomputeMarkers;
  bool filled = false;
  h.rememberForRecording = [&] {
    filled = true;
    state.lastStoredIndexText = indexText;
  };
  ReadStoredTrace(transport, indexText, record, h);
  // An empty or unreadable slot would otherwise stay on the graph as a flat line at
  // the bottom at every later repaint.
  if (!filled) record.SetValid(false);
}

}  // namespace vantrel

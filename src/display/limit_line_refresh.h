#pragma once
// Fetching the analyzer's higher and lower limit lines for the graph. Nothing is drawn
// here; the lines appear at the next repaint.
#include <functional>

#include "commands/limit_line.h"
#include "display/display_state.h"
#include "link/clock.h"
#include "link/command_transport.h"
#include "util/notifier.h"

namespace vantrel {

struct LimitLines {
  LimitLine higher;  // HigherLimit, line 1
  LimitLine lower;   // LowerLimit, line 0
};

// Empties both lines, then fetches those checked in `state` (higherLimitChecked,
// lowerLimitChecked) and sets the loaded flags, with an "*IDN?" query between the two
// reads to keep the instrument's answers apart. A link failure ends it with a plain
// message box showing the failure's description; flags not reached stay as they were.
// `processEvents` (may be empty) runs first.
void RefreshLimitLines(CommandTransport& transport, Clock& clock, Notifier& notifier,
                       DisplayState& state, LimitLines& lines,
                       const std::function<void()>& processEvents = {});

}  // namespace vantrel

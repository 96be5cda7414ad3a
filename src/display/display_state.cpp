#include "display/display_state.h"

#include <algorithm>

namespace vantrel {

DisplayState::DisplayState() {
  for (std::size_t i = 0; i < liveTraces.size(); ++i) liveTraces[i].SetColour(kLiveTraceColors[i]);
}

bool DisplayState::AnyMarkerEnabled() const {
  return std::any_of(markerEnabled.begin(), markerEnabled.end(), [](bool b) { return b; });
}

void DisplayState::UpdateMarkerTrace() {
  for (const RawTrace& t : liveTraces) {
    if (t.Mode() == 0) std::copy(t.Points().begin(), t.Points().end(), markerTrace.begin());
  }
}

}  // namespace vantrel

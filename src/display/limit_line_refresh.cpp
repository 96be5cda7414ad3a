#include "display/limit_line_refresh.h"

#include <exception>

namespace vantrel {
namespace {

constexpr int kHigherLine = 1;
constexpr int kLowerLine = 0;
constexpr double kSpacerPauseMs = 50;
constexpr double kSpacerAnswerMs = 20;

}  // namespace

void RefreshLimitLines(CommandTransport& transport, Clock& clock, Notifier& notifier,
                       DisplayState& state, LimitLines& lines,
                       const std::function<void()>& processEvents) {
  try {
    if (processEvents) processEvents();
    lines.higher.clear();
    lines.lower.clear();
    if (state.higherLimitChecked) {
      ReadLimitLine(transport, kHigherLine, lines.higher);
      state.higherLimitLoaded = true;
    } else {
      state.higherLimitLoaded = false;
    }
    // The identity query between the two reads keeps a late answer of the first line
    // from being taken for the second.
    WaitMs(clock, kSpacerPauseMs);
    transport.SendQuery("*IDN?", kSpacerAnswerMs);
    WaitMs(clock, kSpacerPauseMs);
    if (state.lowerLimitChecked) {
      ReadLimitLine(transport, kLowerLine, lines.lower);
      state.lowerLimitLoaded = true;
    } else {
      state.lowerLimitLoaded = false;
    }
  } catch (const std::exception& error) {
    notifier.ShowMessage(error.what(), MessageIcon::None);
  }
}

}  // namespace vantrel

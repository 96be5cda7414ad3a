// Fetching the limit lines from the simulated analyzer over the in-process serial link.
#include "display/limit_line_refresh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "display_test_support.h"
#include "link/link_error.h"
#include "sim/serial_sim_link.h"

namespace vantrel {
namespace {

struct LimitRig : sim::SerialSimLink<RecordingNotifier> {
  DisplayState state;
  LimitLines lines;
  // Virtual time at which each command line reached the analyzer.
  std::vector<std::pair<std::string, std::uint32_t>> arrivals;

  LimitRig() {
    model.State().upperLimit = {{100, -30}, {900, -30}, {900, -40}, {2000, -40}};
    model.State().lowerLimit = {{100, -80}, {2000, -70}};
    clock.onEvents = [this] {
      while (arrivals.size() < serial.Received().size())
        arrivals.emplace_back(serial.Received()[arrivals.size()], clock.NowMs());
    };
  }

  void Refresh(std::function<void()> processEvents = {}) {
    RefreshLimitLines(transport, clock, notifier, state, lines, processEvents);
  }
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const auto& a : arrivals) out.push_back(a.first);
    return out;
  }
};

TEST(RefreshLimitLines, FetchesTheCheckedLinesAroundTheIdentitySpacer) {
  LimitRig rig;
  rig.state.higherLimitChecked = true;
  rig.state.lowerLimitChecked = true;
  rig.Refresh();

  const LimitLine higher = {{100, -30}, {900, -30}, {900, -40}, {2000, -40}};
  const LimitLine lower = {{100, -80}, {2000, -70}};
  EXPECT_EQ(rig.lines.higher, higher);
  EXPECT_EQ(rig.lines.lower, lower);
  EXPECT_TRUE(rig.state.higherLimitLoaded);
  EXPECT_TRUE(rig.state.lowerLimitLoaded);
  EXPECT_EQ(rig.Commands(),
            (std::vector<std::string>{"MEAS:LMTLINE 1?", "*IDN?", "MEAS:LMTLINE 0?"}));
  EXPECT_TRUE(rig.notifier.messages.empty());
}

TEST(RefreshLimitLines, UncheckedLinesAreEmptiedAndMarkedNotLoaded) {
  LimitRig rig;
  rig.lines.higher = {{1, 1}, {2, 2}};
  rig.lines.lower = {{1, 1}, {2, 2}};
  rig.state.higherLimitLoaded = true;
  rig.state.lowerLimitLoaded = true;
  rig.state.lowerLimitChecked = true;
  const std::uint32_t t0 = rig.clock.NowMs();
  rig.Refresh();
  EXPECT_TRUE(rig.lines.higher.empty());
  EXPECT_FALSE(rig.state.higherLimitLoaded);
  EXPECT_EQ(rig.lines.lower.size(), 2u);
  EXPECT_TRUE(rig.state.lowerLimitLoaded);
  ASSERT_EQ(rig.Commands(), (std::vector<std::string>{"*IDN?", "MEAS:LMTLINE 0?"}));
  // The spacer is sent only after the first pause, and the lower line after the second.
  EXPECT_GE(rig.arrivals[0].second - t0, 50u);
  EXPECT_GE(rig.arrivals[1].second - rig.arrivals[0].second, 50u + 20u);

  // Neither checked: both emptied, only the spacer goes out.
  LimitRig none;
  none.lines.lower = {{1, 1}, {2, 2}};
  none.state.lowerLimitLoaded = true;
  none.Refresh();
  EXPECT_TRUE(none.lines.higher.empty());
  EXPECT_TRUE(none.lines.lower.empty());
  EXPECT_FALSE(none.state.lowerLimitLoaded);
  EXPECT_EQ(none.Commands(), (std::vector<std::string>{"*IDN?"}));
}

TEST(RefreshLimitLines, FailuresAndBadAnswersNeverLeaveAHalfLine) {
  // A link failure while pending events run: a plain message with its description, and
  // the lines and flags stay as they were.
  LimitRig rig;
  rig.lines.higher = {{1, 1}, {2, 2}};
  rig.state.higherLimitChecked = true;
  rig.state.higherLimitLoaded = false;
  rig.Refresh([] { throw LinkError("Port is closed."); });
  ASSERT_EQ(rig.notifier.messages.size(), 1u);
  EXPECT_EQ(rig.notifier.messages[0].text, "Port is closed.");
  EXPECT_EQ(rig.notifier.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(rig.lines.higher.size(), 2u);
  EXPECT_FALSE(rig.state.higherLimitLoaded);
  EXPECT_TRUE(rig.Commands().empty());

  // Every answer short of its last field: the line is rejected, not half filled.
  LimitRig shortAnswers;
  shortAnswers.model.Faults().shortLimitLines = -1;
  shortAnswers.state.higherLimitChecked = true;
  shortAnswers.Refresh();
  EXPECT_TRUE(shortAnswers.lines.higher.empty());
  const auto sent = shortAnswers.Commands();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "MEAS:LMTLINE 1?"), 3);
}

}  // namespace
}  // namespace vantrel

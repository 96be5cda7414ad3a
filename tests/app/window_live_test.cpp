// Live in the analyzer window against the simulated analyzer, on the virtual clock: it
// paces like the recording, writes no file, and each way of stopping it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <functional>
#include <ostream>
#include <vector>

#include "app/setting_panel.h"
#include "app/sim_window_test.h"
#include "files/sp3_file.h"

namespace vantrel {
namespace {

class WindowLiveTest : public testing::SimWindowTest {
 public:
  // The stop causes below act on the rig.
  using SimWindowTest::Key;
  using SimWindowTest::model;
  using SimWindowTest::window;

  void SetUp() override {
    SimWindowTest::SetUp();
    window->findChild<QLineEdit*>(QStringLiteral("txtRecFolder"))->setText(QStringLiteral("/rec"));
    Key("btnOpenCOM")->trigger();
    ASSERT_TRUE(window->Identified());
  }
  // Presses `key` and returns the start times of the refreshes until its loop ended;
  // `onRefresh` runs as refresh number n (from 1) begins. A loop that would not end is
  // ended after 100 refreshes.
  std::vector<std::uint32_t> Run(const char* key,
                                 const std::function<void(std::size_t n)>& onRefresh) {
    std::vector<std::uint32_t> starts;
    std::size_t seen = notifier.statuses.size();
    clock.onEvents = [&] {
      for (; seen < notifier.statuses.size(); ++seen) {
        if (notifier.statuses[seen] != "Getting trace data.") continue;
        starts.push_back(clock.NowMs());
        onRefresh(starts.size());
        if (starts.size() == 100) window->Toolbar()[key].down = false;
      }
    };
    Key(key)->trigger();
    clock.onEvents = nullptr;
    return starts;
  }
  // Presses `key` again as refresh number `n` begins.
  std::vector<std::uint32_t> RunFor(const char* key, std::size_t n) {
    return Run(key, [this, key, n](std::size_t at) {
      if (at == n) Key(key)->trigger();
    });
  }
  static std::vector<std::uint32_t> FromFirst(std::vector<std::uint32_t> times) {
    for (std::size_t i = times.size(); i-- > 0;) times[i] -= times[0];
    return times;
  }
  void PressEscape() {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &escape);
  }
};

TEST_F(WindowLiveTest, PacesItsRefreshesAsTheRecordingDoesAndWritesNoFile) {
  const auto recorded = FromFirst(RunFor("btnGetTrace", 4));
  ASSERT_EQ(recorded.size(), 4u);
  store->files.clear();
  const auto live = FromFirst(RunFor("btnLive", 4));
  EXPECT_EQ(live, recorded);
  EXPECT_TRUE(store->files.empty());
}

TEST_F(WindowLiveTest, ATenthOfASecondSweepsAsFastAsTheLinkAllows) {
  window->Settings().SamplingRate = 0.1;
  const auto live = RunFor("btnLive", 5);
  ASSERT_EQ(live.size(), 5u);
  // The later refreshes take no settings: each starts as soon as the one before ended.
  const std::uint32_t sweep = live[4] - live[3];
  EXPECT_EQ(live[3] - live[2], sweep);
  EXPECT_LT(live[2] - live[1], 1000u);
}

struct StopCause {
  const char* name;
  std::function<void(WindowLiveTest&)> stop;  // done as Live's second refresh begins
  std::size_t liveRefreshes;
  bool recorded;  // a recording took the loop over
};

void PrintTo(const StopCause& cause, std::ostream* out) {
  *out << cause.name;
}

class WindowLiveStopTest : public WindowLiveTest,
                           public ::testing::WithParamInterface<StopCause> {};

TEST_P(WindowLiveStopTest, EndsLiveAtTheRefreshItCameIn) {
  const StopCause& cause = GetParam();
  std::size_t live = 0;
  std::size_t records = 0;
  Run("btnLive", [&](std::size_t n) {
    if (window->LiveRunning()) live = n;
    if (n == 2) cause.stop(*this);
    // A recording that took over ends after two records.
    if (!store->files.empty() && ++records == 2) Key("btnGetTrace")->trigger();
  });
  EXPECT_EQ(live, cause.liveRefreshes);
  EXPECT_FALSE(window->LiveRunning());
  EXPECT_FALSE(Key("btnLive")->isChecked());
  EXPECT_EQ(!store->files.empty(), cause.recorded);
}

const StopCause kStopCauses[] = {
    {"SecondPress", [](WindowLiveTest& t) { t.Key("btnLive")->trigger(); }, 2, false},
    {"Escape", [](WindowLiveTest& t) { t.PressEscape(); }, 2, false},
    {"Disconnect", [](WindowLiveTest& t) { t.Key("btnOpenCOM")->trigger(); }, 2, false},
    {"LinkLost", [](WindowLiveTest& t) { t.model->Faults().vanished = true; }, 2, false},
    {"EmiMode",
     [](WindowLiveTest& t) {
       t.window->Toolbar()["btnEMCMode"].down = true;
       t.window->ApplyMode();
     },
     2, false},
    {"Recording", [](WindowLiveTest& t) { t.Key("btnGetTrace")->trigger(); }, 2, true},
};

INSTANTIATE_TEST_SUITE_P(Causes, WindowLiveStopTest, ::testing::ValuesIn(kStopCauses),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel

// The acquisition loop on the virtual clock: its pacing, the time limit, the stop
// request, the file names and the peak file.
#include <gtest/gtest.h>

#include "files/player.h"
#include "files/recorder.h"
#include "files/sp3_file.h"
#include "link/virtual_clock.h"
#include "support/memory_record_store.h"
#include "support/recording_notifier.h"

namespace vantrel {
namespace {

using testing::MemoryRecordStore;

struct Rig {
  VirtualClock clock;
  MemoryRecordStore store;
  testing::RecordingNotifier notifier;
  DisplayState state;
  Recorder recorder{clock, store, notifier, state};
  bool down = true;
  bool stop = false;
  std::vector<std::uint32_t> samples;  // ms of each refresh
  std::vector<bool> withSettings;
  int limitReached = 0;

  Rig() {
    auto& h = recorder.hooks;
    h.buttonDown = [this] { return down; };
    h.refresh = [this](bool settings) {
      samples.push_back(clock.NowMs());
      withSettings.push_back(settings);
      state.settings.TimeStamp = FormatDateTime(clock.LocalNow(), "yyyy/mm/dd hh:mm:ss");
      recorder.AppendRecording();
    };
    h.stopRequested = [this] { return stop; };
    h.clearStopRequested = [this] { stop = false; };
    h.limitReached = [this] {
      ++limitReached;
      down = false;
    };
  }
  // Acquires until `samples` were taken (or the loop ends by itself).
  void Run(double rate, int limit, std::size_t releaseAfter = 1000) {
    clock.onEvents = [this, releaseAfter] {
      if (samples.size() >= releaseAfter) down = false;
    };
    recorder.Run([rate] { return rate; }, limit, "/rec", DateTime{2008, 3, 7, 14, 5, 9});
  }
};

TEST(Recorder, FirstSampleAtOnceSecondAfterTwoIntervalsThenOnePerInterval) {
  Rig rig;
  rig.Run(60, 0, 3);  // limit "None": only the release ends it
  EXPECT_EQ(rig.samples, (std::vector<std::uint32_t>{0, 120000, 180000}));
  EXPECT_EQ(rig.withSettings, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(rig.limitReached, 0);
}

TEST(Recorder, TimeLimitEndsAtTheFirstPassAfterItsTenthOfASecond) {
  Rig rig;
  rig.Run(1, 10);
  EXPECT_EQ(rig.samples, (std::vector<std::uint32_t>{0, 2000, 3000, 4000, 5000, 6000, 7000,
                                                      8000, 9000, 10000}));
  EXPECT_EQ(rig.limitReached, 1);
  EXPECT_GT(rig.clock.NowMs(), 10100u);
  EXPECT_LE(rig.clock.NowMs(), 10300u);
  EXPECT_EQ(CountSp3Records(rig.store, "/rec/20080307140509.sp3"), 10u);
}

TEST(Recorder, StopRequestAfterARefreshEndsTheLoopBeforeItIsCounted) {
  Rig rig;
  const auto refresh = rig.recorder.hooks.refresh;
  rig.recorder.hooks.refresh = [&](bool s) {
    refresh(s);
    if (rig.samples.size() == 3) rig.stop = true;  // a disconnect during the third refresh
  };
  rig.Run(1, 0);
  EXPECT_EQ(rig.samples.size(), 3u);
  EXPECT_EQ(rig.recorder.RecordCount(), 2);
}

TEST(Recorder, SameSecondRestartKeepsTheEarlierRecording) {
  Rig rig;
  rig.Run(1, 0, 3);
  const auto first = rig.store.files.at("/rec/20080307140509.sp3");
  rig.samples.clear();
  rig.down = true;
  rig.Run(1, 0, 1);
  EXPECT_EQ(rig.store.files.at("/rec/20080307140509.sp3"), first);
  EXPECT_EQ(rig.recorder.RecordFilePath(), "/rec/20080307140509-2.sp3");
  EXPECT_EQ(CountSp3Records(rig.store, rig.recorder.RecordFilePath()), 1u);
}

TEST(Recorder, PeakFileStartsWithItsHeaderAndRecordOnesPeaks) {
  Rig rig;
  rig.recorder.hooks.recordingPeak = [] { return true; };
  rig.recorder.hooks.peakSearch = [] {
    std::array<PeakMarker, 5> p{};
    p[0] = {150.5, -20.25};
    p[4] = {2999.75, -80};
    return p;
  };
  rig.Run(1, 0, 2);
  const std::string text = rig.store.Text("/rec/20080307140509.csv");
  const std::string header =
      "Date,Time,PK1_Freq,PK1_Level,PK2_Freq,PK2_Level,PK3_Freq,PK3_Level,PK4_Freq,"
      "PK4_Level,PK5_Freq,PK5_Level\r\n";
  ASSERT_EQ(text.substr(0, header.size()), header);
  std::string error;
  std::array<RawTrace, 3> traces{};
  AnalyzerSettings first;
  ApplySp3Record(*ReadSp3Record(rig.store, "/rec/20080307140509.sp3", 1, error), traces, first);
  EXPECT_EQ(text.substr(header.size(), text.find("\r\n", header.size()) + 2 - header.size()),
            "2026/01/02,03:04:05,150.5,-20.25,0,0,0,0,0,0,2999.75,-80\r\n");
  EXPECT_EQ(first.TimeStamp, "2026/01/02 03:04:05");
}

TEST(Recorder, AFailedWriteIsReportedOnceAndSamplingGoesOn) {
  Rig rig;
  rig.store.failWrites = true;
  rig.Run(1, 0, 4);
  EXPECT_EQ(rig.samples.size(), 4u);
  ASSERT_EQ(rig.notifier.statuses.size(), 1u);
  EXPECT_NE(rig.notifier.statuses[0].find("the disk is full"), std::string::npos);
}

struct PlayRig {
  VirtualClock clock;
  MemoryRecordStore store;
  bool down = true;
  std::vector<std::uint32_t> shownAt;
  PlayerHooks hooks;

  explicit PlayRig(int records) {
    std::string error;
    for (int k = 1; k <= records; ++k) {
      WriteSp3Record(store, "x.sp3", k, Sp3Record{}, error);
    }
    hooks.buttonDown = [this] { return down; };
    hooks.closing = [] { return false; };
    hooks.samplingRate = [] { return 2.0; };
    hooks.show = [this](const Sp3Record&) { shownAt.push_back(clock.NowMs()); };
  }
};

TEST(Player, ShowsRecordsAtTheSamplingRateAndStopsWhenReleased) {
  PlayRig all(3);
  EXPECT_TRUE(PlayRecording(all.clock, all.store, "x.sp3", all.hooks).ok);
  EXPECT_EQ(all.shownAt, (std::vector<std::uint32_t>{0, 2000, 4000}));

  PlayRig released(3);
  released.clock.onEvents = [&] {
    if (released.clock.NowMs() >= 1000) released.down = false;
  };
  PlayRecording(released.clock, released.store, "x.sp3", released.hooks);
  EXPECT_EQ(released.shownAt, (std::vector<std::uint32_t>{0}));
  EXPECT_LT(released.clock.NowMs(), 1100u);
}

TEST(Player, AMissingFilePlaysNothingAndIsNotCreated) {
  PlayRig rig(0);
  const PlayResult result = PlayRecording(rig.clock, rig.store, "gone.sp3", rig.hooks);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.shown, 0u);
  EXPECT_TRUE(rig.store.files.empty());
}

}  // namespace
}  // namespace vantrel

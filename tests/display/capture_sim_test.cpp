// A capture against the simulated analyzer over the in-process serial link: the
// drawn live trace must follow the simulated spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "commands/analyzer_commands.h"
#include "display/capture.h"
#include "display/recording_canvas.h"
#include "display/spectrum_graph.h"
#include "display/stored_display.h"
#include "display_test_support.h"
#include "sim/serial_sim_link.h"

namespace vantrel {
namespace {

struct SimRig : sim::SerialSimLink<RecordingNotifier> {
  AnalyzerCommands commands{transport};
  AnalyzerRefreshSource source{commands};
  DisplayState state;
  TraceRefresh refresh{clock, notifier, source, state};
  RecordingCanvas pic1;

  explicit SimRig(double toneHz, double toneDbm, double refDbm) {
    sim::SignalScene scene = sim::SignalScene::Quiet();
    scene.tones = {{toneHz, toneDbm}};
    model.Scene() = scene;
    model.State().startHz = 1'000'000'000;
    model.State().stopHz = 1'500'000'000;
    model.State().refLevelDbm = refDbm;
    model.State().live[1].present = false;
    model.State().live[2].present = false;
    refresh.hooks.selectedKind = [] { return ConnectionKind::ComPort; };
    refresh.hooks.serialOpen = [this] { return serial.IsOpen(); };
  }

  void Capture() {
    CaptureHooks hooks;
    hooks.drawGrid = [this] { DrawGrid(pic1, state); };
    ASSERT_TRUE(vantrel::Capture(refresh, state, notifier, hooks));
  }

  // The highest point of the drawn trace of live trace 0's colour.
  Primitive Peak() const {
    Primitive best;
    best.y2 = -1e9;
    for (const auto& p : pic1.OfKind(PrimitiveKind::LineTo))
      if (p.color == kLiveTraceColors[0] && p.y2 > best.y2) best = p;
    return best;
  }
};

TEST(CaptureAgainstSimulator, ToneShowsAsPeakAtItsFrequency) {
  SimRig rig(1'200'000'000, -30, -20);
  rig.Capture();
  const AnalyzerSettings& s = rig.state.settings;
  EXPECT_EQ(s.FreqStart, 1000);
  EXPECT_EQ(s.FreqStop, 1500);
  EXPECT_EQ(s.FreqCenter, 1250);
  EXPECT_EQ(s.Span, "500MHz");
  EXPECT_EQ(s.RefLevel, -20);
  EXPECT_EQ(s.RefUnit, "dBm");
  EXPECT_EQ(s.Scale, 10);
  EXPECT_TRUE(rig.notifier.messages.empty());
  EXPECT_TRUE(rig.state.liveTraces[0].Valid());
  EXPECT_FALSE(rig.state.liveTraces[1].Valid());

  const Primitive peak = rig.Peak();
  EXPECT_NEAR(peak.x2, FreqToX(1200, s.FreqStart, s.FreqStop), 1.0);  // x 200
  EXPECT_NEAR(peak.y2, LevelToY(-30, s.RefLevel, s.Scale), 15.0);
  EXPECT_EQ(rig.pic1.OfKind(PrimitiveKind::LineTo).size(), 501u);  // one trace present
  // Far from the tone the trace lies on the noise floor, well below the peak.
  const auto segs = rig.pic1.OfKind(PrimitiveKind::LineTo);
  EXPECT_LT(segs[450].y2, peak.y2 - 300);
  EXPECT_NE(rig.pic1.FindText("Start: 1GHz"), nullptr);
  EXPECT_NE(rig.pic1.FindText("Span: 500MHz"), nullptr);
}

TEST(CaptureAgainstSimulator, LowReferenceTraceLandsAtItsLevel) {
  // Below -50 dBm the instrument counts from -50 dBm; the refresh moves the counts
  // back, so the tone reads at its own level.
  SimRig rig(1'300'000'000, -65, -60);
  rig.Capture();
  const AnalyzerSettings& s = rig.state.settings;
  ASSERT_EQ(s.RefLevel, -60);
  const Primitive peak = rig.Peak();
  EXPECT_NEAR(peak.x2, 300, 1.0);
  const auto level = PointHeightTodBm(static_cast<std::int16_t>(s.RefLevel),
                                      static_cast<int>(peak.x2), rig.state.liveTraces[0].Points());
  EXPECT_NEAR(level, -65, 1.0);  // uncorrected it would read 10 dB low
}

TEST(StoredTraceFromSimulator, FetchedTraceIsDrawnWithItsNumber) {
  SimRig rig(1'200'000'000, -30, -20);
  rig.Capture();
  StoredDisplayHooks hooks;
  int grids = 0, markers = 0;
  hooks.drawGrid = [&] {
    ++grids;
    DrawGrid(rig.pic1, rig.state);
  };
  hooks.drawStored = [&] { DrawStored(rig.pic1, rig.state); };
  hooks.recomputeMarkers = [&] { ++markers; };
  rig.state.storedColor = MakeRgb(10, 20, 250);

  FetchStoredTrace(rig.transport, "2", rig.state, hooks);
  const RawTrace& slot2 = rig.state.storedTraces[1];
  EXPECT_TRUE(slot2.Valid());
  EXPECT_EQ(slot2.Mode(), 2);
  EXPECT_EQ(slot2.Colour(), MakeRgb(10, 20, 250));
  EXPECT_EQ(rig.state.lastStoredIndexText, "2");
  EXPECT_EQ(grids, 1);
  EXPECT_EQ(markers, 1);
  const Primitive* number = rig.pic1.FindText("2");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->x1, 505);
  EXPECT_EQ(number->color, MakeRgb(10, 20, 250));
  const auto segs = rig.pic1.OfKind(PrimitiveKind::LineTo);
  EXPECT_EQ(number->y1, segs.back().y2 + 15);

  // Slot 9 holds nothing: the message, and the last fetched index stays.
  FetchStoredTrace(rig.transport, "9", rig.state, hooks);
  ASSERT_FALSE(rig.notifier.messages.empty());
  EXPECT_EQ(rig.notifier.messages.back().text, "Stored trace (9) is empty.");
  EXPECT_EQ(rig.state.lastStoredIndexText, "2");
  EXPECT_FALSE(rig.state.storedTraces[8].Valid());
  EXPECT_TRUE(rig.state.storedTraces[1].Valid());

  const auto sent = rig.serial.Received().size();
  FetchStoredTrace(rig.transport, "101", rig.state, hooks);  // no such slot
  EXPECT_EQ(rig.serial.Received().size(), sent);
  EXPECT_EQ(StoredSlotOf("0"), 0);
  EXPECT_EQ(StoredSlotOf("100"), 100);
  EXPECT_EQ(StoredSlotOf("x"), 0);
}

}  // namespace
}  // namespace vantrel

#include "display/capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/recording_canvas.h"
#include "display/spectrum_graph.h"
#include "display_test_support.h"
#include "link/virtual_clock.h"

namespace vantrel {
namespace {

TEST(Capture, RefreshRepaintAndStoredTracesDropped) {
  VirtualClock clock;
  RecordingNotifier notifier;
  DisplayState state;
  FakeRefreshSource source(clock);
  source.traces = [](std::span<RawTrace> t) {
    for (auto& p : t[0].Points()) p = 700;
    t[0].SetValid(true);
  };
  TraceRefresh refresh(clock, notifier, source, state);
  ConnectionKind kind = ConnectionKind::ComPort;
  bool serialOpen = false;
  refresh.hooks.selectedKind = [&] { return kind; };
  refresh.hooks.serialOpen = [&] { return serialOpen; };
  state.storedTraces[41].SetValid(true);

  std::vector<std::string> steps;
  RecordingCanvas pic1;
  CaptureHooks hooks;
  hooks.toolbarWorking = [&] { steps.push_back("working"); };
  hooks.resetRecordCount = [&] { steps.push_back("count"); };
  hooks.clearStopAndBuffer = [&] { steps.push_back("clear"); };
  hooks.drawGrid = [&] {
    steps.push_back("draw");
    EXPECT_TRUE(state.storedTraces[41].Valid());
    DrawGrid(pic1, state);
  };
  hooks.copySettingsToControls = [&] { steps.push_back("copy"); };
  hooks.toolbarIdle = [&] { steps.push_back("idle"); };

  EXPECT_FALSE(Capture(refresh, state, notifier, hooks));  // serial port closed
  EXPECT_TRUE(steps.empty());
  EXPECT_TRUE(source.calls.empty());

  kind = ConnectionKind::Usb;
  EXPECT_TRUE(Capture(refresh, state, notifier, hooks));
  EXPECT_EQ(steps, (std::vector<std::string>{"working", "count", "clear", "draw", "copy", "idle"}));
  EXPECT_EQ(notifier.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_EQ(source.CountOf("Traces"), 1);
  EXPECT_EQ(source.CountOf("VBW"), 1);
  EXPECT_FALSE(state.storedTraces[41].Valid());
  EXPECT_NE(pic1.FindText("Span: 100MHz"), nullptr);
  EXPECT_EQ(pic1.OfKind(PrimitiveKind::LineTo).back().y2, 700);
}

TEST(StoredIndexBox, RangeMessageAndPutBack) {
  RecordingNotifier notifier;
  DisplayState state;
  state.lastStoredIndexText = "12";
  for (std::string ok : {"1", "100", " 42", "7abc"}) {
    EXPECT_TRUE(ValidateStoredIndex(ok, state, notifier)) << ok;
  }
  EXPECT_TRUE(notifier.messages.empty());
  for (std::string bad : {"0", "101", "", "abc", "-3", "1e9"}) {
    std::string text = bad;
    EXPECT_FALSE(ValidateStoredIndex(text, state, notifier)) << bad;
    EXPECT_EQ(text, "12");
  }
  ASSERT_EQ(notifier.messages.size(), 6u);
  EXPECT_EQ(notifier.messages[0].text,
            "Index range is from 1 to 100!\r\nPlease key in a correct number.");
}

TEST(StoredIndexBox, ColourSwatch) {
  DisplayState state;
  EXPECT_EQ(state.storedColor, MakeRgb(0, 0, 255));
  PickStoredColor(state, [] { return std::optional<Rgb>(); });  // cancelled
  EXPECT_EQ(state.storedColor, MakeRgb(0, 0, 255));
  PickStoredColor(state, [] { return std::optional<Rgb>(MakeRgb(10, 20, 30)); });
  EXPECT_EQ(state.storedColor, MakeRgb(10, 20, 30));
}

}  // namespace
}  // namespace vantrel

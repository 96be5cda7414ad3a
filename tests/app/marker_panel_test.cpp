// The "Marker Function" panel over a graph widget, drawn offscreen: typing, dragging
// and stepping markers, their sources, "All to Peaks" and the limit-line layers.
#include "app/marker_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "app/fake_links.h"
#include "app/marker_handles.h"
#include "display/graph_frame.h"
#include "display/recording_canvas.h"
#include "display/spectrum_graph.h"

namespace vantrel {
namespace {

constexpr std::int16_t kFloorCount = 300;

// 0..500 MHz over the 501 points (point n is n MHz), reference 0 dBm at 10 dB/div. The
// graph is 600 x 1750 pixels: one pixel per graph unit with markers shown.
struct PanelRig {
  testing::RecordingNotifier notifier;
  DisplayState state;
  QWidget pic1;
  RecordingCanvas canvas;
  int repaints = 0;
  std::unique_ptr<MarkerPanel> panel;

  PanelRig() {
    state.settings.FreqStart = 0;
    state.settings.FreqStop = 500;
    state.settings.FreqCenter = 250;
    state.settings.Span = "500MHz";
    state.settings.RefLevel = 0;
    state.settings.Scale = 10;
    // Live trace 0 is the one the markers read; the other two lie in other layers.
    state.liveTraces[0].SetValid(true);
    state.liveTraces[1].SetMode(1);
    state.liveTraces[2].SetMode(2);
    for (int n = 0; n < kTracePoints; ++n) SetCount(n, kFloorCount);
    pic1.resize(600, 1750);
    MarkerPanelHost host;
    host.state = &state;
    host.notifier = &notifier;
    host.repaint = [this] {
      ++repaints;
      canvas = RecordingCanvas();
      DrawGrid(canvas, state, panel->Layers());
    };
    panel = std::make_unique<MarkerPanel>(&pic1, host);
  }

  void SetCount(int n, int count) {
    state.liveTraces[0].Points()[n] = static_cast<std::int16_t>(count);
    state.markerTrace[n] = static_cast<std::int16_t>(count);
  }

  template <typename T>
  T* Get(const QString& name) {
    T* w = panel->findChild<T*>(name);
    if (!w) w = pic1.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QLineEdit* Text(int i) { return Get<QLineEdit>(QStringLiteral("txtMkr_%1").arg(i)); }
  QCheckBox* Enabled(int i) { return Get<QCheckBox>(QStringLiteral("chkMMkr_%1").arg(i)); }
  QComboBox* Delta(int i) { return Get<QComboBox>(QStringLiteral("cboMkrDelta_%1").arg(i)); }
  MarkerHandle* Handle(int i) { return Get<MarkerHandle>(QStringLiteral("picMKR_%1").arg(i)); }
  std::string TextOf(int i) { return Text(i)->text().toStdString(); }

  void Place(int i, const char* mhz) {
    Text(i)->setText(QString::fromLatin1(mhz));
    Enabled(i)->setChecked(true);
  }
  // The lower tip of a handle in graph units (x right, y up).
  QPointF Tip(int i) {
    const QRect g = Handle(i)->geometry();
    return {g.left() + g.width() / 2.0 - 60, 1200.0 - (g.top() + g.height())};
  }
  void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
  }
  void FocusOut(QWidget* w, Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent out(QEvent::FocusOut, reason);
    QApplication::sendEvent(w, &out);
  }
  void Mouse(QWidget* w, QEvent::Type type, QPointF local) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  // Drags handle i with the mouse and lets go at graph point (x, y).
  void Drag(int i, double x, double y) {
    MarkerHandle* h = Handle(i);
    const QPointF start(h->width() / 2.0, h->height() - 2);
    Mouse(h, QEvent::MouseButtonPress, start);
    const QPointF target = QPointF(x + 60, 1200 - y) - QPointF(h->pos());
    Mouse(h, QEvent::MouseMove, target);
    // The handle follows the pointer, so the release is relative to where it is now.
    Mouse(h, QEvent::MouseButtonRelease, QPointF(x + 60, 1200 - y) - QPointF(h->pos()));
  }
};

TEST(MarkerPanel, ControlsCarryTheirNamesAndStartValues) {
  PanelRig rig;
  EXPECT_EQ(rig.panel->objectName(), "fraMarker");
  EXPECT_EQ(rig.panel->title(), "Marker Function");
  for (int i = 0; i < kMarkers; ++i) {
    EXPECT_EQ(rig.TextOf(i), "0");
    EXPECT_FALSE(rig.Enabled(i)->isChecked());
    ASSERT_EQ(rig.Delta(i)->count(), 6);
    EXPECT_EQ(rig.Delta(i)->currentText(), "N");
    EXPECT_EQ(rig.Delta(i)->itemText(5), "4");
    EXPECT_FALSE(rig.Handle(i)->isVisibleTo(&rig.pic1));
  }
  EXPECT_EQ(rig.Get<QRadioButton>("optMkrLive")->text(), "Live");
  EXPECT_TRUE(rig.Get<QRadioButton>("optMkrLive")->isChecked());
  EXPECT_EQ(rig.Get<QRadioButton>("optStorage")->text(), "Storage");
  EXPECT_EQ(rig.Get<QPushButton>("cmdSAPeaks")->text(), "All to Peaks");
  EXPECT_EQ(rig.Get<QCheckBox>("chkHLimit")->text(), "Higher");
  EXPECT_EQ(rig.Get<QCheckBox>("chkLLimit")->text(), "Lower");
  EXPECT_EQ(rig.panel->SelectedMarker(), MarkerPanel::kNoMarker);

  int ok = 0;
  QObject::connect(rig.panel.get(), &MarkerPanel::okClicked, [&ok] { ++ok; });
  rig.Get<QPushButton>("cmdOK2")->click();
  EXPECT_EQ(ok, 1);
}

TEST(MarkerPanel, TypedMarkersAndDeltasReachTheTableAndTheHandles) {
  PanelRig rig;
  rig.SetCount(100, 1023);  // 0 dBm
  rig.Place(1, "100");
  rig.Place(2, "150");
  rig.Delta(2)->setCurrentIndex(2);  // "1"
  EXPECT_TRUE(rig.state.markerEnabled[1]);
  EXPECT_TRUE(rig.state.markerEnabled[2]);
  EXPECT_FALSE(rig.state.markerEnabled[0]);

  const MarkerTable& table = rig.panel->View().table;
  EXPECT_DOUBLE_EQ(table[7].frequency, -50);
  EXPECT_NEAR(table[7].level, (1023 - kFloorCount) * kDbPerCount, 1e-9);
  EXPECT_NE(rig.canvas.FindText("-50"), nullptr);
  ASSERT_TRUE(rig.Handle(1)->isVisibleTo(&rig.pic1));
  EXPECT_NEAR(rig.Tip(1).x(), 100, 1);
  EXPECT_NEAR(rig.Tip(1).y(), 1023, 1);
  EXPECT_NEAR(rig.Tip(2).x(), 150, 1);
  EXPECT_NEAR(rig.Tip(2).y(), LevelToY(table[2].level, 0, 10), 1);
  EXPECT_FALSE(rig.Handle(0)->isVisibleTo(&rig.pic1));

  // Disabling a marker hides its handle and empties its delta rows.
  rig.Enabled(1)->setChecked(false);
  EXPECT_FALSE(rig.Handle(1)->isVisibleTo(&rig.pic1));
  EXPECT_EQ(rig.canvas.FindText("-50"), nullptr);
}

TEST(MarkerPanel, DroppingAHandleMovesTheMarkerWithinTheTrace) {
  PanelRig rig;
  rig.Place(0, "100");
  rig.Place(1, "300");
  rig.panel->DropHandle(0, 499.7, 500);
  EXPECT_EQ(rig.TextOf(0), "498.000");
  EXPECT_EQ(rig.panel->SelectedMarker(), 0);
  EXPECT_EQ(rig.Handle(0)->PenColor(), MakeRgb(255, 0, 255));
  EXPECT_EQ(rig.Handle(1)->PenColor(), MakeRgb(255, 0, 0));
  EXPECT_NEAR(rig.Tip(0).x(), 498, 1);
  rig.panel->DropHandle(0, -20, 500);
  EXPECT_EQ(rig.TextOf(0), "0.000");

  // With the mouse: a drop on the graph moves the marker and selects it.
  rig.Drag(1, 250, 600);
  EXPECT_EQ(rig.TextOf(1), "250.000");
  EXPECT_EQ(rig.panel->SelectedMarker(), 1);
  EXPECT_EQ(rig.Handle(0)->PenColor(), MakeRgb(255, 0, 0));
  // Let go outside the graph: the marker stays.
  rig.Drag(1, 700, 600);
  EXPECT_EQ(rig.TextOf(1), "250.000");
  EXPECT_NEAR(rig.Tip(1).x(), 250, 1);
  // A drop onto another handle only selects the dragged marker.
  rig.Place(2, "400");
  const QPointF onTwo = rig.Tip(2) + QPointF(0, 8);
  rig.Drag(0, onTwo.x(), onTwo.y());
  EXPECT_EQ(rig.TextOf(0), "0.000");
  EXPECT_EQ(rig.panel->SelectedMarker(), 0);
  EXPECT_NEAR(rig.Tip(0).x(), 0, 1);  // back where the marker is
  // Pressing and letting go without moving selects too.
  MarkerHandle* two = rig.Handle(2);
  rig.Mouse(two, QEvent::MouseButtonPress, QPointF(5, 5));
  rig.Mouse(two, QEvent::MouseButtonRelease, QPointF(5, 5));
  EXPECT_EQ(rig.TextOf(2), "400");
  EXPECT_EQ(rig.panel->SelectedMarker(), 2);

  // The graph losing the focus clears the selection; so does disabling the marker.
  rig.FocusOut(&rig.pic1);
  EXPECT_EQ(rig.panel->SelectedMarker(), MarkerPanel::kNoMarker);
  EXPECT_EQ(rig.Handle(2)->PenColor(), MakeRgb(255, 0, 0));
  rig.panel->SetSelectedMarker(2);
  rig.Enabled(2)->setChecked(false);
  EXPECT_EQ(rig.panel->SelectedMarker(), MarkerPanel::kNoMarker);
}

TEST(MarkerPanel, ArrowKeysStepOnePointAndStopAtTheEnds) {
  PanelRig rig;
  rig.Place(0, "0");
  rig.Key(rig.Text(0), Qt::Key_Up);
  EXPECT_EQ(rig.TextOf(0), "0");
  rig.Key(rig.Text(0), Qt::Key_Down);
  EXPECT_EQ(rig.TextOf(0), "1.000");
  rig.Key(rig.Text(0), Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(rig.TextOf(0), "1.000");

  rig.Place(3, "500");
  rig.Key(rig.Text(3), Qt::Key_Down);
  EXPECT_EQ(rig.TextOf(3), "500");
  rig.Key(rig.Text(3), Qt::Key_Up);
  EXPECT_EQ(rig.TextOf(3), "499.000");

  // The window's arrow keys step the selected marker.
  EXPECT_FALSE(rig.panel->StepSelectedMarker(+1));
  rig.panel->SetSelectedMarker(3);
  EXPECT_TRUE(rig.panel->StepSelectedMarker(+1));
  EXPECT_EQ(rig.TextOf(3), "500.000");
  EXPECT_FALSE(rig.panel->StepSelectedMarker(+1));
}

TEST(MarkerPanel, TypedFrequenciesOutsideTheRangeAreCorrected) {
  PanelRig rig;
  rig.Text(2)->setText("3500");
  rig.FocusOut(rig.Text(2));
  ASSERT_EQ(rig.notifier.messages.size(), 1u);
  EXPECT_EQ(rig.notifier.messages[0].text,
            "Freq. range is from 0 to 3000MHz!\r\nPlease key in a correct number.");
  EXPECT_EQ(rig.TextOf(2), "3000");

  rig.Text(2)->setText("-4");
  rig.FocusOut(rig.Text(2));
  EXPECT_EQ(rig.TextOf(2), "0");

  rig.Text(2)->setText("12abc");
  rig.FocusOut(rig.Text(2));
  ASSERT_EQ(rig.notifier.messages.size(), 3u);
  EXPECT_EQ(rig.notifier.messages[2].text, "Please key in a numeric!");
  EXPECT_EQ(rig.TextOf(2), "12abc");

  // Switching to another window is no validation; the text waits for the next one.
  rig.Text(2)->setText("-7");
  rig.FocusOut(rig.Text(2), Qt::ActiveWindowFocusReason);
  EXPECT_EQ(rig.TextOf(2), "-7");
  EXPECT_EQ(rig.notifier.messages.size(), 3u);

  rig.Text(2)->setText("2999.5");
  rig.FocusOut(rig.Text(2));
  EXPECT_EQ(rig.notifier.messages.size(), 3u);
}

TEST(MarkerPanel, StorageSourceHidesHandlesButFillsTheTable) {
  PanelRig rig;
  rig.Place(0, "200");
  ASSERT_TRUE(rig.Handle(0)->isVisibleTo(&rig.pic1));
  rig.Get<QRadioButton>("optStorage")->setChecked(true);
  EXPECT_FALSE(rig.state.markerSourceLive);
  EXPECT_FALSE(rig.Handle(0)->isVisibleTo(&rig.pic1));

  // The stored-trace display computes the markers on its own trace.
  std::array<std::int16_t, kTracePoints> stored{};
  stored.fill(1023);
  RecordingCanvas storedCanvas;
  storedCanvas.SetScale(GraphScale(true));
  rig.panel->Calculate(&storedCanvas, stored);
  EXPECT_DOUBLE_EQ(rig.panel->View().table[0].level, 0);
  EXPECT_NE(storedCanvas.FindText("0.0"), nullptr);
  EXPECT_FALSE(rig.Handle(0)->isVisibleTo(&rig.pic1));

  // The stored trace the index box names, once it is valid.
  RawTrace& slot7 = rig.state.storedTraces[6];
  for (auto& c : slot7.Points()) c = 1023 - 128;  // -10 dBm
  RecordingCanvas named;
  named.SetScale(GraphScale(true));
  rig.panel->CalculateStorage(named, "7");
  EXPECT_TRUE(named.Texts().empty());
  slot7.SetValid(true);
  rig.panel->CalculateStorage(named, "7");
  EXPECT_NEAR(rig.panel->View().table[0].level, -128 * kDbPerCount, 1e-9);
  EXPECT_NE(named.FindText("-10.0"), nullptr);
  EXPECT_FALSE(rig.Handle(0)->isVisibleTo(&rig.pic1));
  RecordingCanvas unnamed;
  rig.panel->CalculateStorage(unnamed, "0");
  EXPECT_TRUE(unnamed.Texts().empty());

  rig.Get<QRadioButton>("optMkrLive")->setChecked(true);
  EXPECT_TRUE(rig.Handle(0)->isVisibleTo(&rig.pic1));
  // In "Live" mode the stored trace does not overwrite the table.
  RecordingCanvas live;
  rig.panel->CalculateStorage(live, "7");
  EXPECT_TRUE(live.Texts().empty());
}

TEST(MarkerPanel, AllToPeaksPutsMarkersOnTheStrongestPeaksOnly) {
  PanelRig rig;
  rig.Text(3)->setText("777");
  rig.Enabled(3)->setChecked(true);
  rig.Text(1)->setText("12");

  // Flat trace: nothing changes.
  rig.Get<QPushButton>("cmdSAPeaks")->click();
  EXPECT_FALSE(rig.Enabled(0)->isChecked());
  EXPECT_EQ(rig.TextOf(0), "0");

  // One tone 20 dB above the floor at point 200.
  rig.SetCount(200, kFloorCount + 256);
  rig.Get<QPushButton>("cmdSAPeaks")->click();
  EXPECT_EQ(rig.TextOf(0), "200");
  EXPECT_TRUE(rig.Enabled(0)->isChecked());
  EXPECT_EQ(rig.TextOf(1), "12");
  EXPECT_FALSE(rig.Enabled(1)->isChecked());
  EXPECT_EQ(rig.TextOf(3), "777");
  EXPECT_TRUE(rig.Enabled(3)->isChecked());
  EXPECT_FALSE(rig.Enabled(2)->isChecked());
  EXPECT_FALSE(rig.Enabled(4)->isChecked());

  // Two tones: the stronger one goes to marker 0.
  rig.SetCount(320, kFloorCount + 400);
  rig.Get<QPushButton>("cmdSAPeaks")->click();
  EXPECT_EQ(rig.TextOf(0), "320");
  EXPECT_EQ(rig.TextOf(1), "200");
  EXPECT_TRUE(rig.Enabled(1)->isChecked());
  EXPECT_EQ(rig.TextOf(3), "777");
}

TEST(MarkerPanel, CheckedAndLoadedLimitLinesAreDrawnInTheirColours) {
  PanelRig rig;
  rig.panel->Limits().higher = {{100, -20}, {400, -20}};
  rig.panel->Limits().lower = {{0, -70}, {500, -70}};
  rig.state.higherLimitLoaded = true;
  rig.state.lowerLimitLoaded = true;
  const auto linesIn = [&rig](Rgb colour) {
    int n = 0;
    for (const auto& p : rig.canvas.OfKind(PrimitiveKind::Line)) n += p.color == colour;
    return n;
  };
  rig.Get<QCheckBox>("chkHLimit")->setChecked(true);
  EXPECT_TRUE(rig.state.higherLimitChecked);
  EXPECT_EQ(linesIn(kHigherLimitColor), 1);
  EXPECT_EQ(linesIn(kLowerLimitColor), 0);
  rig.Get<QCheckBox>("chkLLimit")->setChecked(true);
  EXPECT_EQ(linesIn(kLowerLimitColor), 1);
  rig.Get<QCheckBox>("chkHLimit")->setChecked(false);
  EXPECT_EQ(linesIn(kHigherLimitColor), 0);

  // Without a link the refresh leaves the lines alone.
  rig.panel->RefreshLimits();
  EXPECT_EQ(rig.panel->Limits().higher.size(), 2u);
}

}  // namespace
}  // namespace vantrel

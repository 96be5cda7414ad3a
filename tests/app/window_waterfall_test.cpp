// The waterfall under the graph against the simulated analyzer on the virtual clock:
// what fills it, where it lies, and picking a played-back sweep.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>

#include "app/graph_picture.h"
#include "app/sim_window_test.h"
#include "app/waterfall_picture.h"
#include "app/waterfall_splitter.h"
#include "display/graph_mapping.h"
#include "files/sp3_file.h"

namespace vantrel {
namespace {

class WindowWaterfallTest : public testing::SimWindowTest {
 protected:
  void SetUp() override {
    SimWindowTest::SetUp();
    window->findChild<QLineEdit*>(QStringLiteral("txtRecFolder"))->setText(QStringLiteral("/rec"));
    Key("btnOpenCOM")->trigger();
    ASSERT_TRUE(window->Identified());
  }
  // Presses `key` and presses it again once `sweeps` rows were added.
  void RunUntil(const char* key, std::size_t sweeps) {
    clock.onEvents = [this, key, sweeps] {
      if (window->History().Size() >= sweeps && Key(key)->isChecked()) Key(key)->trigger();
    };
    Key(key)->trigger();
    clock.onEvents = nullptr;
  }
};

TEST_F(WindowWaterfallTest, LiesUnderTheGraphWithTheSameXWhenChosen) {
  QWidget& graph = window->Graph();
  const QRect full = graph.geometry();
  auto* check = Find<QCheckBox>("chkWaterfall");
  check->setChecked(true);
  WaterfallPicture* waterfall = Find<WaterfallPicture>("picWaterfall");
  ASSERT_FALSE(waterfall->isHidden());
  EXPECT_EQ(waterfall->geometry().left(), graph.geometry().left());
  EXPECT_EQ(waterfall->width(), graph.width());
  // The bar between them.
  EXPECT_EQ(waterfall->geometry().top(),
            graph.geometry().bottom() + 1 + WaterfallSplitter::kThickness);
  EXPECT_EQ(waterfall->geometry().bottom(), full.bottom());

  check->setChecked(false);
  EXPECT_TRUE(waterfall->isHidden());
  EXPECT_EQ(graph.geometry(), full);
}

TEST_F(WindowWaterfallTest, DraggingTheBarUpGivesTheWaterfallThatMuchMoreRoom) {
  Find<QCheckBox>("chkWaterfall")->setChecked(true);
  auto* bar = Find<WaterfallSplitter>("splWaterfall");
  QWidget& waterfall = *Find<WaterfallPicture>("picWaterfall");
  const int before = waterfall.height();
  const QPointF at(10, 2);
  QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &press);
  const QPointF up(10, -38);
  QMouseEvent move(QEvent::MouseMove, up, bar->mapToGlobal(up), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  EXPECT_EQ(waterfall.height(), before + 40);
}

TEST_F(WindowWaterfallTest, LiveAndRecordingAddTraceOneOfEachGoodRefresh) {
  RunUntil("btnLive", 3);
  ASSERT_EQ(window->History().Size(), 3u);
  EXPECT_EQ(window->History().Row(0).levels[100],
            static_cast<float>(CountToLevel(window->Display().settings.RefLevel,
                                            window->Display().liveTraces[0].Points()[100],
                                            window->Display().dbPerCount)));
  RunUntil("btnGetTrace", 5);
  EXPECT_EQ(window->History().Size(), 5u);
}

TEST_F(WindowWaterfallTest, ClickingAPlayedBackRowShowsThatRecord) {
  RunUntil("btnGetTrace", 3);
  const std::string path = store->files.begin()->first;
  window->chooseRecording = [&] { return QString::fromStdString(path); };
  Key("btnDrawPCStored")->trigger();
  ASSERT_EQ(window->History().Size(), 3u);  // the recording's own rows only
  ASSERT_EQ(window->History().Row(2).record, 1u);

  std::string error;
  Find<QCheckBox>("chkWaterfall")->setChecked(true);
  Find<QComboBox>("cboWaterfallRows")->setEditText(QStringLiteral("10"));
  ASSERT_EQ(window->History().Capacity(), 10u);
  WaterfallPicture& waterfall = window->Waterfall();
  const int oldestRowY = static_cast<int>(2.5 * waterfall.height() / 10.0);
  ASSERT_EQ(waterfall.RowAt(oldestRowY), std::optional<std::size_t>(2));
  ASSERT_NE(window->Display().liveTraces, ReadSp3Record(*store, path, 1, error)->traces);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, oldestRowY),
                    waterfall.mapToGlobal(QPointF(200, oldestRowY)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&waterfall, &press);
  const Sp3Record first = *ReadSp3Record(*store, path, 1, error);
  ASSERT_NE(first.traces, ReadSp3Record(*store, path, 3, error)->traces);  // told apart
  EXPECT_EQ(window->Display().liveTraces, first.traces);
}

}  // namespace
}  // namespace vantrel

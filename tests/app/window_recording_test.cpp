// "Recording" and "Play back from PC" in the analyzer window against the simulated
// analyzer, on the virtual clock, into recording files kept in memory.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QMouseEvent>

#include "app/analyzer_window.h"
#include "app/graph_picture.h"
#include "app/sim_window_test.h"
#include "files/sp3_file.h"

namespace vantrel {
namespace {


class WindowRecordingTest : public testing::SimWindowTest {
 protected:
  void SetUp() override {
    SimWindowTest::SetUp();
    window->findChild<QLineEdit*>(QStringLiteral("txtRecFolder"))->setText(QStringLiteral("/rec"));
  }
  std::string RecordingPath() const {
    return store->files.empty() ? std::string() : store->files.begin()->first;
  }
  std::uint64_t Records() { return CountSp3Records(*store, RecordingPath()); }
  // Presses "Recording" and presses `key` once `records` were written.
  void RecordUntil(std::uint64_t records, const char* key) {
    clock.onEvents = [this, records, key] {
      if (!store->files.empty() && Records() >= records && Key(key)->isChecked()) {
        Key(key)->trigger();
      }
    };
    Key("btnGetTrace")->trigger();
    clock.onEvents = nullptr;
  }
};

TEST_F(WindowRecordingTest, RecordsEveryRefreshUntilReleasedThenPlaysItBackAsRecorded) {
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  RecordUntil(3, "btnGetTrace");
  EXPECT_EQ(Records(), 3u);
  EXPECT_EQ(Key("btnGetTrace")->toolTip(), QStringLiteral("Recording"));
  EXPECT_TRUE(Key("btnCapture")->isEnabled());
  std::string error;
  const Sp3Record last = *ReadSp3Record(*store, RecordingPath(), 3, error);
  EXPECT_EQ(last.traces, window->Display().liveTraces);

  // Played back over a cleared graph: the last record fills the state the refresh fills.
  Key("btnClear")->trigger();
  window->chooseRecording = [this] { return QString::fromStdString(RecordingPath()); };
  const std::uint32_t start = clock.NowMs();
  Key("btnDrawPCStored")->trigger();
  EXPECT_EQ(window->Display().liveTraces, last.traces);
  EXPECT_EQ(window->Display().settings.Span, last.span);
  EXPECT_GE(clock.NowMs() - start, 2000u);  // three records one second apart
  EXPECT_FALSE(Key("btnDrawPCStored")->isChecked());
  EXPECT_EQ(store->files.size(), 1u);
}

TEST_F(WindowRecordingTest, DisconnectEndsTheRecordingWithTheRecordsSoFar) {
  Key("btnOpenCOM")->trigger();
  RecordUntil(2, "btnOpenCOM");
  EXPECT_FALSE(Key("btnGetTrace")->isChecked());
  EXPECT_EQ(Records(), 2u);
}

TEST_F(WindowRecordingTest, PlaybackRefusesOtherFilesAndLeavesEmiModeFirst) {
  window->chooseRecording = [] { return QStringLiteral("/rec/x.sp"); };
  Key("btnDrawPCStored")->trigger();
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text, "Unknew File Type!");
  EXPECT_EQ(notifier.messages[0].icon, MessageIcon::Warning);
  EXPECT_FALSE(Key("btnDrawPCStored")->isChecked());

  Key("btnEMCMode")->trigger();
  ASSERT_TRUE(window->EmiMode());
  // The toolbar keeps the button off in EMI mode; a playback started there anyway
  // switches to the spectrum-analyzer display first.
  window->chooseRecording = [] { return QStringLiteral("/rec/missing.SP3"); };
  window->Toolbar()["btnDrawPCStored"].down = true;
  window->DispatchToolbar(QStringLiteral("btnDrawPCStored"));
  EXPECT_FALSE(window->EmiMode());
  EXPECT_TRUE(store->files.empty());  // playing never creates a file
}

// Pixels of this colour in the graph as it shows now.
int ColourPixels(QWidget& graph, QRgb colour) {
  const QImage image = graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
  }
  return n;
}

TEST_F(WindowRecordingTest, AWaveTextFileIsDrawnOnceOnTheEmiGraphInTheChosenColour) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("wave.txt"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Point,Freq.(MHz),Level,ADValue\r\n");
  for (int i = 0; i <= 500; ++i) file.write(QByteArray::number(i) + ",1,40.5,600\r\n");
  file.write("12,150.5,40.2,800\r\n7,1\r\n8,1,2,3\r\n");
  file.close();

  Key("btnEMCMode")->trigger();
  Key("btnSetting")->trigger();  // the EMI setting panel holds the file controls
  window->chooseWaveColor = [](Rgb) { return std::optional<Rgb>(MakeRgb(255, 0, 255)); };
  QLabel* swatch = window->findChild<QLabel*>(QStringLiteral("lblColor"));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), swatch->mapToGlobal(QPointF(2, 2)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(swatch, &press);
  window->chooseWaveFile = [path] { return path; };
  EXPECT_EQ(ColourPixels(window->Graph(), 0xFF00FF), 0);  // laid out and drawn once before
  window->findChild<QPushButton*>(QStringLiteral("cmdOpenStorage"))->click();

  EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("txtOFileName"))->text(), path);
  EXPECT_EQ(window->StoredEmiTrace()[12].raw, 800);
  EXPECT_EQ(window->StoredEmiTrace()[8].raw, 600);  // reading ended at the bad line
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text.rfind("Error Number: 9\r\nLine 504", 0), 0u)
      << notifier.messages[0].text;
  EXPECT_GT(ColourPixels(window->Graph(), 0xFF00FF), 100);
  window->DrawGrid();  // the next repaint leaves it out
  EXPECT_EQ(ColourPixels(window->Graph(), 0xFF00FF), 0);
}

}  // namespace
}  // namespace vantrel

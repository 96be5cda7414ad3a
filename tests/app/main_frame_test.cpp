#include "app/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QImage>
#include <QPixmap>
#include <cmath>

#include "app/analyzer_window.h"
#include "app/debug_window.h"
#include "app/fake_links.h"
#include "app/process_globals.h"
#include "link/virtual_clock.h"

namespace vantrel {
namespace {

using testing::FakeGpib;
using testing::NoHidDevices;
using testing::RecordingNotifier;
using testing::ScriptedSerialPort;

class MainFrameTest : public ::testing::Test {
 protected:
  static AnalyzerLinks FakeLinks(Clock& clock, Notifier& notifier) {
    return AnalyzerLinks{clock, notifier, std::make_unique<ScriptedSerialPort>(),
                         std::make_unique<FakeGpib>(false), std::make_unique<NoHidDevices>()};
  }

  // Closed sub-windows are deleted by the event loop; run it for deferred deletes.
  static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  QStringList OpenWindows() const {
    QStringList names;
    for (QMdiSubWindow* sub : frame.Area()->subWindowList()) {
      names << sub->widget()->objectName();
    }
    names.sort();
    return names;
  }

  QStringList CheckedModes() const {
    QStringList names;
    for (const char* name : {"mnuSAV61", "mnuSAMode", "mnuEMIMode"}) {
      auto* item = frame.findChild<QAction*>(QString::fromLatin1(name));
      if (item != nullptr && item->isChecked()) names << item->objectName();
    }
    return names;
  }

  VirtualClock clock;
  RecordingNotifier notifier;
  MainFrame frame{FakeLinks, &clock, &notifier};
};

TEST_F(MainFrameTest, MenusCaptionsAndLoadState) {
  struct Item {
    const char* menu;
    const char* menuCaption;
    std::vector<std::pair<const char*, const char*>> items;
  };
  const std::vector<Item> expected = {
      {"mnuFile", "&File", {{"mnuQuit", "&Quit"}}},
      {"mnuMode",
       "&Mode",
       {{"mnuSAV61", "3GHz SA"}, {"mnuSAMode", "2.7GHz SA"}, {"mnuEMIMode", "2.7GHz SA for EMI"}}},
      {"mnuTools", "&Tools", {{"mnuSP3ToText", "SP3->Text"}}},
      {"mnuHelp", "&Help", {{"mnuUserGuide", "User Guide"}, {"mnuAbout", "&About"}}},
  };
  const QList<QAction*> top = frame.menuBar()->actions();
  ASSERT_EQ(top.size(), static_cast<qsizetype>(expected.size()));
  for (std::size_t i = 0; i < expected.size(); ++i) {
    QMenu* menu = top[static_cast<qsizetype>(i)]->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), expected[i].menu);
    EXPECT_EQ(menu->title(), expected[i].menuCaption);
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[i].items.size()));
    for (std::size_t j = 0; j < expected[i].items.size(); ++j) {
      EXPECT_EQ(items[static_cast<qsizetype>(j)]->objectName(), expected[i].items[j].first);
      EXPECT_EQ(items[static_cast<qsizetype>(j)]->text(), expected[i].items[j].second);
    }
  }

  EXPECT_EQ(MainFrameCaption(3, 6, 4), "Vantrel (Ver.3.6.4)");
  EXPECT_EQ(frame.windowTitle(),
            MainFrameCaption(VANTREL_VERSION_MAJOR, VANTREL_VERSION_MINOR, VANTREL_VERSION_PATCH));
  EXPECT_TRUE(frame.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(frame.statusBar()->objectName(), "StatusBar1");
  EXPECT_EQ(ComPortNumber, 1);
  EXPECT_EQ(OpenWindows(), QStringList{"frmSAV61"});
  EXPECT_EQ(CheckedModes(), QStringList{"mnuSAV61"});
  EXPECT_EQ(frame.Area()->subWindowList().first()->pos(), QPoint(0, 0));
}

TEST_F(MainFrameTest, ModeSwitchingKeepsExactlyTheModesWindows) {
  frame.findChild<QAction*>("mnuEMIMode")->trigger();
  Settle();
  EXPECT_EQ(OpenWindows(), (QStringList{"frmControl", "frmEScr"}));
  EXPECT_EQ(CheckedModes(), QStringList{"mnuEMIMode"});
  EXPECT_EQ(frame.Analyzer(), nullptr);
  for (QMdiSubWindow* sub : frame.Area()->subWindowList()) {
    if (sub->widget()->objectName() == "frmEScr") {
      EXPECT_EQ(sub->widget()->windowTitle(), "2.7GHz SA For EMC Mode Display");
      EXPECT_EQ(sub->pos(), QPoint(0, 0));
    } else {
      EXPECT_EQ(sub->widget()->windowTitle(), "EMC Mode Control Panel");
      EXPECT_GT(sub->pos().x(), 0);  // right of the display window
    }
  }

  frame.findChild<QAction*>("mnuSAV61")->trigger();
  Settle();
  EXPECT_EQ(OpenWindows(), QStringList{"frmSAV61"});
  EXPECT_EQ(CheckedModes(), QStringList{"mnuSAV61"});

  frame.findChild<QAction*>("mnuSAMode")->trigger();
  Settle();
  EXPECT_EQ(OpenWindows(), QStringList{"frmMain"});
  EXPECT_EQ(CheckedModes(), QStringList{"mnuSAMode"});

  // Choosing the checked mode again keeps its window, still one of it.
  frame.findChild<QAction*>("mnuSAMode")->trigger();
  Settle();
  EXPECT_EQ(OpenWindows(), QStringList{"frmMain"});
  EXPECT_EQ(CheckedModes(), QStringList{"mnuSAMode"});
}

TEST_F(MainFrameTest, QuitEndsWithoutClosingWindows) {
  int quits = 0;
  frame.quitNow = [&quits] { ++quits; };
  AnalyzerWindow* analyzer = frame.Analyzer();
  ASSERT_NE(analyzer, nullptr);
  frame.findChild<QAction*>("mnuQuit")->trigger();
  Settle();
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(frame.Analyzer(), analyzer);  // no unload handling ran
}

TEST_F(MainFrameTest, ClosingTheFrameUnloadsEveryChild) {
  frame.findChild<QAction*>("mnuEMIMode")->trigger();
  frame.ShowEmiSteps();
  Settle();
  ASSERT_EQ(frame.Area()->subWindowList().size(), 3);
  EXPECT_TRUE(frame.close());
  Settle();
  EXPECT_TRUE(frame.Area()->subWindowList().isEmpty());
}

TEST_F(MainFrameTest, AnalyzerWindowFitsTheFrameAndGrowsBackWithIt) {
  QWidget* analyzer = frame.Analyzer()->parentWidget();
  const QSize designed = analyzer->size();
  frame.setWindowState(Qt::WindowNoState);
  frame.resize(designed / 2);
  frame.show();
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  const QSize area = frame.Area()->viewport()->size();
  EXPECT_TRUE(area.width() < designed.width() && area.height() < designed.height());
  EXPECT_EQ(analyzer->size(), designed.boundedTo(area));
  // Grown (as far as the test screen allows), it grows along.
  frame.resize(designed * 3 / 4);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  const QSize grown = frame.Area()->viewport()->size();
  EXPECT_GT(grown.width(), area.width());
  EXPECT_EQ(analyzer->size(), designed.boundedTo(grown));
}

TEST_F(MainFrameTest, EmiStepsAndDebugWindowsOpenOnceAtTheirPlaces) {
  // The page opens beside a maximised analyzer window and leaves it maximised.
  frame.show();
  QWidget* analyzer = frame.Analyzer()->parentWidget();
  analyzer->showMaximized();
  QWidget* page = frame.ShowEmiSteps();
  QCoreApplication::processEvents();
  EXPECT_TRUE(analyzer->isMaximized());
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->objectName(), "frmSplash");
  const double dpi = frame.screen()->logicalDotsPerInch();
  EXPECT_EQ(page->parentWidget()->pos(),
            QPoint(static_cast<int>(std::lround(600 * dpi / 1440)), 0));
  EXPECT_EQ(frame.ShowEmiSteps(), page);  // shown again, not a second copy
  EXPECT_FALSE(page->parentWidget()->isMaximized());

  IoMessageLog = "line 1\r\n";
  auto* debug = frame.ShowDebugWindow();
  EXPECT_EQ(debug->windowTitle(), "IO Message");
  EXPECT_EQ(debug->parentWidget()->geometry(),
            QRect(0, static_cast<int>(std::lround(7680 * dpi / 1440)),
                  static_cast<int>(std::lround(12135 * dpi / 1440)),
                  static_cast<int>(std::lround(4830 * dpi / 1440))));
  IoMessageLog.clear();
}

TEST_F(MainFrameTest, EmiStepPageExitClosesTheWholePage) {
  QWidget* page = frame.ShowEmiSteps();
  ASSERT_NE(page, nullptr);
  EXPECT_GE(page->width(), 1126);
  page->findChild<QPushButton*>("cmdExit")->click();
  Settle();
  EXPECT_EQ(OpenWindows(), QStringList{"frmSAV61"});
}

TEST_F(MainFrameTest, UserGuideOpensWithItsPictures) {
  frame.findChild<QAction*>(QStringLiteral("mnuUserGuide"))->trigger();
  auto* guide = frame.findChild<QTextBrowser*>(QStringLiteral("frmUserGuide"));
  ASSERT_NE(guide, nullptr);
  EXPECT_TRUE(guide->toPlainText().contains(QStringLiteral("Connecting")));
  const QVariant picture = guide->document()->resource(QTextDocument::ImageResource,
                                                       QUrl(QStringLiteral("images/capture.png")));
  EXPECT_FALSE(picture.value<QImage>().isNull() && picture.value<QPixmap>().isNull());
  guide->close();
}

}  // namespace
}  // namespace vantrel

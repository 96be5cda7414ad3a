#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QTimer>

#include "platform/hidapi_backend.h"
#include "platform/qt_clock.h"
#include "platform/qt_notifier.h"

namespace vantrel {
namespace {

TEST(QtClock, WaitsLetPendingEventsRunAndTimeMovesForward) {
  QtClock clock;
  int delivered = 0;
  QTimer::singleShot(0, [&delivered] { ++delivered; });
  const std::uint32_t start = clock.NowMs();
  WaitMs(clock, 20);
  EXPECT_EQ(delivered, 1);  // the queued event ran inside the wait
  EXPECT_GE(ElapsedMs(start, clock.NowMs()), 20u);
  const DateTime now = clock.LocalNow();
  EXPECT_TRUE(IsValidDateTime(now));
  EXPECT_GE(now.year, 2024);
}

TEST(QtNotifier, StatusPanelAndNestedBusyPointer) {
  QLabel panel;
  QtNotifier notifier(nullptr, &panel);
  notifier.SetStatus("Checking port setting 57600,N,8,1");
  EXPECT_EQ(panel.text(), "Checking port setting 57600,N,8,1");
  notifier.SetStatus("");
  EXPECT_TRUE(panel.text().isEmpty());

  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  notifier.SetBusy(true);
  notifier.SetBusy(true);  // an action inside an action
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  notifier.SetBusy(false);
  EXPECT_NE(QApplication::overrideCursor(), nullptr);  // the outer action still runs
  notifier.SetBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  notifier.SetBusy(false);  // one too many changes nothing
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // A notifier that goes while busy gives the pointer back.
  {
    QtNotifier busy(nullptr, nullptr);
    busy.SetBusy(true);
    busy.SetStatus("no panel: ignored");
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(HidapiBackend, DescriptorsOnlyForHidrawNodes) {
  EXPECT_FALSE(ReadHidrawReportDescriptor("/dev/ttyS0").has_value());
  EXPECT_FALSE(ReadHidrawReportDescriptor("1-1:1.0").has_value());
  EXPECT_FALSE(ReadHidrawReportDescriptor("/dev/hidraw999").has_value());
  HidapiBackend backend;
  EXPECT_EQ(backend.Open("/dev/hidraw999"), nullptr);
}

}  // namespace
}  // namespace vantrel

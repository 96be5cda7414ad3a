// The 2.7 GHz window over a real pty: it opens the port to vantrel-sim --model 2.7ghz,
// reads the version and captures the simulated scene's 100 MHz tone where it belongs.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>

#include "app/fake_links.h"
#include "app/sa27_window.h"
#include "e2e/sim_process.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"

namespace vantrel {
namespace {

TEST(Sa27E2E, OpenAndCaptureOverAPty) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString link = dir.filePath("sim-link");
  testing::SimProcess sim(link, {"--model", "2.7ghz", "--firmware", "1.05"});
  ASSERT_TRUE(sim.Ready()) << sim.Errors().toStdString();
  const std::string ini = dir.filePath("ComPorts.ini").toStdString();
  std::ofstream(ini) << "COM1=" << link.toStdString() << "\n";

  QtClock clock;
  testing::RecordingNotifier notifier;
  Sa27Window window(AnalyzerLinks{clock, notifier, std::make_unique<QtSerialPort>(ini),
                                  std::make_unique<testing::FakeGpib>(false),
                                  std::make_unique<testing::NoHidDevices>()});
  window.findChild<QPushButton*>("cmdOpen")->click();
  ASSERT_TRUE(window.Link().IsOpen());
  EXPECT_DOUBLE_EQ(window.Link().Version(), 1.05);

  window.findChild<QPushButton*>("cmdCapture")->click();
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_FALSE(window.Link().CommunicationFailed());
  EXPECT_EQ(window.State().settings.FreqStop, 2700);
  const auto points = window.State().liveTraces[0].Points();
  // 0..2700 MHz over 500 steps: the 100 MHz tone is point 18.5.
  const auto peak = std::max_element(points.begin(), points.begin() + 60) - points.begin();
  EXPECT_NEAR(static_cast<double>(peak), 18.5, 1.0);
}

}  // namespace
}  // namespace vantrel

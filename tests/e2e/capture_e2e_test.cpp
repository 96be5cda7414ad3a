// Capture over a real pty: the window connects to vantrel-sim, captures, and the graph
// shows the simulated scene's strongest tone (100 MHz) at its frequency's x.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <fstream>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "app/graph_picture.h"
#include "app/process_globals.h"
#include "display/graph_mapping.h"
#include "e2e/sim_process.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"

namespace vantrel {
namespace {

TEST(CaptureE2E, SerialCaptureDrawsTheStrongestToneAtItsFrequency) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString link = dir.filePath("sim-link");
  testing::SimProcess sim(link);
  ASSERT_TRUE(sim.Ready()) << sim.Errors().toStdString();
  const std::string ini = dir.filePath("ComPorts.ini").toStdString();
  std::ofstream(ini) << "COM1=" << link.toStdString() << "\n";

  DontShowEMISteps = 1;
  QtClock clock;
  testing::RecordingNotifier notifier;
  AnalyzerWindow window(AnalyzerLinks{clock, notifier, std::make_unique<QtSerialPort>(ini),
                                      std::make_unique<testing::FakeGpib>(false),
                                      std::make_unique<testing::NoHidDevices>()});
  window.findChild<QRadioButton*>("OptCOM")->setChecked(true);
  window.ToolbarAction("btnOpenCOM")->trigger();
  ASSERT_TRUE(window.Identified());
  // The settings read after connecting are in the Control panel.
  EXPECT_EQ(window.findChild<QLineEdit*>("txtFreqStop")->text(), "3000");

  window.ToolbarAction("btnCapture")->trigger();
  ASSERT_TRUE(window.Display().liveTraces[0].Valid());
  EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front().text;

  const QImage image = window.Graph().grab().toImage().convertToFormat(QImage::Format_RGB32);
  int peak = -1;
  for (int y = 0; y < image.height() && peak < 0; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) == 0x00FF00) {
        peak = x;
        break;
      }
    }
  }
  const double expected = (FreqToX(100, 0, 3000) + 60) / 600 * image.width();
  EXPECT_NEAR(peak, expected, 3.0);
  window.ToolbarAction("btnOpenCOM")->trigger();
  DontShowEMISteps = 0;
}

}  // namespace
}  // namespace vantrel

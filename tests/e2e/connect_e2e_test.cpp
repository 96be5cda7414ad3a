#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <fstream>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "e2e/sim_process.h"
#include "link/link_error.h"
#include "platform/loaded_gpib_library.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"
#include "util/text.h"

namespace vantrel {
namespace {

using testing::NoHidDevices;
using testing::RecordingNotifier;
using testing::SimProcess;

class ConnectE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ini = dir.filePath("ComPorts.ini").toStdString();
  }
  QString Link(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
  void MapCom1(const QString& device) {
    std::ofstream(ini) << "; test links\nCOM1=" << device.toStdString() << "\n";
  }
  void Build() {
    auto serial = std::make_unique<QtSerialPort>(ini);
    port = serial.get();
    window = std::make_unique<AnalyzerWindow>(
        AnalyzerLinks{clock, notifier, std::move(serial),
                      std::make_unique<LoadedGpibLibrary>(QStringList{GPIB_SIM_LIBRARY}),
                      std::make_unique<NoHidDevices>()});
    window->showEmiSteps = [this] { ++stepPages; };
  }
  QAction* Key(const char* key) { return window->ToolbarAction(QString::fromLatin1(key)); }
  void Select(const char* option) {
    window->findChild<QRadioButton*>(QString::fromLatin1(option))->setChecked(true);
  }
  void ExpectDisconnected() {
    EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
    EXPECT_EQ(Key("btnOpenCOM")->toolTip(), "Connect to PC");
    EXPECT_EQ(Key("btnOpenCOM")->property("imageIndex").toInt(), 1);
    EXPECT_FALSE(window->Toolbar()["btnCapture"].enabled);
    EXPECT_FALSE(window->Toolbar()["btnGetTrace"].enabled);
  }

  QTemporaryDir dir;
  std::string ini;
  QtClock clock;
  RecordingNotifier notifier;
  QtSerialPort* port = nullptr;
  std::unique_ptr<AnalyzerWindow> window;
  int stepPages = 0;
};

TEST_F(ConnectE2E, SerialPtyAt115200IdentifiesAndDisconnects) {
  SimProcess sim(Link("sim-link"));
  ASSERT_TRUE(sim.Ready()) << sim.Errors().toStdString();
  MapCom1(Link("sim-link"));
  Build();
  Select("OptCOM");

  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front().text;
  EXPECT_TRUE(port->IsOpen());
  EXPECT_EQ(port->Settings(), "115200,N,8,1");
  // The first setting was tried and shown, then the second.
  const std::vector<std::string> checks = {"Checking port setting 57600,N,8,1",
                                           "Checking port setting 115200,N,8,1"};
  std::vector<std::string> shown;
  for (const auto& s : notifier.statuses) {
    if (s.rfind("Checking", 0) == 0) shown.push_back(s);
  }
  EXPECT_EQ(shown, checks);
  EXPECT_EQ(notifier.statuses.back(), "");
  EXPECT_TRUE(Key("btnOpenCOM")->isChecked());
  EXPECT_EQ(Key("btnOpenCOM")->property("imageIndex").toInt(), 2);
  EXPECT_TRUE(Key("btnEMCMode")->isVisible());
  EXPECT_EQ(stepPages, 1);

  // The link answers further queries while connected.
  const std::string idn = ToUpper(window->Transport().SendQuery("*IDN?", 200));
  EXPECT_TRUE(idn.find("3GHZ") != std::string::npos || idn.find("V61") != std::string::npos) << idn;

  // A second program on the same port finds it in use.
  QtSerialPort other(ini);
  other.SetPortNumber(1);
  try {
    other.Open();
    ADD_FAILURE() << "a port in use opened twice";
  } catch (const LinkError& e) {
    EXPECT_NE(std::string(e.what()).find("COM1"), std::string::npos) << e.what();
  }

  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(port->IsOpen());
  ExpectDisconnected();
}

TEST_F(ConnectE2E, GpibThroughTheStandInLibrary) {
  Build();
  // The stand-in library answers the driver probe, so GPIB is preselected.
  EXPECT_TRUE(window->findChild<QRadioButton*>("optGPIB")->isChecked());
  window->findChild<QComboBox*>("cboGPIB")->setCurrentText("5");
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front().text;
  EXPECT_GE(window->Transport().gpibHandle, 0);
  EXPECT_TRUE(Key("btnOpenCOM")->isChecked());
  EXPECT_FALSE(port->IsOpen());  // no serial port was touched
  Key("btnOpenCOM")->trigger();
  ExpectDisconnected();
}

TEST_F(ConnectE2E, SilentPortFailsClosesAndCanConnectAgain) {
  // An analyzer at another baud rate stays silent at both settings.
  SimProcess silent(Link("silent-link"), {"--baud", "9600"});
  ASSERT_TRUE(silent.Ready()) << silent.Errors().toStdString();
  MapCom1(Link("silent-link"));
  Build();
  Select("OptCOM");

  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(window->Identified());
  ASSERT_FALSE(notifier.messages.empty());
  EXPECT_EQ(notifier.messages.back().text, "Communication Error!");
  EXPECT_EQ(notifier.messages.back().icon, MessageIcon::Warning);
  EXPECT_FALSE(port->IsOpen());
  ExpectDisconnected();
  EXPECT_FALSE(Key("btnEMCMode")->isVisible());
  EXPECT_EQ(stepPages, 0);

  // The same window connects once an answering analyzer is on the port.
  SimProcess answering(Link("good-link"));
  ASSERT_TRUE(answering.Ready()) << answering.Errors().toStdString();
  MapCom1(Link("good-link"));
  notifier.messages.clear();
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_TRUE(port->IsOpen());
  EXPECT_EQ(stepPages, 1);
  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(port->IsOpen());
}

TEST_F(ConnectE2E, PortThatAppearsAfterAMissingPortErrorConnectsAtOnce) {
  MapCom1(Link("late-link"));
  Build();
  Select("OptCOM");
  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(window->Identified());
  EXPECT_EQ(notifier.Texts().back(), "Communication Error!");

  SimProcess sim(Link("late-link"));
  ASSERT_TRUE(sim.Ready()) << sim.Errors().toStdString();
  notifier.messages.clear();
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(notifier.messages.empty()) << notifier.messages.front().text;
}

TEST_F(ConnectE2E, VanishingAnalyzerDisconnectsWithOneMessageAndKeepsThePicture) {
  // Gone after the connect's answers and three of the capture's.
  SimProcess sim(Link("gone-link"), {"--vanish-after", "17"});
  ASSERT_TRUE(sim.Ready()) << sim.Errors().toStdString();
  MapCom1(Link("gone-link"));
  Build();
  Select("OptCOM");
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  const AnalyzerSettings before = window->Display().settings;

  Key("btnCapture")->trigger();
  EXPECT_EQ(notifier.Texts(), std::vector<std::string>{"The connection to the analyzer on COM1 (" +
                                                       Link("gone-link").toStdString() +
                                                       ") was lost."});
  ExpectDisconnected();
  EXPECT_EQ(window->Display().settings.TimeStamp, before.TimeStamp);
  EXPECT_EQ(window->Display().settings.FreqStop, before.FreqStop);
}

}  // namespace
}  // namespace vantrel

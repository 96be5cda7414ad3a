#include "app/analyzer_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QToolBar>

#include "app/fake_links.h"
#include "app/process_globals.h"
#include "link/virtual_clock.h"

namespace vantrel {
namespace {

using testing::FakeGpib;
using testing::NoHidDevices;
using testing::RecordingNotifier;
using testing::ScriptedSerialPort;

class AnalyzerWindowTest : public ::testing::Test {
 protected:
  void Build(bool gpibPresent = false) {
    auto serial = std::make_unique<ScriptedSerialPort>();
    port = serial.get();
    window = std::make_unique<AnalyzerWindow>(AnalyzerLinks{clock, notifier, std::move(serial),
                                                            std::make_unique<FakeGpib>(gpibPresent),
                                                            std::make_unique<NoHidDevices>()});
    window->showEmiSteps = [this] { ++splashShown; };
  }
  void SetUp() override {
    DontShowEMISteps = 0;
    ComPortNumber = 1;
  }
  void TearDown() override { DontShowEMISteps = 0; }

  QAction* Key(const char* key) { return window->ToolbarAction(QString::fromLatin1(key)); }
  int Image(const char* key) { return Key(key)->property("imageIndex").toInt(); }
  template <typename T>
  T* Control(const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
  }
  // A hidden QAction always reports itself disabled, so the state is read where the
  // window keeps it and compared with the action where the action shows it.
  bool Enabled(const QString& key) {
    const bool enabled = window->Toolbar()[key.toStdString()].enabled;
    QAction* action = window->ToolbarAction(key);
    if (action->isVisible()) {
      EXPECT_EQ(action->isEnabled(), enabled) << key.toStdString();
    }
    return enabled;
  }
  void ExpectDisconnectedToolbar() {
    for (QAction* a : window->findChild<QToolBar*>("Toolbar1")->actions()) {
      const QString key = a->objectName();
      const bool on = key == "btnOpenCOM" || key == "btnQuit" || key == "btnSetting" ||
                      key == "btnEMCMode" || key == "btnDrawPCStored";
      EXPECT_EQ(Enabled(key), on) << key.toStdString();
    }
    EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
    EXPECT_EQ(Key("btnOpenCOM")->toolTip(), "Connect to PC");
    EXPECT_EQ(Image("btnOpenCOM"), 1);
  }

  VirtualClock clock;
  RecordingNotifier notifier;
  ScriptedSerialPort* port = nullptr;
  std::unique_ptr<AnalyzerWindow> window;
  int splashShown = 0;
};

TEST_F(AnalyzerWindowTest, LoadStateOfToolbarAndPortFrame) {
  ComPortNumber = 7;
  Build();
  EXPECT_EQ(window->objectName(), "frmSAV61");
  EXPECT_EQ(window->windowTitle(), "3GHz SA");
  ASSERT_NE(Control<QWidget>("Pic1"), nullptr);

  const std::vector<std::tuple<QString, QString, bool>> keys = {
      {"btnOpenCOM", "Connect to PC", true},
      {"btnGetTrace", "Recording", true},
      {"btnCapture", "Capture", false},
      {"btnLive", "Live", true},
      {"btnSave", "Save to PC", false},
      {"btnPrint", "Print", false},
      {"btnMarker", "Marker", true},
      {"btnClear", "Clear display", false},
      {"btnDrawPCStored", "Play back from PC", true},
      {"btnDrawStored", "Draw memory signal", false},
      {"btnGetLimit", "Get Limit Lines from unit", false},
      {"btnSetting", "Setting", true},
      {"btnEMCMode", "EMC Mode", true},
      {"btnControl", "Control", true},
      {"btnQuit", "Exit", false},
  };
  const QList<QAction*> actions = Control<QToolBar>("Toolbar1")->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(keys.size()));
  for (std::size_t i = 0; i < keys.size(); ++i) {
    QAction* a = actions[static_cast<qsizetype>(i)];
    EXPECT_EQ(a->objectName(), std::get<0>(keys[i]));
    EXPECT_EQ(a->toolTip(), std::get<1>(keys[i]));
    EXPECT_EQ(a->isCheckable(), std::get<2>(keys[i])) << a->objectName().toStdString();
    const bool hidden = a->objectName() == "btnDrawStored" || a->objectName() == "btnGetLimit" ||
                        a->objectName() == "btnEMCMode";
    EXPECT_EQ(a->isVisible(), !hidden) << a->objectName().toStdString();
  }
  // Shortcuts show in the hover text beside the button's own tool tip.
  EXPECT_EQ(AnalyzerWindow::ShownToolTip(*Key("btnCapture")), "Capture (F5)");
  EXPECT_EQ(AnalyzerWindow::ShownToolTip(*Key("btnLive")), "Live (F6)");
  EXPECT_EQ(AnalyzerWindow::ShownToolTip(*Key("btnQuit")), "Exit");
  ExpectDisconnectedToolbar();
  EXPECT_EQ(Image("btnGetTrace"), 3);
  EXPECT_EQ(Image("btnEMCMode"), 14);

  auto* fraPort = Control<QGroupBox>("fraPort");
  ASSERT_NE(fraPort, nullptr);
  EXPECT_EQ(fraPort->title(), "Connection Port");
  EXPECT_EQ(fraPort->parentWidget()->objectName(), "fraSetting");
  EXPECT_EQ(Control<QRadioButton>("OptCOM")->text(), "COM port");
  EXPECT_EQ(Control<QRadioButton>("optUSB")->text(), "USB");
  EXPECT_EQ(Control<QRadioButton>("optGPIB")->text(), "GPIB");
  auto* combo1 = Control<QComboBox>("Combo1");
  ASSERT_EQ(combo1->count(), 16);
  EXPECT_EQ(combo1->itemText(0), "1");
  EXPECT_EQ(combo1->itemText(15), "16");
  EXPECT_EQ(combo1->currentText(), "7");
  auto* gpib = Control<QComboBox>("cboGPIB");
  ASSERT_EQ(gpib->count(), 30);
  EXPECT_EQ(gpib->currentText(), "2");
  EXPECT_EQ(Control<QComboBox>("cboUSB")->currentText(), "None");
  // No GPIB driver: the COM port is preselected.
  EXPECT_TRUE(Control<QRadioButton>("OptCOM")->isChecked());
  EXPECT_EQ(window->SelectedKind(), ConnectionKind::ComPort);
}

TEST_F(AnalyzerWindowTest, GpibDriverPresentPreselectsGpib) {
  Build(true);
  EXPECT_TRUE(Control<QRadioButton>("optGPIB")->isChecked());
  EXPECT_FALSE(Control<QRadioButton>("OptCOM")->isChecked());
  EXPECT_EQ(window->SelectedKind(), ConnectionKind::Gpib);
}

TEST_F(AnalyzerWindowTest, ConnectDisconnectAndReconnect) {
  Build();
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(port->IsOpen());
  EXPECT_EQ(port->Settings(), "115200,N,8,1");
  EXPECT_TRUE(Key("btnOpenCOM")->isChecked());
  EXPECT_EQ(Key("btnOpenCOM")->toolTip(), "Disconnect from PC");
  EXPECT_EQ(Image("btnOpenCOM"), 2);
  EXPECT_TRUE(Key("btnEMCMode")->isVisible());
  for (QAction* a : Control<QToolBar>("Toolbar1")->actions()) {
    EXPECT_TRUE(Enabled(a->objectName())) << a->objectName().toStdString();
  }
  EXPECT_TRUE(Control<QGroupBox>("fraMarker")->isEnabled());
  EXPECT_EQ(window->ConnectCount(), 1);
  EXPECT_EQ(splashShown, 1);
  EXPECT_EQ(notifier.busyDepth, 0);
  EXPECT_TRUE(notifier.messages.empty());

  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(port->IsOpen());
  ExpectDisconnectedToolbar();
  EXPECT_FALSE(Control<QGroupBox>("fraMarker")->isEnabled());
  EXPECT_TRUE(Key("btnEMCMode")->isVisible());  // only a failed connect hides it

  // The step page opens after the first successful connection only.
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_EQ(window->ConnectCount(), 2);
  EXPECT_EQ(splashShown, 1);
}

TEST_F(AnalyzerWindowTest, StepPageNeverOpensWhenSwitchedOff) {
  DontShowEMISteps = 1;
  Build();
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_EQ(splashShown, 0);
}

TEST_F(AnalyzerWindowTest, FailedConnectsLeaveTheWindowDisconnectedAndReusable) {
  Build();
  port->identity = "SOMETHING ELSE";
  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(window->Identified());
  EXPECT_TRUE(notifier.Shown("Communication Error!"));
  EXPECT_FALSE(port->IsOpen());
  ExpectDisconnectedToolbar();
  EXPECT_FALSE(Key("btnEMCMode")->isVisible());
  EXPECT_EQ(Key("btnEMCMode")->toolTip(), "EMI Mode");
  EXPECT_EQ(splashShown, 0);
  EXPECT_EQ(notifier.busyDepth, 0);

  // A port with no device: its description first, then the failed connection.
  notifier.messages.clear();
  port->exists = false;
  Key("btnOpenCOM")->trigger();
  ASSERT_GE(notifier.messages.size(), 2u);
  EXPECT_EQ(notifier.messages.front().icon, MessageIcon::Critical);
  EXPECT_NE(notifier.messages.front().text.find("COM1"), std::string::npos);
  EXPECT_EQ(notifier.messages.back().text, "Communication Error!");
  ExpectDisconnectedToolbar();

  // Lower-case model text in the answer is still the analyzer.
  port->exists = true;
  port->identity = "vantrel sa3ghz";
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
  EXPECT_TRUE(Key("btnEMCMode")->isVisible());
  EXPECT_EQ(splashShown, 1);
}

TEST_F(AnalyzerWindowTest, UsbWithoutDeviceStaysDisconnectedInSaMode) {
  Build();
  Control<QRadioButton>("optUSB")->setChecked(true);
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(notifier.Shown("No USB Connection Detected."));
  EXPECT_EQ(notifier.messages.back().icon, MessageIcon::Warning);
  EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
  EXPECT_FALSE(Key("btnEMCMode")->isChecked());
  EXPECT_FALSE(Key("btnEMCMode")->isVisible());
  EXPECT_EQ(Control<QComboBox>("cboUSB")->currentText(), "None");
  EXPECT_TRUE(port->written.empty());
}

TEST_F(AnalyzerWindowTest, DisconnectDuringAcquisitionStopsIt) {
  Build();
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  window->Toolbar()["btnGetTrace"].down = true;
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Transport().stopRequested);
  EXPECT_FALSE(Key("btnGetTrace")->isChecked());
  EXPECT_FALSE(Key("btnGetTrace")->isEnabled());
  EXPECT_FALSE(Key("btnControl")->isChecked());
  EXPECT_FALSE(port->IsOpen());
}

TEST_F(AnalyzerWindowTest, ExitAsksAndEndsOnlyOnYes) {
  Build();
  int ends = 0;
  window->endProgram = [&ends] { ++ends; };
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(port->IsOpen());
  notifier.answer = MessageResult::No;
  Key("btnQuit")->trigger();
  EXPECT_TRUE(notifier.Shown("Do you really want to exit?"));
  EXPECT_EQ(ends, 0);
  EXPECT_TRUE(port->IsOpen());
  notifier.answer = MessageResult::Yes;
  Key("btnQuit")->trigger();
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(port->IsOpen());
}

TEST_F(AnalyzerWindowTest, EmiModeButtonSwitchesImagesAndDisablesAcquisition) {
  Build();
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  Key("btnEMCMode")->trigger();
  EXPECT_EQ(Image("btnEMCMode"), 15);
  EXPECT_EQ(Key("btnEMCMode")->toolTip(), "SA Mode");
  EXPECT_FALSE(Key("btnGetTrace")->isEnabled());
  EXPECT_FALSE(Key("btnDrawPCStored")->isEnabled());
  Key("btnEMCMode")->trigger();
  EXPECT_EQ(Image("btnEMCMode"), 14);
  EXPECT_EQ(Key("btnEMCMode")->toolTip(), "EMI Mode");
  EXPECT_TRUE(Key("btnGetTrace")->isEnabled());
}

}  // namespace
}  // namespace vantrel

// The analyzer window connecting over USB to the simulated analyzer's HID personality,
// with the real widgets offscreen and the virtual clock.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <optional>

#include "app/analyzer_window.h"
#include "app/fake_links.h"
#include "app/process_globals.h"
#include "app/setting_panel.h"
#include "link/virtual_clock.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"

namespace vantrel {
namespace {

using testing::FakeGpib;
using testing::RecordingNotifier;

class WindowUsbTest : public ::testing::Test {
 protected:
  void Build(int analyzers, std::optional<HidReportLengths> extra = std::nullopt) {
    DontShowEMISteps = 1;
    auto hid = std::make_unique<sim::SimHidBackend>(clock, analyzers);
    if (extra) hid->AddAnalyzer(*extra);
    backend = hid.get();
    serialModel = std::make_unique<sim::AnalyzerModel>(clock);
    window = std::make_unique<AnalyzerWindow>(
        AnalyzerLinks{clock, notifier, std::make_unique<sim::SimSerialPort>(clock, *serialModel),
                      std::make_unique<FakeGpib>(false), std::move(hid)});
    window->findChild<QRadioButton*>("optUSB")->setChecked(true);
  }
  void TearDown() override {
    window.reset();
    DontShowEMISteps = 0;
    ClosingFlag = false;
  }
  QAction* Key(const char* key) { return window->ToolbarAction(QString::fromLatin1(key)); }
  QComboBox* UsbList() { return window->findChild<QComboBox*>("cboUSB"); }

  VirtualClock clock;
  RecordingNotifier notifier;
  std::unique_ptr<sim::AnalyzerModel> serialModel;
  sim::SimHidBackend* backend = nullptr;
  std::unique_ptr<AnalyzerWindow> window;
};

TEST_F(WindowUsbTest, ConnectsIdentifiesReadsTheSettingsAndDisconnects) {
  Build(1);
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified()) << (notifier.messages.empty() ? "" : notifier.messages[0].text);
  EXPECT_TRUE(notifier.messages.empty());
  EXPECT_EQ(UsbList()->count(), 1);
  EXPECT_EQ(UsbList()->currentText(), "0");
  const auto& received = backend->Analyzer(0).received;
  EXPECT_NE(std::find(received.begin(), received.end(), "*IDN?"), received.end());
  // The settings were read over USB and copied into the control panel.
  EXPECT_NE(std::find(received.begin(), received.end(), "MEAS:FREQ:ST?"), received.end());
  EXPECT_EQ(window->findChild<QLineEdit*>("txtFreqStart")->text().toDouble(),
            backend->Model(0).State().startHz / 1e6);
  EXPECT_TRUE(Key("btnCapture")->isEnabled());

  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(Key("btnCapture")->isEnabled());
  EXPECT_EQ(backend->Analyzer(0).openHandles, 0);
}

TEST_F(WindowUsbTest, TheChosenOfTwoAnalyzersIsTheOneTalkedTo) {
  Build(2);
  window->ToolbarAction("btnSetting")->trigger();  // the list is rebuilt while disconnected
  ASSERT_EQ(UsbList()->count(), 2);
  UsbList()->setCurrentIndex(1);
  emit UsbList()->activated(1);
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  EXPECT_TRUE(backend->Analyzer(0).received.empty());
  EXPECT_FALSE(backend->Analyzer(1).received.empty());
  EXPECT_EQ(UsbList()->currentText(), "1");
}

TEST_F(WindowUsbTest, GuessedReportLengthsAreNotLeftInTheStatusBarAfterLoading) {
  Build(0, HidReportLengths{0, 0, 0});
  ASSERT_FALSE(notifier.statuses.empty());
  EXPECT_NE(std::find(notifier.statuses.begin(), notifier.statuses.end(),
                      "USB report lengths could not be read from the device; using 65 bytes."),
            notifier.statuses.end());
  EXPECT_EQ(notifier.statuses.back(), "");
}

TEST_F(WindowUsbTest, WithoutAnAnalyzerTheWindowSaysSoAndStaysUsable) {
  Build(0);
  Key("btnOpenCOM")->trigger();
  EXPECT_FALSE(window->Identified());
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text, "No USB Connection Detected.");
  EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
  EXPECT_EQ(UsbList()->currentText(), "None");

  backend->AddAnalyzer();  // plugged in afterwards: the next connect finds it
  Key("btnOpenCOM")->trigger();
  EXPECT_TRUE(window->Identified());
}

TEST_F(WindowUsbTest, UnpluggedAnalyzerDisconnectsWithOneMessageAndKeepsThePicture) {
  Build(1);
  Key("btnOpenCOM")->trigger();
  ASSERT_TRUE(window->Identified());
  Key("btnCapture")->trigger();
  const AnalyzerSettings before = window->Display().settings;
  clock.Advance(5000);
  backend->Remove(backend->Analyzer(0).path);
  Key("btnCapture")->trigger();
  EXPECT_EQ(notifier.Texts(),
            std::vector<std::string>{"The connection to the analyzer on USB device 0 was lost."});
  EXPECT_FALSE(Key("btnOpenCOM")->isChecked());
  EXPECT_EQ(window->Display().settings.TimeStamp, before.TimeStamp);
}

}  // namespace
}  // namespace vantrel

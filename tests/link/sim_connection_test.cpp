// Connection setup and the transport against the simulated analyzer in process.
#include <gtest/gtest.h>

#include "link_fakes.h"
#include "sim/sim_gpib_library.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_serial_port.h"

namespace vantrel::testing {
namespace {

struct SimRig {
  VirtualClock clock;
  RecordingNotifier notifier;
  sim::AnalyzerModel model{clock};
  sim::SimSerialPort serial{clock, model};
  sim::SimGpibLibrary gpib{clock, model};
  sim::SimHidBackend hid{clock, 2};
  UsbHid usb{hid, notifier};
  CommandTransport transport{LinkPorts{clock, notifier, serial, gpib, usb}};
  ConnectionSetup setup{transport};
  ConnectionKind kind = ConnectionKind::ComPort;
  SimRig() {
    transport.selectedKind = [this] { return kind; };
  }
  std::vector<std::string> Messages() const { return notifier.Texts(); }
};

const std::string kChecking57600 = "Checking port setting 57600,N,8,1";
const std::string kChecking115200 = "Checking port setting 115200,N,8,1";

TEST(SerialConnect, TriesBothSettingsInOrderAndKeepsTheOneThatAnswers) {
  SimRig rig;  // the analyzer runs at 115200
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
  EXPECT_EQ(rig.notifier.statuses,
            (std::vector<std::string>{kChecking57600, kChecking115200, "", ""}));
  EXPECT_EQ(rig.serial.Baud(), 115200);
  EXPECT_EQ(rig.serial.ReceiveBufferSize(), 8192);
  EXPECT_TRUE(rig.serial.IsOpen());
  EXPECT_EQ(rig.setup.connectCount, 1);
  EXPECT_EQ(rig.notifier.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_TRUE(rig.notifier.messages.empty());
  EXPECT_EQ(rig.transport.SendQuery("*IDN?", 200), sim::kIdentification);

  SimRig slow;
  slow.serial.Options().instrumentBaud = 57600;
  EXPECT_EQ(slow.setup.Connect(), ConnectOutcome::Identified);
  EXPECT_EQ(slow.serial.Settings(), "57600,N,8,1");
  EXPECT_EQ(slow.notifier.statuses, (std::vector<std::string>{kChecking57600, "", ""}));
}

TEST(SerialConnect, RetriesAndConnectCountAcrossDisconnects) {
  SimRig rig;
  rig.model.Faults().dropAnswers = 2;  // the setting probe and the first retry go unanswered
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
  EXPECT_EQ(rig.serial.Received().size(), 3u);  // 115200 probe + two retries
  rig.setup.Disconnect();
  EXPECT_FALSE(rig.serial.IsOpen());
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
  EXPECT_EQ(rig.setup.connectCount, 2);
}

TEST(SerialConnect, SilentInUseAndMissingPortsEndInCommunicationError) {
  SimRig rig;
  rig.model.Faults().silent = true;
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_FALSE(rig.serial.IsOpen());
  EXPECT_EQ(rig.setup.connectCount, 0);
  ASSERT_EQ(rig.notifier.messages.size(), 1u);
  EXPECT_EQ(rig.notifier.messages[0],
            (ShownMessage{"Communication Error!", MessageIcon::Warning}));
  // The box keeps its short text; the status panel names the port, rates and answers.
  EXPECT_EQ(rig.notifier.statuses.back(),
            "No analyzer on COM1 (57600 baud: nothing came back; 115200 baud: nothing came back).");
  EXPECT_LT(rig.clock.NowMs(), 10000u);  // bounded, however silent the line

  rig.model.Faults().silent = false;
  rig.notifier.messages.clear();
  rig.serial.Options().openFailure = sim::OpenFailure::InUse;
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.Messages(),
            (std::vector<std::string>{sim::kPortInUseText, "Communication Error!"}));
  EXPECT_EQ(rig.notifier.messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(rig.notifier.statuses.back(), sim::kPortInUseText);

  // Unreadable bytes, as at the wrong line rate, are named as such.
  rig.serial.Options().openFailure = sim::OpenFailure::None;
  rig.serial.Options().instrumentBaud = 9600;
  rig.serial.Options().wrongBaud = sim::WrongBaudBehaviour::Garbage;
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.notifier.statuses.back(),
            "No analyzer on COM1 (57600 baud: unreadable bytes came back; 115200 baud: "
            "unreadable bytes came back).");
  rig.serial.Options().instrumentBaud = 115200;

  rig.notifier.messages.clear();
  rig.serial.Options().openFailure = sim::OpenFailure::None;
  rig.serial.Options().analyzerPort = 2;
  rig.setup.portText = "7";
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.Messages(),
            (std::vector<std::string>{sim::kNoSuchPortText, "Communication Error!"}));

  rig.setup.portText = "2";  // the right port: it connects again
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
}

TEST(GpibConnect, OpensClearsEnablesServiceRequestsAndReturnsToLocal) {
  SimRig rig;
  rig.kind = ConnectionKind::Gpib;
  rig.setup.gpibAddressText = "5";
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
  EXPECT_EQ(rig.gpib.ClearCount(), 1);
  EXPECT_EQ(rig.gpib.Received(), (std::vector<std::string>{"*cls;", "*sre 16;", "*IDN?"}));
  EXPECT_EQ(rig.transport.SendQuery("*IDN?", 200), sim::kIdentification);
  rig.setup.Disconnect();
  EXPECT_EQ(rig.gpib.LocalCount(), 1);

  SimRig nobody;  // ibclr fails: no "*cls", no "*sre 16"; identification decides
  nobody.kind = ConnectionKind::Gpib;
  nobody.gpib.Options().onlyAddress = 9;
  EXPECT_EQ(nobody.setup.Connect(), ConnectOutcome::NotIdentified);
  for (const std::string& sent : nobody.gpib.Received()) EXPECT_EQ(sent, "*IDN?");
  EXPECT_EQ(nobody.Messages(), std::vector<std::string>{"Communication Error!"});
}

TEST(GpibConnect, DriverProbeAndMissingLibrary) {
  SimRig rig;
  EXPECT_TRUE(ConnectionSetup::GpibDriverPresent(rig.gpib));
  rig.gpib.Options().noBoard = true;  // the call returns: the driver is there
  EXPECT_TRUE(ConnectionSetup::GpibDriverPresent(rig.gpib));
  rig.gpib.Options().libraryMissing = true;
  EXPECT_FALSE(ConnectionSetup::GpibDriverPresent(rig.gpib));
  rig.kind = ConnectionKind::Gpib;
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NotIdentified);
  EXPECT_EQ(rig.Messages(),
            (std::vector<std::string>{sim::kGpibLibraryMissingText, "Communication Error!"}));
  EXPECT_EQ(rig.notifier.messages[0].icon, MessageIcon::Critical);
  EXPECT_NO_THROW(rig.setup.Disconnect());
}

TEST(UsbConnect, DeviceListIndexFallbackIdentificationAndClose) {
  SimRig rig;
  rig.kind = ConnectionKind::Usb;
  rig.setup.usbDeviceIndex = 1;
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::Identified);
  EXPECT_EQ(rig.setup.usbEntries, (std::vector<std::string>{"0", "1"}));
  EXPECT_EQ(rig.setup.usbText, "1");
  EXPECT_EQ(rig.hid.Analyzer(1).received, std::vector<std::string>{"*IDN?"});
  EXPECT_TRUE(rig.hid.Analyzer(0).received.empty());
  EXPECT_EQ(rig.transport.SendQuery("*IDN?", 50), sim::kIdentification);
  rig.setup.Disconnect();
  EXPECT_FALSE(rig.usb.IsOpen());
  EXPECT_EQ(rig.hid.Analyzer(1).openHandles, 0);

  rig.hid.Remove(rig.hid.Analyzer(1).path);
  rig.setup.RefreshUsbList();
  EXPECT_EQ(rig.setup.usbDeviceIndex, 0);
  EXPECT_EQ(rig.setup.usbText, "0");

  rig.hid.RemoveAll();
  EXPECT_EQ(rig.setup.Connect(), ConnectOutcome::NoUsbDevice);
  EXPECT_EQ(rig.setup.usbEntries, std::vector<std::string>{"None"});
  EXPECT_EQ(rig.notifier.messages.back(),
            (ShownMessage{"No USB Connection Detected.", MessageIcon::Warning}));
}

}  // namespace
}  // namespace vantrel::testing

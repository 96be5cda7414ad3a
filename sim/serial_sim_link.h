#pragma once
// The simulated analyzer on the program's own command transport, over the in-process
// serial port at 115200 baud, with GPIB and USB absent: the rig for tests and
// benchmarks that exercise the program's serial side on the virtual clock.
#include <memory>
#include <string>
#include <vector>

#include "link/command_transport.h"
#include "link/counting_clock.h"
#include "link/gpib_library.h"
#include "link/hid_backend.h"
#include "link/usb_hid.h"
#include "link/virtual_clock.h"
#include "sim/analyzer_model.h"
#include "sim/sim_serial_port.h"

namespace vantrel::sim {

// No GPIB board: every call fails with the error bit.
class AbsentGpibLibrary : public GpibLibrary {
 public:
  int ibfind(const std::string&) override { return -1; }
  int ibdev(int, int, int, int, int, int) override { return -1; }
  int ibclr(int) override { return kGpibErr; }
  int ibwrt(int, const void*, long) override { return kGpibErr; }
  int ibrd(int, void*, long) override { return kGpibErr; }
  int ibwait(int, int) override { return kGpibErr; }
  int ibrsp(int, char*) override { return kGpibErr; }
  int ibloc(int) override { return kGpibErr; }
  int ibsta() override { return kGpibErr; }
  long ibcntl() override { return 0; }
};

// No HID device attached.
class AbsentHidBackend : public HidBackend {
 public:
  std::vector<HidDeviceInfo> Enumerate() override { return {}; }
  std::unique_ptr<HidDeviceHandle> Open(const std::string&) override { return nullptr; }
};

template <class NotifierType>
struct SerialSimLink {
  SerialSimLink() {
    serial.SetSettings("115200,N,8,1");
    serial.Open();
    transport.selectedKind = [] { return ConnectionKind::ComPort; };
  }

  VirtualClock clock;
  // The program's side waits through this one, so the waits it asks for can be counted.
  CountingClock programClock{clock};
  NotifierType notifier;
  AnalyzerModel model{clock};
  SimSerialPort serial{clock, model};
  AbsentGpibLibrary gpib;
  AbsentHidBackend hidBackend;
  UsbHid usb{hidBackend, notifier};
  CommandTransport transport{LinkPorts{programClock, notifier, serial, gpib, usb}};
};

}  // namespace vantrel::sim

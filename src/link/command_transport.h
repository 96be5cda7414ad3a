#pragma once
// One command out, one answer back, over whichever transport is selected at the
// moment of the call: serial port, USB HID or GPIB.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/connection_kind.h"
#include "link/gpib_library.h"
#include "link/serial_port.h"
#include "util/notifier.h"

namespace vantrel {

class UsbHid;  // the USB HID module (report-level access)

// The links one analyzer window owns, shared by the transport and connection setup.
struct LinkPorts {
  Clock& clock;
  Notifier& notifier;
  SerialPort& serial;
  GpibLibrary& gpib;
  UsbHid& usb;
};

class CommandTransport {
 public:
  explicit CommandTransport(LinkPorts ports);

  // Read afresh at every exchange (the window's option buttons).
  std::function<ConnectionKind()> selectedKind = [] { return ConnectionKind::ComPort; };

  // Abort flag of the window: set when the user disconnects during acquisition, asks
  // to stop a refresh, or when the link is lost.
  bool stopRequested = false;
  // The device went away under an open link (the port reported it). Set together with
  // stopRequested, so every query and transfer in progress returns at once; cleared
  // at the next connect.
  bool linkLost = false;
  // GPIB device descriptor from ibdev and the last serial-poll status byte.
  int gpibHandle = 0;
  std::uint8_t gpibStatusByte = 0;
  // Text in which ReadCOM accumulates a serial answer, one character per byte.
  std::string receiveBuffer;

  // Writes one command; transport errors propagate (LinkError).
  void SendCMD(const std::string& command);
  // Writes one query and returns the cleaned answer; "" when nothing could be read.
  // Errors are shown in a message box and give "".
  std::string SendQuery(const std::string& query, double settleMs);
  // Reads one answer, minus one trailing CR (serial, USB) or all CR and LF (GPIB).
  std::string ReadCOM(double settleMs);
  // GPIB raw readers: text of up to 4096 characters; a block of 8194 bytes.
  std::string ReadGpibText();
  std::vector<std::uint8_t> ReadGpibBlock();

  ConnectionKind Kind() const { return selectedKind(); }
  // Looks at the selected link; when it reports its device gone, sets linkLost and
  // stopRequested. Returns linkLost.
  bool CheckLinkLost();
  // The selected link as the user knows it, for messages: "COM1 (/dev/ttyUSB0)",
  // "USB device 0", "GPIB address 2".
  std::string LinkName() const;
  // Set by connection setup: the USB device index and GPIB address in use.
  int usbDeviceIndex = 0;
  int gpibAddress = 0;
  LinkPorts& Ports() { return ports_; }

 private:
  LinkPorts ports_;
};

}  // namespace vantrel

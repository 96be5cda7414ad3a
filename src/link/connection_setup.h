#pragma once
// Opening the selected transport, making sure the analyzer is on the other end, and
// closing it again. The window drives it from its connect button and applies the
// outcome to its toolbar.
#include <functional>
#include <string>
#include <vector>

#include "link/command_transport.h"

namespace vantrel {

enum class ConnectOutcome {
  Identified,     // the analyzer answered "*IDN?"; the connection stands
  NoUsbDevice,    // "No USB Connection Detected." was shown; nothing opened
  NotIdentified,  // "Communication Error!" was shown; serial port closed
};

class ConnectionSetup {
 public:
  explicit ConnectionSetup(CommandTransport& transport);

  // Inputs taken from the port frame at every connect.
  std::string portText = "1";         // Combo1
  std::string gpibAddressText = "2";  // cboGPIB

  // State of the window's connection.
  bool identified = false;
  int connectCount = 0;
  int serialPortNumber = 1;
  std::vector<std::string> usbDevicePaths;
  int usbDeviceIndex = -1;
  // Why the last connect found no analyzer (the link, the settings tried and what came
  // back); "" after a success. Shown in status panel 1 beside "Communication Error!".
  std::string failureCause;
  // The analyzer's answer to "*IDN?" at the last successful connect.
  std::string identity;
  // Appends one line to the IO message log; unset: no log.
  std::function<void(const std::string&)> log;
  // cboUSB as last rebuilt: entries "0", "1", ... or the single "None", and its text.
  std::vector<std::string> usbEntries{"None"};
  std::string usbText = "None";

  // Connect steps up to the identification outcome (busy pointer, messages, status).
  // Never throws: link failures end in one of the outcomes.
  ConnectOutcome Connect();
  // Opens and configures the serial port or the GPIB device; errors are shown.
  void InitPort();
  // Transport part of disconnecting: USB closed, serial closed, GPIB to local. With
  // `acquisitionRunning` the abort flag is set first, so a read in progress returns.
  void Disconnect(bool acquisitionRunning = false);
  // Rebuilds the USB device list (usbDevicePaths, usbEntries, usbText, usbDeviceIndex).
  void RefreshUsbList();
  // ibfind("GPIB0") inside an error trap: true when the call returns at all.
  static bool GpibDriverPresent(GpibLibrary& gpib);
  // What an answer to "*IDN?" that does not name the analyzer was, for the user.
  static std::string DescribeAnswer(const std::string& answer);
  // The identification test on an answer to "*IDN?".
  static bool NamesAnalyzer(const std::string& answer);

  // Serial settings tried in this order; the receive buffer holds a whole trace block.
  static constexpr const char* kSerialSettings[] = {"57600,N,8,1", "115200,N,8,1"};
  static constexpr int kReceiveBufferBytes = 8192;

 private:
  CommandTransport& transport_;
};

}  // namespace vantrel

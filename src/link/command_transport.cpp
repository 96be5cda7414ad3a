#include "link/command_transport.h"

#include <exception>

#include "link/serial_answer.h"
#include "link/usb_hid.h"
#include "util/text.h"

namespace vantrel {
namespace {

constexpr char kCr = '\r';
// A serial answer is given up 1000 ms after the read began (both passes together).
constexpr SerialAnswerRules kSerialAnswerRules{1000, 0, false};
constexpr int kGpibReadBytes = 4096;
constexpr std::size_t kGpibBlockBytes = 8194;  // 4097 words

std::string DropTrailingCr(std::string text) {
  if (!text.empty() && text.back() == kCr) text.pop_back();
  return text;
}

}  // namespace

CommandTransport::CommandTransport(LinkPorts ports) : ports_(ports) {}

bool CommandTransport::CheckLinkLost() {
  const ConnectionKind kind = selectedKind();
  const bool gone = (kind == ConnectionKind::ComPort && ports_.serial.Lost()) ||
                    (kind == ConnectionKind::Usb && ports_.usb.DeviceGone());
  if (!linkLost && gone) {
    linkLost = true;
    stopRequested = true;
  }
  return linkLost;
}

std::string CommandTransport::LinkName() const {
  switch (selectedKind()) {
    case ConnectionKind::ComPort:
      return ports_.serial.Name();
    case ConnectionKind::Usb:
      return "USB device " + std::to_string(usbDeviceIndex);
    case ConnectionKind::Gpib:
      return "GPIB address " + std::to_string(gpibAddress);
  }
  return {};
}

void CommandTransport::SendCMD(const std::string& command) {
  switch (selectedKind()) {
    case ConnectionKind::ComPort: {
      if (!ports_.serial.IsOpen()) {
        CheckLinkLost();
        return;
      }
      WriteSerialLine(ports_.serial, command);
      return;
    }
    case ConnectionKind::Usb:
      ports_.usb.HidWriteCommand(Trim(command));
      return;
    case ConnectionKind::Gpib: {
      const std::string trimmed = Trim(command);
      const std::string message =
          (!trimmed.empty() && trimmed.back() == '?') ? command : command + ";";
      ports_.gpib.ibwrt(gpibHandle, message.data(), static_cast<long>(message.size()));
      return;
    }
  }
}

std::string CommandTransport::SendQuery(const std::string& query, double settleMs) {
  std::string result;
  try {
    switch (selectedKind()) {
      case ConnectionKind::ComPort: {
        SerialPort& serial = ports_.serial;
        if (!serial.IsOpen()) {
          CheckLinkLost();
          return "";
        }
        DropWaitingBytes(serial);  // a late answer to an earlier query
        WriteSerialLine(serial, Trim(query));
        result = CleanSerialAnswer(ReadCOM(settleMs));
        break;
      }
      case ConnectionKind::Usb: {
        ports_.usb.HidWriteCommand(Trim(query));
        const std::string answer = ReadCOM(settleMs);
        CheckLinkLost();
        if (stopRequested) return "";
        result = CleanSerialAnswer(answer);
        break;
      }
      case ConnectionKind::Gpib: {
        SendCMD(Trim(query));
        const std::string answer = ReadCOM(settleMs);
        if (!stopRequested) result = RemoveChars(CleanSerialAnswer(answer), std::string(1, '\0'));
        break;
      }
    }
  } catch (const std::exception& error) {
    ports_.notifier.ShowMessage(error.what(), MessageIcon::Critical);
  }
  return result;
}

std::string CommandTransport::ReadCOM(double settleMs) {
  switch (selectedKind()) {
    case ConnectionKind::ComPort: {
      SerialPort& serial = ports_.serial;
      Clock& clock = ports_.clock;
      if (!serial.IsOpen()) {
        CheckLinkLost();
        return "";
      }
      // A stop that arrives during the read ends it; one set before (a query that
      // ignores stops) lets the read run as usual.
      const bool stopAtStart = stopRequested;
      const auto answer = ReadSerialAnswer(serial, clock, settleMs, kSerialAnswerRules,
                                           receiveBuffer,
                                           [&] { return stopRequested && !stopAtStart; });
      if (!serial.IsOpen()) CheckLinkLost();
      return answer.text;
    }
    case ConnectionKind::Usb: {
      receiveBuffer.clear();
      WaitMs(ports_.clock, settleMs);
      const std::vector<std::uint8_t> report = ports_.usb.HidReadReport();
      for (std::size_t i = 1; i < report.size(); ++i) {
        if (report[i] != 0) receiveBuffer.push_back(static_cast<char>(report[i]));
      }
      return DropTrailingCr(Trim(receiveBuffer));
    }
    case ConnectionKind::Gpib:
      return RemoveChars(ReadGpibText(), "\r\n");
  }
  return "";
}

std::string CommandTransport::ReadGpibText() {
  GpibLibrary& gpib = ports_.gpib;
  gpib.ibwait(gpibHandle, kGpibRqs | kGpibTimo);
  char status = 0;
  gpib.ibrsp(gpibHandle, &status);
  gpibStatusByte = static_cast<std::uint8_t>(status);
  // Without RQS and MAV the read still goes ahead; an empty answer tells the caller.
  std::string buffer(kGpibReadBytes, '\0');
  gpib.ibrd(gpibHandle, buffer.data(), kGpibReadBytes);
  if (gpib.ibsta() & kGpibErr) ports_.clock.ProcessEvents();
  return Trim(buffer);
}

std::vector<std::uint8_t> CommandTransport::ReadGpibBlock() {
  GpibLibrary& gpib = ports_.gpib;
  gpib.ibwait(gpibHandle, kGpibRqs | kGpibTimo);
  char status = 0;
  gpib.ibrsp(gpibHandle, &status);
  gpibStatusByte = static_cast<std::uint8_t>(status);
  // The bytes land in memory order, which is the order they were received.
  std::vector<std::uint8_t> block(kGpibBlockBytes, 0);
  gpib.ibrd(gpibHandle, block.data(), kGpibReadBytes);
  if (gpib.ibsta() & kGpibErr) ports_.clock.ProcessEvents();
  return block;
}

}  // namespace vantrel

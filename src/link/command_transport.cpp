#include "link/command_transport.h"

#include <exception>

#include "link/usb_hid.h"
#include "util/text.h"

namespace vantrel {
namespace {

constexpr char kCr = '\r';
// A serial answer is given up this long after the read began (both passes together).
constexpr std::uint32_t kSerialAnswerLimitMs = 1000;
constexpr int kGpibReadBytes = 4096;
constexpr std::size_t kGpibBlockBytes = 8194;  // 4097 words

std::vector<std::uint8_t> ToBytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string DropTrailingCr(std::string text) {
  if (!text.empty() && text.back() == kCr) text.pop_back();
  return text;
}

// CR becomes a space and the answer is trimmed, so a two-line answer reads as one.
std::string CleanAnswer(const std::string& answer) {
  return Trim(ReplaceAll(answer, "\r", " "));
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
      std::vector<std::uint8_t> bytes = ToBytes(command);
      bytes.push_back(static_cast<std::uint8_t>(kCr));
      ports_.serial.Write(bytes);
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
        if (serial.BytesWaiting() > 0) serial.ReadAll();  // a late answer to an earlier query
        std::vector<std::uint8_t> bytes = ToBytes(Trim(query));
        bytes.push_back(static_cast<std::uint8_t>(kCr));
        serial.Write(bytes);
        result = CleanAnswer(ReadCOM(settleMs));
        break;
      }
      case ConnectionKind::Usb: {
        ports_.usb.HidWriteCommand(Trim(query));
        const std::string answer = ReadCOM(settleMs);
        CheckLinkLost();
        if (stopRequested) return "";
        result = CleanAnswer(answer);
        break;
      }
      case ConnectionKind::Gpib: {
        SendCMD(Trim(query));
        const std::string answer = ReadCOM(settleMs);
        if (!stopRequested) result = RemoveChars(CleanAnswer(answer), std::string(1, '\0'));
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
      receiveBuffer.clear();
      // A stop that arrives during the read ends it; one set before (a query that
      // ignores stops) lets the read run as usual.
      const bool stopAtStart = stopRequested;
      const auto stopArrived = [&] { return stopRequested && !stopAtStart; };
      bool timedOut = false;
      const std::uint32_t t0 = clock.NowMs();
      int passes = 0;
      do {
        WaitMs(clock, settleMs);
        bool sawCr = false;
        for (;;) {
          clock.ProcessEvents();
          // Closed by an event handler during the wait, or the device went away.
          if (!serial.IsOpen()) {
            CheckLinkLost();
            break;
          }
          if (stopArrived()) break;
          for (std::uint8_t byte : serial.ReadAll())
            receiveBuffer.push_back(static_cast<char>(byte));
          sawCr = receiveBuffer.find(kCr) != std::string::npos;
          if (ElapsedMs(t0, clock.NowMs()) > kSerialAnswerLimitMs) timedOut = true;
          if (sawCr || timedOut) break;
          clock.Sleep(1);  // give the processor away between rounds
        }
        receiveBuffer = Trim(receiveBuffer);
        ++passes;
      } while (receiveBuffer.empty() && passes < 2 && !stopArrived());
      return DropTrailingCr(receiveBuffer);
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

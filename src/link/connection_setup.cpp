#include "link/connection_setup.h"

#include <exception>

#include "link/link_error.h"
#include "link/usb_hid.h"
#include "util/numbers.h"
#include "util/text.h"

namespace vantrel {
namespace {

// The busy pointer for the length of one action, however it ends.
class BusyPointer {
 public:
  explicit BusyPointer(Notifier& notifier) : notifier_(notifier) { notifier_.SetBusy(true); }
  ~BusyPointer() { notifier_.SetBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Notifier& notifier_;
};

constexpr int kIdentifyAttempts = 3;

}  // namespace

ConnectionSetup::ConnectionSetup(CommandTransport& transport) : transport_(transport) {}

bool ConnectionSetup::NamesAnalyzer(const std::string& answer) {
  const std::string upper = ToUpper(answer);
  return Contains(upper, "V61") || Contains(upper, "3GHZ");
}

std::string ConnectionSetup::DescribeAnswer(const std::string& answer) {
  if (answer.empty()) return "nothing came back";
  for (const char c : answer) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7E) return "unreadable bytes came back";
  }
  return "\"" + answer + "\" came back, which names no analyzer";
}

bool ConnectionSetup::GpibDriverPresent(GpibLibrary& gpib) {
  try {
    gpib.ibfind("GPIB0");
    return true;
  } catch (...) {
    return false;
  }
}

void ConnectionSetup::RefreshUsbList() {
  usbDevicePaths.clear();
  usbEntries.clear();
  if (!transport_.Ports().usb.HidFindDevices(usbDevicePaths)) {
    usbDevicePaths.clear();
    usbEntries.push_back("None");
    usbText = "None";
    return;
  }
  const int count = static_cast<int>(usbDevicePaths.size());
  for (int i = 0; i < count; ++i) usbEntries.push_back(std::to_string(i));
  if (usbDeviceIndex < 0 || usbDeviceIndex >= count) usbDeviceIndex = 0;
  usbText = usbEntries[static_cast<std::size_t>(usbDeviceIndex)];
}

ConnectOutcome ConnectionSetup::Connect() {
  LinkPorts& ports = transport_.Ports();
  BusyPointer busy(ports.notifier);
  identified = false;
  transport_.stopRequested = false;
  transport_.linkLost = false;
  failureCause.clear();

  try {
    if (transport_.Kind() == ConnectionKind::Usb) {
      RefreshUsbList();
      if (!IsNumeric(usbText)) {
        ports.notifier.ShowMessage("No USB Connection Detected.", MessageIcon::Warning);
        return ConnectOutcome::NoUsbDevice;
      }
      // A device gone since the enumeration leaves no handle; identification then fails.
      transport_.usbDeviceIndex = usbDeviceIndex;
      ports.usb.Open(usbDevicePaths[static_cast<std::size_t>(usbDeviceIndex)]);
    }

    serialPortNumber = RoundToInt16(NumericValue(portText));
    ports.serial.SetReceiveBufferSize(kReceiveBufferBytes);
    InitPort();
    if (ports.serial.IsOpen()) ports.serial.ReadAll();
    WaitMs(ports.clock, 200);

    std::string lastAnswer;
    for (int attempt = 0; attempt < kIdentifyAttempts && !identified; ++attempt) {
      try {
        transport_.SendCMD("*IDN?");
      } catch (const std::exception&) {
        // Already reported by InitPort when the link itself is broken; the missing
        // answer decides.
      }
      WaitMs(ports.clock, 300);
      try {
        lastAnswer = transport_.ReadCOM(20);
        identified = NamesAnalyzer(lastAnswer);
        if (identified) identity = lastAnswer;
      } catch (const std::exception&) {
        identified = false;
      }
    }
    if (!identified && failureCause.empty()) {
      failureCause = "No analyzer on " + transport_.LinkName() + ": " +
                     DescribeAnswer(lastAnswer) + ".";
    }
  } catch (const std::exception& error) {
    // A link that fails outside InitPort's own trap still ends as a failed connect.
    ports.notifier.ShowMessage(error.what(), MessageIcon::Critical);
    identified = false;
    if (failureCause.empty()) failureCause = error.what();
  }

  if (identified) {
    failureCause.clear();
    ports.notifier.SetStatus("");
    ++connectCount;
    return ConnectOutcome::Identified;
  }
  try {
    if (ports.serial.IsOpen()) ports.serial.Close();
  } catch (const std::exception&) {
  }
  // The message box keeps its short text; the status panel and the log say why.
  ports.notifier.SetStatus(failureCause);
  if (log) log(failureCause);
  ports.notifier.ShowMessage("Communication Error!", MessageIcon::Warning);
  return ConnectOutcome::NotIdentified;
}

void ConnectionSetup::InitPort() {
  LinkPorts& ports = transport_.Ports();
  try {
    const ConnectionKind kind = transport_.Kind();
    if (kind == ConnectionKind::ComPort && serialPortNumber >= 1 && !ports.serial.IsOpen()) {
      SerialPort& serial = ports.serial;
      serial.SetPortNumber(serialPortNumber);
      std::string tried;
      for (const char* setting : kSerialSettings) {
        if (serial.IsOpen()) serial.Close();
        serial.SetSettings(setting);
        ports.notifier.SetStatus(std::string("Checking port setting ") + setting);
        try {
          serial.Open();
        } catch (const std::exception& error) {
          failureCause = error.what();  // no port, or busy: no setting can help
          throw;
        }
        WaitMs(ports.clock, 500);
        const std::string answer = transport_.SendQuery("*IDN?", 500);
        identified = NamesAnalyzer(answer);
        if (identified) {
          identity = answer;
          break;
        }
        const std::string baud = std::string(setting).substr(0, std::string(setting).find(','));
        tried += (tried.empty() ? "" : "; ") + baud + " baud: " + DescribeAnswer(answer);
      }
      if (!identified) failureCause = "No analyzer on " + serial.Name() + " (" + tried + ").";
    } else if (kind == ConnectionKind::Gpib) {
      GpibLibrary& gpib = ports.gpib;
      const int address = RoundToInt16(NumericValue(gpibAddressText));
      transport_.gpibAddress = address;
      transport_.gpibHandle = gpib.ibdev(0, address, 0, kGpibTimeout3s, 1, 0);
      gpib.ibclr(transport_.gpibHandle);
      if ((gpib.ibsta() & kGpibErr) == 0) {
        transport_.SendCMD("*cls");
        transport_.SendCMD("*sre 16");
      }
    }
    ports.notifier.SetStatus("");
  } catch (const std::exception& error) {
    ports.notifier.ShowMessage(error.what(), MessageIcon::Critical);
    ports.notifier.SetStatus("");
  }
}

void ConnectionSetup::Disconnect(bool acquisitionRunning) {
  LinkPorts& ports = transport_.Ports();
  if (acquisitionRunning) transport_.stopRequested = true;
  const ConnectionKind kind = transport_.Kind();
  try {
    if (kind == ConnectionKind::Usb) {
      ports.usb.HidClose();
    } else if (ports.serial.IsOpen()) {
      ports.serial.Close();
    }
    if (kind == ConnectionKind::Gpib) ports.gpib.ibloc(transport_.gpibHandle);
  } catch (const std::exception&) {
    // The link is being given up; a library that fails now changes nothing for the user.
  }
}

}  // namespace vantrel

#include "link/usb_hid.h"

#include "link/link_error.h"

namespace vantrel {

UsbHid::UsbHid(HidBackend& backend, Notifier& notifier) : backend_(backend), notifier_(notifier) {}

bool UsbHid::HidFindDevices(std::vector<std::string>& paths) {
  bool found = false;
  for (const HidDeviceInfo& info : backend_.Enumerate()) {
    if (info.vendorId != kAnalyzerVendorId || info.productId != kAnalyzerProductId) continue;
    // The probe uses its own handle so an open connection is left alone.
    std::unique_ptr<HidDeviceHandle> probe = backend_.Open(info.path);
    if (!probe) continue;
    paths.push_back(info.path);
    found = true;
    ReadCapsOf(*probe);
  }
  return found;
}

void UsbHid::HidReadCaps() {
  if (device_) ReadCapsOf(*device_);
}

void UsbHid::ReadCapsOf(HidDeviceHandle& device) {
  HidReportLengths learned = device.ReportLengths();
  bool guessed = false;
  for (std::uint16_t* length : {&learned.input, &learned.output, &learned.feature}) {
    if (*length == 0) {
      *length = kFallbackReportLength;
      guessed = true;
    }
  }
  lengths_ = learned;
  if (guessed) {
    notifier_.SetStatus("USB report lengths could not be read from the device; using " +
                        std::to_string(kFallbackReportLength) + " bytes.");
  }
}

void UsbHid::HidWriteCommand(const std::string& command) {
  const int length = lengths_.output;
  if (static_cast<int>(command.size()) > length - 3) {
    throw LinkError("The USB command \"" + command + "\" is too long for one report (" +
                    std::to_string(length - 3) + " characters at most).");
  }
  std::vector<std::uint8_t> report(static_cast<std::size_t>(length), 0);
  for (std::size_t i = 0; i < command.size(); ++i) {
    report[1 + i] = static_cast<std::uint8_t>(command[i]);
  }
  report[1 + command.size()] = 10;  // LF; the zero after it is already there
  if (!device_) return;
  lastResult_ = device_->WriteOutputReport(report);
}

std::vector<std::uint8_t> UsbHid::HidReadReport() {
  std::vector<std::uint8_t> report(lengths_.feature, 0);
  if (!device_ || report.empty()) return report;
  lastResult_ = device_->GetFeatureReport(report);
  // A backend that shrank or grew the buffer still hands back the agreed length.
  report.resize(lengths_.feature, 0);
  return report;
}

void UsbHid::HidClose() {
  device_.reset();
}

bool UsbHid::Open(const std::string& path) {
  device_.reset();
  device_ = backend_.Open(path);
  path_ = path;
  lastResult_ = 0;
  return device_ != nullptr;
}

bool UsbHid::DeviceGone() {
  // A failed transfer alone can be a hiccup; the device is gone when the bus no longer
  // lists it.
  if (!device_ || lastResult_ >= 0) return false;
  for (const HidDeviceInfo& info : backend_.Enumerate()) {
    if (info.path == path_) return false;
  }
  return true;
}

}  // namespace vantrel

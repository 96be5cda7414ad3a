#pragma once
// The analyzer over USB: a HID device that takes commands in output reports and
// answers in feature reports, one report per call.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/hid_backend.h"
#include "util/notifier.h"

namespace vantrel {

inline constexpr std::uint16_t kAnalyzerVendorId = 14913;  // 0x3A41
inline constexpr std::uint16_t kAnalyzerProductId = 2855;  // 0x0B27
// Report length used when the device does not tell its own (64 data bytes + ID).
inline constexpr std::uint16_t kFallbackReportLength = 65;

class UsbHid {
 public:
  UsbHid(HidBackend& backend, Notifier& notifier);

  // Appends the path of every analyzer present to `paths`, in enumeration order, and
  // learns its report lengths (so the lengths are those of the last one found).
  // Paths that cannot be opened are skipped. True when at least one was found.
  bool HidFindDevices(std::vector<std::string>& paths);
  // Report lengths of the open device; a length it cannot tell becomes 65 bytes,
  // and status panel 1 says so.
  void HidReadCaps();
  // Output report: ID 0, the command's bytes, LF, 0, zero fill. Throws LinkError and
  // writes nothing when the command does not fit. Without an open device nothing
  // is written; a failed write is not reported (the answer's checks decide).
  void HidWriteCommand(const std::string& command);
  // One feature report of FeatureReportLength bytes, index 0 = report ID 0. Bytes the
  // device did not deliver (failed or short read, no device) stay zero.
  std::vector<std::uint8_t> HidReadReport();
  void HidClose();

  // Opens `path` as the device handle, replacing (closing) any open one. False when
  // the path cannot be opened (the device is gone); the handle is then closed.
  bool Open(const std::string& path);
  bool IsOpen() const { return device_ != nullptr; }
  // True when the last transfer failed and the open device is no longer on the bus.
  bool DeviceGone();

  const HidReportLengths& Lengths() const { return lengths_; }
  std::uint16_t InputReportLength() const { return lengths_.input; }
  std::uint16_t OutputReportLength() const { return lengths_.output; }
  std::uint16_t FeatureReportLength() const { return lengths_.feature; }
  // Result of the last write or read (bytes or -1), for diagnosis only.
  int LastResult() const { return lastResult_; }

 private:
  void ReadCapsOf(HidDeviceHandle& device);

  HidBackend& backend_;
  Notifier& notifier_;
  std::unique_ptr<HidDeviceHandle> device_;
  HidReportLengths lengths_{kFallbackReportLength, kFallbackReportLength, kFallbackReportLength};
  int lastResult_ = 0;
  std::string path_;  // of the open device
};

}  // namespace vantrel

#pragma once
// USB HID access as the program needs it: find devices by vendor and product ID,
// open one by path, learn its report lengths, write output reports, read feature reports.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

struct HidDeviceInfo {
  std::string path;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};

// Report lengths in bytes, including the report-ID byte; 0 when unknown.
struct HidReportLengths {
  std::uint16_t input = 0;
  std::uint16_t output = 0;
  std::uint16_t feature = 0;
};

class HidDeviceHandle {
 public:
  virtual ~HidDeviceHandle() = default;
  // Learned from the device; nullopt-like zeros when they cannot be learned.
  virtual HidReportLengths ReportLengths() = 0;
  // Writes one output report (byte 0 = report ID); returns bytes written or -1.
  virtual int WriteOutputReport(const std::vector<std::uint8_t>& report) = 0;
  // Reads one feature report into `report` (byte 0 = report ID, set by the caller);
  // returns bytes read or -1.
  virtual int GetFeatureReport(std::vector<std::uint8_t>& report) = 0;
};

class HidBackend {
 public:
  virtual ~HidBackend() = default;
  // Every HID device present, in enumeration order.
  virtual std::vector<HidDeviceInfo> Enumerate() = 0;
  // nullptr when the path cannot be opened.
  virtual std::unique_ptr<HidDeviceHandle> Open(const std::string& path) = 0;
};

}  // namespace vantrel

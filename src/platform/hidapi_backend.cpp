#include "platform/hidapi_backend.h"

#include <hidapi.h>

#include <fstream>
#include <iterator>

#include "link/hid_report_descriptor.h"

#ifdef _WIN32
#include <hidsdi.h>
#include <windows.h>
#endif

namespace vantrel {
namespace {

class HidapiHandle : public HidDeviceHandle {
 public:
  HidapiHandle(hid_device* device, std::string path) : device_(device), path_(std::move(path)) {}
  ~HidapiHandle() override { hid_close(device_); }

  HidReportLengths ReportLengths() override {
#ifdef _WIN32
    // Windows states the lengths itself (HidP_GetCaps on the preparsed data); reaching
    // the handle needs a second open of the same path.
    HidReportLengths lengths;
    HANDLE h = CreateFileA(path_.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return lengths;
    PHIDP_PREPARSED_DATA data = nullptr;
    if (HidD_GetPreparsedData(h, &data)) {
      HIDP_CAPS caps;
      if (HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS) {
        lengths.input = caps.InputReportByteLength;
        lengths.output = caps.OutputReportByteLength;
        lengths.feature = caps.FeatureReportByteLength;
      }
      HidD_FreePreparsedData(data);
    }
    CloseHandle(h);
    return lengths;
#else
    const auto descriptor = ReadHidrawReportDescriptor(path_);
    if (!descriptor) return {};
    return ParseHidReportLengths(*descriptor).value_or(HidReportLengths{});
#endif
  }

  int WriteOutputReport(const std::vector<std::uint8_t>& report) override {
    if (report.empty()) return -1;
    return hid_write(device_, report.data(), report.size());
  }

  int GetFeatureReport(std::vector<std::uint8_t>& report) override {
    if (report.empty()) return -1;
    return hid_get_feature_report(device_, report.data(), report.size());
  }

 private:
  hid_device* device_;
  std::string path_;
};

}  // namespace

HidapiBackend::HidapiBackend() {
  hid_init();
}

HidapiBackend::~HidapiBackend() {
  hid_exit();
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate() {
  std::vector<HidDeviceInfo> devices;
  hid_device_info* list = hid_enumerate(0, 0);
  for (hid_device_info* d = list; d != nullptr; d = d->next) {
    devices.push_back(
        HidDeviceInfo{d->path != nullptr ? d->path : "", d->vendor_id, d->product_id});
  }
  hid_free_enumeration(list);
  return devices;
}

std::unique_ptr<HidDeviceHandle> HidapiBackend::Open(const std::string& path) {
  hid_device* device = hid_open_path(path.c_str());
  if (device == nullptr) return nullptr;
  return std::make_unique<HidapiHandle>(device, path);
}

std::optional<std::vector<std::uint8_t>> ReadHidrawReportDescriptor(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return std::nullopt;
#else
  const auto slash = path.find_last_of('/');
  const std::string node = slash == std::string::npos ? path : path.substr(slash + 1);
  if (node.rfind("hidraw", 0) != 0) return std::nullopt;
  std::ifstream file("/sys/class/hidraw/" + node + "/device/report_descriptor", std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
  if (bytes.empty()) return std::nullopt;
  return bytes;
#endif
}

}  // namespace vantrel

#pragma once
// USB HID over hidapi (hidraw on Linux). hidapi does not tell report lengths, so they
// come from the device's report descriptor.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/hid_backend.h"

namespace vantrel {

class HidapiBackend : public HidBackend {
 public:
  HidapiBackend();
  ~HidapiBackend() override;
  HidapiBackend(const HidapiBackend&) = delete;
  HidapiBackend& operator=(const HidapiBackend&) = delete;

  std::vector<HidDeviceInfo> Enumerate() override;
  std::unique_ptr<HidDeviceHandle> Open(const std::string& path) override;
};

// The raw report descriptor of a hidraw device path such as "/dev/hidraw3", read from
// sysfs; nullopt when it cannot be read (other platforms, a vanished device).
std::optional<std::vector<std::uint8_t>> ReadHidrawReportDescriptor(const std::string& path);

}  // namespace vantrel

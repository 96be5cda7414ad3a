// A USB device's HID report descriptor, as hidraw hands it over.
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "link/hid_report_descriptor.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto lengths = ParseHidReportLengths(std::span<const std::uint8_t>(data, size));
  if (lengths) {
    // A whole local item (Usage 1) after a readable descriptor changes no length.
    std::vector<std::uint8_t> longer(data, data + size);
    longer.push_back(0x09);
    longer.push_back(0x01);
    const auto again = ParseHidReportLengths(longer);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->input == lengths->input && again->output == lengths->output &&
               again->feature == lengths->feature);
  }
  return 0;
}

#pragma once
// Report lengths from a HID report descriptor, for platforms whose HID access does
// not state them. Each length counts the report-ID byte, like the lengths the
// device's HID capabilities give: the longest report of that kind, in whole bytes,
// plus one. A kind the device does not have is 0.
#include <cstdint>
#include <optional>
#include <span>

#include "link/hid_backend.h"

namespace vantrel {

// nullopt when the descriptor is malformed (an item cut short, a pop without a push,
// a report too long to describe).
std::optional<HidReportLengths> ParseHidReportLengths(std::span<const std::uint8_t> descriptor);

}  // namespace vantrel

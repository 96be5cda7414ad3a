#include "link/hid_report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

using D = std::vector<std::uint8_t>;

std::optional<HidReportLengths> Parse(const D& d) {
  return ParseHidReportLengths(d);
}

TEST(HidReportDescriptor, VendorDefined64ByteReportsWithoutIds) {
  const D vendor = {0x06, 0x00, 0xFF,                          // usage page (vendor, 2-byte data)
                    0x09, 0x01, 0xA1, 0x01,                    // usage, collection (application)
                    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,  // 0..255, 8 bits
                    0x95, 0x40, 0x09, 0x01, 0x81, 0x02,        // 64 x input
                    0x95, 0x40, 0x09, 0x01, 0x91, 0x02,        // 64 x output
                    0x95, 0x40, 0x09, 0x01, 0xB1, 0x02,        // 64 x feature
                    0xC0};
  const auto lengths = Parse(vendor);
  ASSERT_TRUE(lengths);
  EXPECT_EQ(lengths->input, 65);
  EXPECT_EQ(lengths->output, 65);
  EXPECT_EQ(lengths->feature, 65);
}

TEST(HidReportDescriptor, KeyboardWithReportIdsTakesTheLongestPerKind) {
  const D keyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01,  // report 1
                      0x75, 0x01, 0x95, 0x08, 0x81, 0x02,              // 8 modifier bits
                      0x75, 0x08, 0x95, 0x01, 0x81, 0x01,              // reserved byte
                      0x75, 0x01, 0x95, 0x05, 0x91, 0x02,              // 5 LEDs
                      0x75, 0x03, 0x95, 0x01, 0x91, 0x01,              // LED padding
                      0x75, 0x08, 0x95, 0x06, 0x81, 0x00,              // 6 key codes
                      0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85,
                      0x02,  // report 2: consumer keys
                      0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};
  const auto lengths = Parse(keyboard);
  ASSERT_TRUE(lengths);
  EXPECT_EQ(lengths->input, 9);   // 8 bytes of report 1 + ID
  EXPECT_EQ(lengths->output, 2);  // 1 byte of LEDs + ID
  EXPECT_EQ(lengths->feature, 0);
}

TEST(HidReportDescriptor, LongItemsPushPopAndOddBitCounts) {
  const D d = {0xFE, 0x02, 0x10, 0xAA, 0xBB,              // long item, skipped whole
               0x75, 0x08, 0x95, 0x20,                    // 32 bytes
               0xA4,                                      // push
               0x75, 0x01, 0x95, 0x03, 0xB1, 0x02,        // 3 feature bits -> 1 byte
               0xB4,                                      // pop: 8 bits x 32 again
               0x81, 0x02, 0x27, 0x01, 0x00, 0x00, 0x00,  // 4-byte logical max
               0x91, 0x02};
  const auto lengths = Parse(d);
  ASSERT_TRUE(lengths);
  EXPECT_EQ(lengths->input, 33);
  EXPECT_EQ(lengths->output, 33);
  EXPECT_EQ(lengths->feature, 2);
}

TEST(HidReportDescriptor, MalformedDescriptorsAreRejected) {
  EXPECT_FALSE(Parse({0x75, 0x08, 0x95}));  // item cut short
  EXPECT_FALSE(Parse({0xB4}));              // pop without push
  EXPECT_FALSE(Parse({0xFE, 0x05, 0x00, 0x01}));
  EXPECT_FALSE(Parse({0x77, 0xFF, 0xFF, 0x00, 0x00, 0x97, 0xFF, 0xFF, 0x00, 0x00, 0x81, 0x02}));
  const auto empty = Parse({});
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->input, 0);
}

}  // namespace
}  // namespace vantrel

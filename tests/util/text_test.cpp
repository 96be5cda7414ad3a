#include "util/text.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Text, TrimRemovesOnlySpaces) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\r5 "), "\r5");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Text, CaseFoldingLeavesNonAsciiBytesAlone) {
  EXPECT_EQ(ToUpper("3ghz v61"), "3GHZ V61");
  EXPECT_EQ(ToLower("BtnOpenCOM"), "btnopencom");
  EXPECT_EQ(ToUpper("\xE5\xB0\x81"), "\xE5\xB0\x81");
}

TEST(Text, ReplaceRemoveAndPosition) {
  EXPECT_EQ(ReplaceAll("A\rB\r", "\r", " "), "A B ");
  EXPECT_EQ(RemoveChars("1\r2\n3", "\r\n"), "123");
  EXPECT_EQ(Position("1000KHZ", "HZ"), 6);
  EXPECT_EQ(Position("1000", "HZ"), 0);
  EXPECT_TRUE(Contains("MANUAL", "MANU"));
}

}  // namespace
}  // namespace vantrel

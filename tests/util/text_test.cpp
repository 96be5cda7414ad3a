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

TEST(Text, Windows1252BecomesUtf8) {
  struct Case {
    const char* bytes;
    const char* utf8;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"\x80", "\xE2\x82\xAC"},                   // euro sign
      {"\x93x\x94", "\xE2\x80\x9Cx\xE2\x80\x9D"},  // typographic quotes
      {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},           // S and Y with caron and diaeresis
      {"\x81\x9D", "\xC2\x81\xC2\x9D"},           // undefined there: as Latin-1
      {"\xA0\xFC\xFF", "\xC2\xA0\xC3\xBC\xC3\xBF"},
  };
  for (const Case& c : cases) EXPECT_EQ(Windows1252ToUtf8(c.bytes), c.utf8) << c.bytes;
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

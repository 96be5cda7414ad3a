#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include "cli/cli_output.h"

namespace vantrel::cli {
namespace {

std::vector<std::string> Words(std::initializer_list<const char*> words) {
  return {words.begin(), words.end()};
}

TEST(CliOptions, LinksAndCommandOptionsAreRead) {
  const CliOptions o = ParseCliOptions(
      Words({"--gpib", "7", "--json", "capture", "--center", "432", "--span", "20", "--out", "a.txt"}));
  EXPECT_EQ(o.link, LinkChoice::Gpib);
  EXPECT_EQ(o.gpibAddress, 7);
  EXPECT_TRUE(o.json);
  EXPECT_EQ(o.command, "capture");
  EXPECT_EQ(o.Number("center"), 432);
  EXPECT_EQ(o.Value("out"), "a.txt");

  const CliOptions usb = ParseCliOptions(Words({"--usb", "identify"}));
  EXPECT_EQ(usb.link, LinkChoice::Usb);
  EXPECT_EQ(usb.usbIndex, 0);
  EXPECT_EQ(ParseCliOptions(Words({"--usb", "2", "identify"})).usbIndex, 2);
  EXPECT_EQ(ParseCliOptions(Words({"sp3-to-text", "--keep-partial", "a.sp3", "-"})).positional,
            Words({"a.sp3", "-"}));
}

TEST(CliOptions, BadWordsAreUsageErrorsThatNameThem) {
  const struct {
    std::vector<std::string> args;
    const char* names;
  } cases[] = {
      {Words({}), "no command"},
      {Words({"bogus"}), "\"bogus\""},
      {Words({"--serial", "x", "identify"}), "--serial"},
      {Words({"--serial", "1.5", "identify"}), "whole number"},
      {Words({"--gpib"}), "--gpib needs a value"},
      {Words({"capture", "--span", "20MHz"}), "--span needs a number"},
      {Words({"capture", "--center", "nan"}), "--center"},
      {Words({"identify", "--out", "x"}), "--out for identify"},
      {Words({"sp3-to-text", "a.sp3"}), "takes 2"},
  };
  for (const auto& c : cases) {
    try {
      ParseCliOptions(c.args);
      ADD_FAILURE() << "accepted: " << c.names;
    } catch (const UsageError& e) {
      EXPECT_NE(e.message.find(c.names), std::string::npos) << e.message;
    }
  }
}

TEST(CliOutput, FieldsAsLinesOrOneJsonObject) {
  const std::vector<Field> fields{Text("unit", "dB\"m\\"), Number("level", -35.5)};
  EXPECT_EQ(FormatFields(fields, false), "unit=dB\"m\\\nlevel=-35.5\n");
  EXPECT_EQ(FormatFields(fields, true), "{\"unit\": \"dB\\\"m\\\\\", \"level\": -35.5}\n");
  EXPECT_EQ(JsonString(std::string("a\nb")), "\"a\\u000ab\"");
}

}  // namespace
}  // namespace vantrel::cli

#include "util/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

TEST(FormatDateTime, TimeStampAndFileNamePatterns) {
  const DateTime dt{2007, 4, 26, 12, 30, 45};
  EXPECT_EQ(FormatDateTime(dt, "yyyy/mm/dd hh:mm:ss"), "2007/04/26 12:30:45");
  EXPECT_EQ(FormatDateTime(dt, "yyyymmddhhnnss"), "20070426123045");
  EXPECT_EQ(FormatDateTime(DateTime{2026, 1, 2, 3, 4, 5}, "yyyy/mm/dd hh:mm:ss"),
            "2026/01/02 03:04:05");
}

TEST(OleDate, KnownValuesBothWays) {
  EXPECT_DOUBLE_EQ(ToOleDate(DateTime{1899, 12, 30, 0, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(ToOleDate(DateTime{1900, 1, 1, 0, 0, 0}), 2.0);
  EXPECT_DOUBLE_EQ(ToOleDate(DateTime{2000, 1, 1, 12, 0, 0}), 36526.5);
  EXPECT_DOUBLE_EQ(ToOleDate(DateTime{1899, 12, 29, 6, 0, 0}), -1.25);
  EXPECT_EQ(FromOleDate(36526.5), (DateTime{2000, 1, 1, 12, 0, 0}));
  EXPECT_EQ(FromOleDate(-1.25), (DateTime{1899, 12, 29, 6, 0, 0}));
}

TEST(OleDate, RoundTripsToTheSecondAndRejectsNonsense) {
  const DateTime dt{2026, 12, 8, 23, 59, 59};
  EXPECT_EQ(FromOleDate(ToOleDate(dt)), dt);
  EXPECT_EQ(FromOleDate(ToOleDate(DateTime{2024, 2, 29, 0, 0, 1})),
            (DateTime{2024, 2, 29, 0, 0, 1}));
  EXPECT_FALSE(FromOleDate(1e12).has_value());
  EXPECT_FALSE(FromOleDate(std::nan("")).has_value());
}

// A negative date whose time of day rounds up to a whole day moves forward to the next
// day, like a positive one, never back.
TEST(OleDate, ATimeThatRoundsUpToMidnightMovesToTheNextDay) {
  EXPECT_EQ(FromOleDate(-1.9999991662642853), (DateTime{1899, 12, 30, 0, 0, 0}));
  EXPECT_EQ(FromOleDate(-2.99999999), (DateTime{1899, 12, 29, 0, 0, 0}));
  EXPECT_EQ(FromOleDate(-131071.99999999699), (DateTime{1541, 2, 20, 0, 0, 0}));  // fuzz find
  EXPECT_EQ(FromOleDate(-1.999988), (DateTime{1899, 12, 29, 23, 59, 59}));
  EXPECT_EQ(FromOleDate(1.99999999), (DateTime{1900, 1, 1, 0, 0, 0}));
  EXPECT_EQ(FromOleDate(-0.99999999), (DateTime{1899, 12, 31, 0, 0, 0}));
  EXPECT_EQ(FromOleDate(-0.25), (DateTime{1899, 12, 30, 6, 0, 0}));
}

TEST(ParseDateTime, AcceptsOnlyRealCalendarValues) {
  EXPECT_EQ(ParseDate("2007/04/26"), (DateTime{2007, 4, 26, 0, 0, 0}));
  EXPECT_FALSE(ParseDate("2007/02/30").has_value());
  EXPECT_FALSE(ParseDate("2007/4").has_value());
  EXPECT_FALSE(ParseDate("2007-04-26").has_value());
  EXPECT_FALSE(ParseDate("").has_value());
  EXPECT_TRUE(ParseTime("12:30:45").has_value());
  EXPECT_FALSE(ParseTime("24:00:00").has_value());
  EXPECT_FALSE(ParseTime("12:30").has_value());
}

}  // namespace
}  // namespace vantrel

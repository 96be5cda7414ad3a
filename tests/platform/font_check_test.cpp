#include "platform/font_check.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FontCheck, ArialIsFoundInAnyLetterCaseOnly) {
  EXPECT_TRUE(HasArialFamily({"DejaVu Sans", "ARIAL"}));
  EXPECT_TRUE(HasArialFamily({"Arial"}));
  EXPECT_TRUE(HasArialFamily({"arial", "Courier"}));
  EXPECT_FALSE(HasArialFamily({}));
  EXPECT_FALSE(HasArialFamily({"Arial Black", "Arial Narrow", "Liberation Sans", " arial"}));
}

}  // namespace
}  // namespace vantrel

#include "platform/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(BoundedText, ReportsWhatDidNotFitAndNeverWritesPast) {
  char buffer[8] = {};
  EXPECT_TRUE(platform::CopyText(buffer, "abc"));
  EXPECT_TRUE(platform::AppendText(buffer, "defg"));
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_FALSE(platform::AppendText(buffer, "h"));
  EXPECT_STREQ(buffer, "abcdefg");

  char guarded[12];
  std::memset(guarded, '#', sizeof guarded);
  EXPECT_FALSE(platform::CopyText(guarded, 8, "0123456789"));
  EXPECT_STREQ(guarded, "0123456");
  EXPECT_EQ(guarded[8], '#');
  EXPECT_FALSE(platform::CopyText(guarded, 0, "x"));
}

}  // namespace

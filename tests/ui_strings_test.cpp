#include <gtest/gtest.h>

#include <string>

#include "package/ui_strings.h"
#include "platform/resources.h"
#include "streams/kv_memory_streams.h"

namespace {

UiStrings FromText(const std::string& text) {
  TKVFlatRamStream stream(text.data(), static_cast<std::uint32_t>(text.size()));
  return UiStrings(stream);
}

TEST(UiStrings, ProgramTableLookups) {
  const UiStrings table(platform::ProgramInstance(), kUiStringsResourceId);
  EXPECT_STREQ(table.GetString(0), "English");
  EXPECT_STREQ(table.GetListItem(1, 0), "Add");
  EXPECT_STREQ(table.GetListItem(1, 4), "Remove");
  EXPECT_STREQ(table.GetListItem(1, 5), "");
  EXPECT_STREQ(table.GetListItem(2, 0), "Operation: ");
  EXPECT_STREQ(table.GetListItem(2, 2), "Description: ");
  EXPECT_STREQ(table.GetString(3), "Upgrade Processing");
  EXPECT_STREQ(table.GetString(5), "Initalizing...");
  EXPECT_STREQ(table.GetString(8),
               "The update has not been performed. Are you sure you want to cancel?");
  EXPECT_STREQ(table.GetString(20),
               "A critical error was detected, forcing an abort of the upgrade. Make sure you "
               "have the correct version of the files on your system and then try again.");
}

TEST(UiStrings, MissingResourceFallsBackToNotAvailable) {
  const UiStrings table(nullptr, kUiStringsResourceId);
  EXPECT_STREQ(table.GetString(0), "N/A");
  EXPECT_STREQ(table.GetString(7), "-|-|-|");
  EXPECT_STREQ(table.GetListItem(1, 0), "-");
  EXPECT_STREQ(table.GetListItem(1, 2), "-");
  EXPECT_STREQ(table.GetListItem(1, 3), "");
}

TEST(UiStrings, LineEndingsAndOddLines) {
  const UiStrings crlf = FromText("zero\r\na|b|\r\nc|d\r\nx|y\r\n");
  const UiStrings lf = FromText("zero\na|b|\nc|d\nx|y\n");
  for (int i = 0; i < kUiStringLines; ++i) EXPECT_STREQ(crlf.GetString(i), lf.GetString(i));
  EXPECT_STREQ(lf.GetListItem(1, 1), "b");
  EXPECT_STREQ(lf.GetString(3), "x|y");  // '|' is a list separator in lines 1 and 2 only
  EXPECT_STREQ(lf.GetString(4), "-|-|-|");

  const UiStrings single = FromText("only");
  EXPECT_STREQ(single.GetString(0), "only");
  EXPECT_STREQ(single.GetListItem(1, 2), "-");  // lists are split at every '|'
  EXPECT_STREQ(single.GetListItem(2, 1), "-");
  for (int i = 3; i < kUiStringLines; ++i) EXPECT_STREQ(single.GetString(i), "-|-|-|");

  const UiStrings gap = FromText("zero\n\ntwo\nthree\n");
  EXPECT_STREQ(gap.GetListItem(1, 0), "-");
  EXPECT_STREQ(gap.GetString(3), "three");

  const UiStrings nul = FromText(std::string("ab\0cd\nef\n", 9));
  EXPECT_STREQ(nul.GetString(0), "ab");
  EXPECT_STREQ(nul.GetListItem(1, 0), "cd");
  EXPECT_STREQ(nul.GetString(2), "ef");

  const UiStrings wide = FromText(std::string(300, 'w') + "\nnext\n");
  EXPECT_EQ(std::string(wide.GetString(0)), std::string(255, 'w'));
  EXPECT_STREQ(wide.GetListItem(1, 0), "next");
}

}  // namespace

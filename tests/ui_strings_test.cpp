#include "package/ui_strings.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/resources.h"
#include "streams/kv_memory_streams.h"

using namespace streams;
using namespace package;

namespace {

UiStrings FromText(const std::string& text) {
  TKVFlatRamStream stream(text.data(), static_cast<std::uint32_t>(text.size()));
  return UiStrings(stream);
}

TEST(UiStrings, ProgramTableLookups) {
  const UiStrings table(platform::ProgramInstance(), kUiStringsResourceId);
  EXPECT_STREQ(table.GetString(UiLine::kLanguage), "English");
  EXPECT_STREQ(table.GetListItem(UiLine::kOperationNames, 0), "Add");
  EXPECT_STREQ(table.GetListItem(UiLine::kOperationNames, 4), "Remove");
  EXPECT_STREQ(table.GetListItem(UiLine::kOperationNames, 5), "");
  EXPECT_STREQ(table.GetListItem(UiLine::kLabels, 0), "Operation: ");
  EXPECT_STREQ(table.GetListItem(UiLine::kLabels, 2), "Description: ");
  EXPECT_STREQ(table.GetString(UiLine::kCaption), "Upgrade Processing");
  EXPECT_STREQ(table.GetString(UiLine::kInitializing), "Initalizing...");
  EXPECT_STREQ(table.GetString(UiLine::kCancelQuestion),
               "The update has not been performed. Are you sure you want to cancel?");
  EXPECT_STREQ(table.GetString(UiLine::kCriticalExplanation),
               "A critical error was detected, forcing an abort of the upgrade. Make sure you "
               "have the correct version of the files on your system and then try again.");
}

TEST(UiStrings, MissingResourceFallsBackToNotAvailable) {
  const UiStrings table(nullptr, kUiStringsResourceId);
  EXPECT_STREQ(table.GetString(UiLine::kLanguage), "N/A");
  EXPECT_STREQ(table.GetString(UiLine::kContinue), "-|-|-|");
  EXPECT_STREQ(table.GetListItem(UiLine::kOperationNames, 0), "-");
  EXPECT_STREQ(table.GetListItem(UiLine::kOperationNames, 2), "-");
  EXPECT_STREQ(table.GetListItem(UiLine::kOperationNames, 3), "");
}

TEST(UiStrings, LineEndingsAndOddLines) {
  const UiStrings crlf = FromText("zero\r\na|b|\r\nc|d\r\nx|y\r\n");
  const UiStrings lf = FromText("zero\na|b|\nc|d\nx|y\n");
  for (int i = 0; i < kUiStringLines; ++i)
    EXPECT_STREQ(crlf.GetString(static_cast<UiLine>(i)), lf.GetString(static_cast<UiLine>(i)));
  EXPECT_STREQ(lf.GetListItem(UiLine::kOperationNames, 1), "b");
  EXPECT_STREQ(lf.GetString(UiLine::kCaption),
               "x|y");  // '|' is a list separator in lines 1 and 2 only
  EXPECT_STREQ(lf.GetString(UiLine::kCancel), "-|-|-|");

  const UiStrings single = FromText("only");
  EXPECT_STREQ(single.GetString(UiLine::kLanguage), "only");
  EXPECT_STREQ(single.GetListItem(UiLine::kOperationNames, 2),
               "-");  // lists are split at every '|'
  EXPECT_STREQ(single.GetListItem(UiLine::kLabels, 1), "-");
  for (int i = 3; i < kUiStringLines; ++i)
    EXPECT_STREQ(single.GetString(static_cast<UiLine>(i)), "-|-|-|");

  const UiStrings gap = FromText("zero\n\ntwo\nthree\n");
  EXPECT_STREQ(gap.GetListItem(UiLine::kOperationNames, 0), "-");
  EXPECT_STREQ(gap.GetString(UiLine::kCaption), "three");

  const UiStrings nul = FromText(std::string("ab\0cd\nef\n", 9));
  EXPECT_STREQ(nul.GetString(UiLine::kLanguage), "ab");
  EXPECT_STREQ(nul.GetListItem(UiLine::kOperationNames, 0), "cd");
  EXPECT_STREQ(nul.GetString(UiLine::kLabels), "ef");

  const UiStrings wide = FromText(std::string(300, 'w') + "\nnext\n");
  EXPECT_EQ(std::string(wide.GetString(UiLine::kLanguage)), std::string(255, 'w'));
  EXPECT_STREQ(wide.GetListItem(UiLine::kOperationNames, 0), "next");
}

}  // namespace

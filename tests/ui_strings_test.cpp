// The message table: carried byte for byte as the program's resource, its lines and lists looked
// up, and whatever text it is given read the same way.
#include "package/ui_strings.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/resources.h"
#include "resources/resource_ids.h"
#include "streams/kv_memory_streams.h"

using namespace streams;
using namespace package;

namespace {

// resources/ui_strings.txt as the build found it, one byte per element.
const unsigned char kUiStringsFile[] = {
#include "expected_ui_strings.inc"
};

TEST(PlatformResources, MessageTableIsTheTextFileByteForByteAndNothingElseIsFound) {
  const unsigned char* data = nullptr;
  std::uint32_t size = 0;
  const platform::ModuleInstance program = platform::ProgramInstance();
  ASSERT_TRUE(platform::FindDataResource(program, IDR_UI_STRINGS, &data, &size));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size),
            std::string(reinterpret_cast<const char*>(kUiStringsFile), sizeof kUiStringsFile));
  data = nullptr;
  EXPECT_FALSE(platform::FindDataResource(program, 4711, &data, &size));
  // The program carries its table by number only, so the name that stands in for a missing
  // numbered table is absent too; a null instance is no module.
  EXPECT_FALSE(platform::FindDataResource(program, "UPGAPPLYUI", &data, &size));
  EXPECT_FALSE(platform::FindDataResource(nullptr, IDR_UI_STRINGS, &data, &size));
  EXPECT_EQ(data, nullptr);
}

// Lists are lines 1 and 2, split at every '|'; a missing line reads "-|-|-|" and a missing list
// item "-", a missing resource "N/A".
TEST(UiStrings, LookupsInTheProgramsTableAndInOddTexts) {
  const UiStrings program(platform::ProgramInstance(), kUiStringsResourceId);
  const UiStrings missing(nullptr, kUiStringsResourceId);
  const auto fromText = [](const std::string& text) {
    TKVFlatRamStream stream(text.data(), static_cast<std::uint32_t>(text.size()));
    return UiStrings(stream);
  };
  const UiStrings crlf = fromText("zero\r\na|b|\r\nc|d\r\nx|y\r\n");
  const UiStrings lf = fromText("zero\na|b|\nc|d\nx|y\n");
  const UiStrings single = fromText("only");
  const UiStrings gap = fromText("zero\n\ntwo\nthree\n");
  const UiStrings nul = fromText(std::string("ab\0cd\nef\n", 9));
  const UiStrings wide = fromText(std::string(300, 'w') + "\nnext\n");
  const struct {
    const UiStrings& table;
    UiLine line;
    int item;  // -1: the whole line
    std::string text;
  } cases[] = {
      // clang-format off
      {program, UiLine::kLanguage, -1, "English"},
      {program, UiLine::kOperationNames, 4, "Remove"},
      {program, UiLine::kOperationNames, 5, ""},
      {program, UiLine::kCaption, -1, "Upgrade Processing"},
      {program, UiLine::kCancelQuestion, -1, "The update has not been performed. Are you sure you want to cancel?"},
      {missing, UiLine::kLanguage, -1, "N/A"},
      {missing, UiLine::kContinue, -1, "-|-|-|"},
      {missing, UiLine::kOperationNames, 3, ""},
      {lf, UiLine::kOperationNames, 1, "b"},
      {lf, UiLine::kCaption, -1, "x|y"},
      {lf, UiLine::kCancel, -1, "-|-|-|"},
      {single, UiLine::kLanguage, -1, "only"},
      {single, UiLine::kOperationNames, 2, "-"},
      {single, UiLine::kLabels, 1, "-"},
      {single, UiLine::kCaption, -1, "-|-|-|"},
      {gap, UiLine::kOperationNames, 0, "-"},
      {gap, UiLine::kCaption, -1, "three"},
      {nul, UiLine::kLanguage, -1, "ab"},
      {nul, UiLine::kOperationNames, 0, "cd"},
      {nul, UiLine::kLabels, -1, "ef"},
      {wide, UiLine::kLanguage, -1, std::string(255, 'w')},
      {wide, UiLine::kOperationNames, 0, "next"},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.item < 0 ? c.table.GetString(c.line) : c.table.GetListItem(c.line, c.item), c.text)
        << &c - cases;
  }
  for (int i = 0; i < kUiStringLines; ++i) {
    EXPECT_STREQ(crlf.GetString(static_cast<UiLine>(i)), lf.GetString(static_cast<UiLine>(i)));
  }
}

}  // namespace

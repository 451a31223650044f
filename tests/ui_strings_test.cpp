// The message table, carried byte for byte as the program's resource.
#include "package/ui_strings.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/resources.h"
#include "resources/resource_ids.h"

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
  // The program carries its table by number only, so the name that stands in for a missing
  // numbered table is absent.
  EXPECT_FALSE(platform::FindDataResource(program, "UPGAPPLYUI", &data, &size));
}

}  // namespace

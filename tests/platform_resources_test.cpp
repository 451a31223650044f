#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/resources.h"
#include "resources/resource_ids.h"

namespace {

// resources/ui_strings.txt as the build found it, one byte per element.
const unsigned char kUiStringsFile[] = {
#include "expected_ui_strings.inc"
};

TEST(PlatformResources, MessageTableIsTheTextFileByteForByte) {
  const unsigned char* data = nullptr;
  std::uint32_t size = 0;
  ASSERT_TRUE(
      platform::FindDataResource(platform::ProgramInstance(), IDR_UI_STRINGS, &data, &size));
  ASSERT_EQ(size, sizeof kUiStringsFile);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size),
            std::string(reinterpret_cast<const char*>(kUiStringsFile), size));
}

TEST(PlatformResources, MissingResourcesAreNotFound) {
  const unsigned char* data = nullptr;
  std::uint32_t size = 0;
  EXPECT_FALSE(platform::FindDataResource(platform::ProgramInstance(), 4711, &data, &size));
  // The program carries its table by number only, so the name that stands
  // in for a missing numbered table is absent too.
  EXPECT_FALSE(platform::FindDataResource(platform::ProgramInstance(), "UPGAPPLYUI", &data, &size));
  EXPECT_EQ(data, nullptr);
  EXPECT_FALSE(platform::FindDataResource(nullptr, IDR_UI_STRINGS, &data, &size))
      << "a null instance is no module";
}

}  // namespace

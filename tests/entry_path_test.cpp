#include <gtest/gtest.h>

#include "package/entry_path.h"

namespace {

TEST(EntryName, OnlyPlainRelativePathsPass) {
  struct Case {
    const char* name;
    bool safe;
  };
  const Case cases[] = {
      {"a.txt", true},           {"sub\\deeper\\new.dat", true}, {"sub/new.dat", true},
      {".hidden", true},         {"a..b", true},                 {"", false},
      {"\\abs.txt", false},      {"/abs.txt", false},            {"C:\\x", false},
      {"c:x", false},            {"a:b", false},                 {"..\\up.txt", false},
      {"sub\\..\\..\\x", false}, {"sub/../x", false},            {".\\x", false},
      {"sub\\\\x", false},       {"sub\\", false},               {"..", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.name;
}

}  // namespace

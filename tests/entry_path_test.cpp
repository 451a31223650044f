// Which entry names stay inside the target folder, and which name the
// staging folder.
#include "package/entry_path.h"

#include <gtest/gtest.h>

using namespace package;

namespace {

TEST(EntryName, OnlyPlainRelativePathsPassAndTheStagingFolderIsNamedInAnyCaseAndSpelling) {
  const struct {
    const char* name;
    bool safe;
  } kSafe[] = {
      {"a.txt", true},       {"sub\\deeper\\new.dat", true},
      {"sub/new.dat", true}, {".hidden", true},
      {"a..b", true},        {"", false},
      {"\\abs.txt", false},  {"a:b", false},
      {"..\\up.txt", false}, {"sub/../x", false},
      {".\\x", false},       {"sub\\\\x", false},
      {"sub\\", false},      {"..", false},
  };
  for (const auto& c : kSafe) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.name;
  const struct {
    const char* name;
    bool staging;
  } kStaging[] = {
      {"__kvupd_\\n00000.tmp", true}, {"__KvUpD_/x", true},        {"__KVUPD_", true},
      {"__KVUPD_.\\x", true},         {"__KVUPD_ \\x", true},      {"__KVUPD_x\\y", false},
      {"x__KVUPD_", false},           {"sub\\__KVUPD_\\x", false}, {"__KVUPD", false},
      {"__KVUPD_.LCK", false}};
  for (const auto& c : kStaging) EXPECT_EQ(NamesStagingFolder(c.name), c.staging) << c.name;
}

}  // namespace

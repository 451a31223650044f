#include "streams/file_utilities.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

using namespace streams;

namespace {

// The 1/0 helpers over the platform's calls (whose own contract
// platform_file_system_test.cpp holds).
TEST(FileUtilities, AnswerOneOrZero) {
  TempFolder folder;
  const std::string file = folder.Join("f.txt");
  WriteTestFile(file, "x");
  SetTestFileReadOnly(file, true);
  const struct {
    const char* label;
    int got;
    int expected;
  } kCases[] = {
      {"a file is a file", IsFile(file.c_str()), 1},
      {"nothing is no file", IsFile(folder.Join("none").c_str()), 0},
      {"nothing is not read-only", IsReadOnly(folder.Join("none").c_str()), 0},
      {"a read-only file", IsReadOnly(file.c_str()), 1},
      {"a new folder", CreateFolder(folder.Join("sub").c_str()), 1},
      {"the folder again", CreateFolder(folder.Join("sub").c_str()), 0},
      {"two levels at once", CreateFolder(folder.Join("a\\b").c_str()), 0},
      {"a folder is no file", IsFile(folder.Join("sub").c_str()), 0},
      {"a folder is a folder", IsFolder(folder.Join("sub").c_str()), 1},
      {"a read-only file stays", RemoveFile(file.c_str()), 0},
      {"an empty folder goes", RemoveFolder(folder.Join("sub").c_str()), 1},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.got, c.expected) << c.label;
  EXPECT_TRUE(TestPathExists(file));
}

TEST(FileUtilities, MoveFileReplacing) {
  TempFolder folder;
  const std::string from = folder.Join("new.txt");
  const std::string to = folder.Join("old.txt");
  WriteTestFile(from, "new");
  WriteTestFile(to, "old");
  EXPECT_EQ(MoveFileReplacing(from.c_str(), to.c_str()), 1);
  EXPECT_EQ(ReadTestFile(to), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_FALSE(TestPathExists(from));

  // A move onto its own name in other letter case would delete the file
  // first; every letter folds, 'z' at the end of the alphabet too.
  const std::string lowerZ = folder.Join("az.txt");
  WriteTestFile(lowerZ, "z");
  for (const char* other : {"OLD.TXT", "old.txT"}) {
    EXPECT_EQ(MoveFileReplacing(to.c_str(), folder.Join(other).c_str()), 0) << other;
    EXPECT_TRUE(TestPathExists(to));
  }
  EXPECT_EQ(MoveFileReplacing(lowerZ.c_str(), folder.Join("AZ.txt").c_str()), 0);
  EXPECT_TRUE(TestPathExists(lowerZ));

  const std::string fresh = folder.Join("fresh.txt");
  EXPECT_EQ(MoveFileReplacing(to.c_str(), fresh.c_str()), 1);  // no destination yet
  const std::string locked = folder.Join("locked.txt");
  WriteTestFile(locked, "keep");
  SetTestFileReadOnly(locked, true);
  EXPECT_EQ(MoveFileReplacing(fresh.c_str(), locked.c_str()), 0);
  EXPECT_EQ(ReadTestFile(locked), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(TestPathExists(fresh));
}

TEST(FileUtilities, StoredNameAndCurrentFolderKeeper) {
  TempFolder folder;
  char out[kMaxPath];
  ResolveStoredName(folder.Join("absent.txt").c_str(), out);
  EXPECT_EQ(std::string(out), folder.Join("absent.txt"));
  char before[kMaxPath];
  ASSERT_TRUE(platform::Fs().GetCurrentFolder(before, sizeof before));
  {
    CurrentFolderKeeper keeper;
    ASSERT_TRUE(platform::Fs().SetCurrentFolder(folder.path().c_str()));
  }
  char after[kMaxPath];
  ASSERT_TRUE(platform::Fs().GetCurrentFolder(after, sizeof after));
  EXPECT_STREQ(after, before);
}

}  // namespace

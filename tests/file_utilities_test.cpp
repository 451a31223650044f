#include "streams/file_utilities.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

using namespace streams;

namespace {

TEST(FileUtilities, Tests) {
  TempFolder folder;
  const std::string file = folder.Join("f.txt");
  WriteTestFile(file, "x");
  EXPECT_EQ(IsFile(file.c_str()), 1);
  EXPECT_EQ(IsFile(folder.Join("none").c_str()), 0);
  EXPECT_EQ(IsReadOnly(folder.Join("none").c_str()), 0);
  EXPECT_EQ(IsReadOnly(file.c_str()), 0);
  ASSERT_EQ(CreateFolder(folder.Join("sub").c_str()), 1);
  EXPECT_EQ(CreateFolder(folder.Join("sub").c_str()), 0);
  EXPECT_EQ(CreateFolder(folder.Join("a\\b").c_str()), 0);  // one level only
  EXPECT_EQ(IsFile(folder.Join("sub").c_str()), 0);
  SetTestFileReadOnly(file, true);
  EXPECT_EQ(IsReadOnly(file.c_str()), 1);
  EXPECT_EQ(RemoveFile(file.c_str()), 0);
  EXPECT_TRUE(TestPathExists(file));
}

TEST(FileUtilities, FoldersAreRemovedOnlyWhenEmpty) {
  TempFolder folder;
  ASSERT_EQ(CreateFolder(folder.Join("sub").c_str()), 1);
  WriteTestFile(folder.Join("sub\\f"), "x");
  EXPECT_EQ(RemoveFolder(folder.Join("sub").c_str()), 0);
  EXPECT_EQ(RemoveFile(folder.Join("sub\\f").c_str()), 1);
  EXPECT_EQ(RemoveFolder(folder.Join("sub").c_str()), 1);
  EXPECT_FALSE(TestPathExists(folder.Join("sub")));
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

  EXPECT_EQ(MoveFileReplacing(to.c_str(), folder.Join("OLD.TXT").c_str()), 0);
  EXPECT_TRUE(TestPathExists(to));

  const std::string fresh = folder.Join("fresh.txt");
  EXPECT_EQ(MoveFileReplacing(to.c_str(), fresh.c_str()), 1);  // no destination yet

  const std::string locked = folder.Join("locked.txt");
  WriteTestFile(locked, "keep");
  SetTestFileReadOnly(locked, true);
  EXPECT_EQ(MoveFileReplacing(fresh.c_str(), locked.c_str()), 0);
  EXPECT_EQ(ReadTestFile(locked), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(TestPathExists(fresh));
}

TEST(FileUtilities, ResolveStoredNameKeepsThePathWhenNothingIsFound) {
  TempFolder folder;
  WriteTestFile(folder.Join("Stored.txt"), "x");
  char out[kMaxPath];
  ResolveStoredName(folder.Join("Stored.txt").c_str(), out);
  EXPECT_EQ(std::string(out), folder.Join("Stored.txt"));
  ResolveStoredName(folder.Join("absent.txt").c_str(), out);
  EXPECT_EQ(std::string(out), folder.Join("absent.txt"));
}

TEST(FileUtilities, CurrentFolderKeeperRestores) {
  TempFolder folder;
  char before[kMaxPath];
  ASSERT_TRUE(platform::Fs().GetCurrentFolder(before, sizeof before));
  {
    CurrentFolderKeeper keeper;
    ASSERT_TRUE(platform::Fs().SetCurrentFolder(folder.path().c_str()));
    char inside[kMaxPath];
    ASSERT_TRUE(platform::Fs().GetCurrentFolder(inside, sizeof inside));
    EXPECT_STRNE(inside, before);
  }
  char after[kMaxPath];
  ASSERT_TRUE(platform::Fs().GetCurrentFolder(after, sizeof after));
  EXPECT_STREQ(after, before);
}

}  // namespace

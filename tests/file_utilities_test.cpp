// The 1/0 helpers over the platform's calls and the replacing move. Run
// in both builds, the table also holds each platform's own calls to one
// contract: a read-only file stays, a folder is no file, a folder with
// files in it stays, and a move never replaces.
#include "streams/file_utilities.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"

using namespace streams;

namespace {

TEST(FileUtilities, AnswerOneOrZero) {
  TempFolder folder;
  const std::string file = folder.Join("f.txt"), from = folder.Join("new.txt"),
                    to = folder.Join("old.txt"), locked = folder.Join("locked.txt"),
                    fresh = folder.Join("fresh.txt"), lowerZ = folder.Join("az.txt"),
                    root = folder.path().substr(0, folder.path().size() - 1);
  for (const std::string& path : {file, from, to, locked, lowerZ}) WriteTestFile(path, path);
  for (const std::string& path : {file, locked}) SetTestFileReadOnly(path, true);
  // A move onto its own name in other letter case would delete the file
  // first; every letter folds, 'z' at the end of the alphabet too.
  const struct {
    const char* label;
    int got, expected;
  } kCases[] = {
      {"a file is a file", IsFile(file.c_str()), 1},
      {"nothing is no file", IsFile(folder.Join("none").c_str()), 0},
      {"nothing is not read-only", IsReadOnly(folder.Join("none").c_str()), 0},
      {"a read-only file", IsReadOnly(file.c_str()), 1},
      {"a writable file", IsReadOnly(to.c_str()), 0},
      {"a new folder", CreateFolder(folder.Join("sub").c_str()), 1},
      {"the folder again", CreateFolder(folder.Join("sub").c_str()), 0},
      {"two levels at once", CreateFolder(folder.Join("a\\b").c_str()), 0},
      {"a folder is no file", IsFile(folder.Join("sub").c_str()), 0},
      {"a folder is a folder", IsFolder(folder.Join("sub").c_str()), 1},
      {"a folder is no file to remove", RemoveFile(folder.Join("sub").c_str()), 0},
      {"a folder with files in it stays", RemoveFolder(root.c_str()), 0},
      {"a read-only file stays", RemoveFile(file.c_str()), 0},
      {"an empty folder goes", RemoveFolder(folder.Join("sub").c_str()), 1},
      {"a move replaces", MoveFileReplacing(from.c_str(), to.c_str()), 1},
      {"a move onto its own name in capitals",
       MoveFileReplacing(to.c_str(), folder.Join("OLD.TXT").c_str()), 0},
      {"a move onto its own name, a capital Z",
       MoveFileReplacing(lowerZ.c_str(), folder.Join("AZ.txt").c_str()), 0},
      {"a move to no file", MoveFileReplacing(to.c_str(), fresh.c_str()), 1},
      {"a move onto a read-only file", MoveFileReplacing(fresh.c_str(), locked.c_str()), 0},
      {"a file already gone", RemoveFile(from.c_str()), 0},
      {"a move from no file", MoveFileReplacing(from.c_str(), folder.Join("other").c_str()), 0},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.got, c.expected) << c.label;
  for (const std::string& path : {file, fresh, locked, lowerZ})
    EXPECT_TRUE(TestPathExists(path)) << path;
  EXPECT_FALSE(TestPathExists(from));
  EXPECT_EQ(ReadTestFile(fresh), std::vector<std::uint8_t>(from.begin(), from.end()));
  EXPECT_EQ(ReadTestFile(locked), std::vector<std::uint8_t>(locked.begin(), locked.end()));
}

}  // namespace

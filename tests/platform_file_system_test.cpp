// The native file system of each platform keeps one contract: these tests
// run unchanged against the POSIX calls and, in the Windows build, against
// the Windows calls under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/file_system.h"
#include "tests/scratch_folder.h"

namespace {

using platform::FileHandle;
using platform::kInvalidFile;

class PlatformFileSystem : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.Ready()); }

  FileHandle Open(const std::string& path, unsigned flags) {
    return files.Open(path.c_str(), flags);
  }

  platform::FileSystem& files = platform::NativeFs();
  ScratchFolder folder;
};

TEST_F(PlatformFileSystem, MissingFileCannotBeOpenedOrExamined) {
  const std::string missing = folder.Path("missing.dat");
  EXPECT_EQ(Open(missing, platform::kOpenRead), kInvalidFile);
  EXPECT_EQ(Open(missing, platform::kOpenReadWrite), kInvalidFile);
  EXPECT_EQ(files.GetAttributes(missing.c_str()), platform::kInvalidAttributes);
  EXPECT_EQ(files.Open(folder.Path().c_str(), platform::kOpenRead), kInvalidFile)
      << "a folder is no file";
}

TEST_F(PlatformFileSystem, WriteCreatesAndEmptiesReadStopsShortAtTheEnd) {
  const std::string path = folder.Path("data.bin");
  ASSERT_TRUE(WriteTestFile(path, "some old contents"));
  ASSERT_TRUE(WriteTestFile(path, "abcde"));
  const FileHandle file = Open(path, platform::kOpenRead);
  ASSERT_NE(file, kInvalidFile);
  EXPECT_EQ(files.Size(file), 5u);
  char buffer[16] = {};
  EXPECT_EQ(files.Read(file, buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(files.Read(file, buffer, 10), 2);
  EXPECT_EQ(std::string(buffer, 2), "de");
  EXPECT_EQ(files.Read(file, buffer, 10), 0);
  EXPECT_EQ(files.Write(file, "x", 1), -1) << "opened for reading only";
  files.Close(file);
  EXPECT_EQ(ReadTestFile(path), "abcde");
}

TEST_F(PlatformFileSystem, InvalidHandleFailsEveryCall) {
  char byte = 0;
  platform::FileTime time = 0;
  EXPECT_EQ(files.Read(kInvalidFile, &byte, 1), -1);
  EXPECT_EQ(files.Write(kInvalidFile, &byte, 1), -1);
  EXPECT_EQ(files.Seek(kInvalidFile, 0, platform::SeekOrigin::kCurrent), 0xFFFFFFFFu);
  EXPECT_EQ(files.Size(kInvalidFile), 0xFFFFFFFFu);
  EXPECT_FALSE(files.GetLastWriteTime(kInvalidFile, &time));
  EXPECT_FALSE(files.SetTimes(kInvalidFile, time));
}

TEST_F(PlatformFileSystem, SeekFromStartIsUnsignedFromHereSigned) {
  const std::string path = folder.Path("seek.bin");
  ASSERT_TRUE(WriteTestFile(path, "abcde"));
  const FileHandle file = Open(path, platform::kOpenRead);
  ASSERT_NE(file, kInvalidFile);
  using platform::SeekOrigin;
  EXPECT_EQ(files.Seek(file, 3, SeekOrigin::kBegin), 3u);
  char buffer[4] = {};
  EXPECT_EQ(files.Read(file, buffer, 4), 2);
  EXPECT_EQ(std::string(buffer, 2), "de");
  EXPECT_EQ(files.Seek(file, -2, SeekOrigin::kCurrent), 3u);
  EXPECT_EQ(files.Seek(file, -10, SeekOrigin::kCurrent), 0xFFFFFFFFu) << "before the start";
  EXPECT_EQ(files.Seek(file, 0, SeekOrigin::kCurrent), 3u) << "a failed seek moves nothing";
  // Past the end is no failure, and positions of 2 GiB and more are reached
  // from the start although the distance travels as a signed 32-bit value.
  EXPECT_EQ(files.Seek(file, 100, SeekOrigin::kBegin), 100u);
  EXPECT_EQ(files.Seek(file, static_cast<std::int32_t>(0x80000000u), SeekOrigin::kBegin),
            0x80000000u);
  EXPECT_EQ(files.Seek(file, static_cast<std::int32_t>(0xFFFFFFFEu), SeekOrigin::kBegin),
            0xFFFFFFFEu);
  EXPECT_EQ(files.Size(file), 5u);
  files.Close(file);
}

TEST_F(PlatformFileSystem, FileWithoutSharingIsHeldForExclusiveUse) {
  const std::string path = folder.Path("held.txt");
  ASSERT_TRUE(WriteTestFile(path, "kept"));
  const FileHandle held = Open(path, platform::kOpenRead);
  ASSERT_NE(held, kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenRead), kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenRead | platform::kShareRead), kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenWrite), kInvalidFile);
  EXPECT_FALSE(files.DeleteFile(path.c_str())) << "in use";
  files.Close(held);
  EXPECT_EQ(ReadTestFile(path), "kept") << "a refused open for writing empties nothing";
}

TEST_F(PlatformFileSystem, SharedReadersOpenTogether) {
  const std::string path = folder.Path("shared.txt");
  ASSERT_TRUE(WriteTestFile(path, "both"));
  const unsigned shared = platform::kOpenRead | platform::kShareRead;
  const FileHandle first = Open(path, shared);
  const FileHandle second = Open(path, shared);
  EXPECT_NE(first, kInvalidFile);
  EXPECT_NE(second, kInvalidFile);
  // They let others read, not write.
  EXPECT_EQ(Open(path, platform::kOpenWrite | platform::kShareRead), kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenReadWrite | platform::kShareRead), kInvalidFile);
  files.Close(first);
  files.Close(second);
  EXPECT_EQ(ReadTestFile(path), "both");
}

TEST_F(PlatformFileSystem, ReadOnlyFileCannotBeDeleted) {
  const std::string path = folder.Path("locked.txt");
  ASSERT_TRUE(WriteTestFile(path, "x"));
  ASSERT_TRUE(folder.SetReadOnly("locked.txt", true));
  EXPECT_NE(files.GetAttributes(path.c_str()) & platform::kAttrReadOnly, 0u);
  EXPECT_FALSE(files.DeleteFile(path.c_str()));
  EXPECT_EQ(ReadTestFile(path), "x");
  ASSERT_TRUE(folder.SetReadOnly("locked.txt", false));
  EXPECT_EQ(files.GetAttributes(path.c_str()) & platform::kAttrReadOnly, 0u);
  EXPECT_TRUE(files.DeleteFile(path.c_str()));
  EXPECT_EQ(files.GetAttributes(path.c_str()), platform::kInvalidAttributes);
  EXPECT_FALSE(files.DeleteFile(path.c_str())) << "already gone";
  EXPECT_FALSE(files.DeleteFile(folder.Path().c_str())) << "a folder is no file";
}

TEST_F(PlatformFileSystem, MoveNeverReplacesItsDestination) {
  const std::string from = folder.Path("from.txt");
  const std::string to = folder.Path("to.txt");
  ASSERT_TRUE(WriteTestFile(from, "new"));
  ASSERT_TRUE(WriteTestFile(to, "old"));
  EXPECT_FALSE(files.MoveFile(from.c_str(), to.c_str()));
  EXPECT_EQ(ReadTestFile(from), "new");
  EXPECT_EQ(ReadTestFile(to), "old");
  ASSERT_TRUE(files.DeleteFile(to.c_str()));
  EXPECT_TRUE(files.MoveFile(from.c_str(), to.c_str()));
  EXPECT_EQ(files.GetAttributes(from.c_str()), platform::kInvalidAttributes);
  EXPECT_EQ(ReadTestFile(to), "new");
  EXPECT_FALSE(files.MoveFile(from.c_str(), folder.Path("other.txt").c_str())) << "no source";
}

TEST_F(PlatformFileSystem, FoldersOneLevelAtATime) {
  const std::string outer = folder.Path("outer");
  const std::string inner = outer + "\\inner";
  EXPECT_FALSE(files.CreateFolder(inner.c_str())) << "parent missing";
  ASSERT_TRUE(files.CreateFolder(outer.c_str()));
  EXPECT_FALSE(files.CreateFolder(outer.c_str())) << "exists";
  const std::uint32_t attributes = files.GetAttributes(outer.c_str());
  ASSERT_NE(attributes, platform::kInvalidAttributes);
  EXPECT_NE(attributes & platform::kAttrDirectory, 0u);

  const std::string file = outer + "\\file.txt";
  ASSERT_TRUE(WriteTestFile(file, "x"));
  const std::uint32_t fileAttributes = files.GetAttributes(file.c_str());
  EXPECT_NE(fileAttributes, platform::kInvalidAttributes);
  EXPECT_NE(fileAttributes, 0u);
  EXPECT_EQ(fileAttributes & (platform::kAttrDirectory | platform::kAttrReadOnly), 0u);

  EXPECT_FALSE(files.RemoveFolder(outer.c_str())) << "not empty";
  ASSERT_TRUE(files.DeleteFile(file.c_str()));
  EXPECT_TRUE(files.RemoveFolder(outer.c_str()));
  EXPECT_FALSE(files.RemoveFolder(outer.c_str())) << "gone";
}

TEST_F(PlatformFileSystem, TimesRoundTrip) {
  const std::string path = folder.Path("stamped.txt");
  ASSERT_TRUE(WriteTestFile(path, "x"));
  // 2021-07-15 12:00:00 UTC.
  const platform::FileTime stamp = 0x01D77970EFF7A000ull;
  FileHandle file = Open(path, platform::kOpenReadWrite);
  ASSERT_NE(file, kInvalidFile);
  EXPECT_TRUE(files.SetTimes(file, stamp));
  files.Close(file);
  file = Open(path, platform::kOpenRead);
  ASSERT_NE(file, kInvalidFile);
  platform::FileTime found = 0;
  EXPECT_TRUE(files.GetLastWriteTime(file, &found));
  EXPECT_EQ(found, stamp);
  files.Close(file);
}

TEST_F(PlatformFileSystem, StoredNameIsHandedOutWholeOrNotAtAll) {
  const std::string stored = "Stored Name.Txt";
  ASSERT_TRUE(WriteTestFile(folder.Path(stored), "x"));
  const std::string path = folder.Path(stored);
  char name[64];
  ASSERT_TRUE(files.FindStoredName(path.c_str(), name, sizeof name));
  EXPECT_EQ(std::string(name), stored);
  const auto exact = static_cast<std::uint32_t>(stored.size() + 1);
  EXPECT_TRUE(files.FindStoredName(path.c_str(), name, exact));
  EXPECT_FALSE(files.FindStoredName(path.c_str(), name, exact - 1));
  EXPECT_FALSE(files.FindStoredName(folder.Path("missing").c_str(), name, sizeof name));
  // Where names are found whatever their case (Windows), the answer is the
  // name as stored; a case-sensitive file system finds nothing.
  if (files.FindStoredName(folder.Path("stored name.txt").c_str(), name, sizeof name)) {
    EXPECT_EQ(std::string(name), stored);
  }
}

TEST_F(PlatformFileSystem, CurrentFolderChangesAndComesBack) {
  char before[1024];
  ASSERT_TRUE(files.GetCurrentFolder(before, sizeof before));
  ASSERT_TRUE(files.SetCurrentFolder(folder.Path().c_str()));
  char now[1024];
  EXPECT_TRUE(files.GetCurrentFolder(now, sizeof now));
  EXPECT_EQ(std::string(now), folder.Path());
  const auto exact = static_cast<std::uint32_t>(folder.Path().size() + 1);
  EXPECT_TRUE(files.GetCurrentFolder(now, exact));
  EXPECT_FALSE(files.GetCurrentFolder(now, exact - 1));
  // A relative name is found from the current folder.
  ASSERT_TRUE(WriteTestFile("relative.txt", "here"));
  EXPECT_EQ(ReadTestFile(folder.Path("relative.txt")), "here");
  EXPECT_FALSE(files.SetCurrentFolder(folder.Path("missing").c_str()));
  ASSERT_TRUE(files.SetCurrentFolder(before));
  EXPECT_EQ(files.GetAttributes("relative.txt"), platform::kInvalidAttributes);
}

}  // namespace

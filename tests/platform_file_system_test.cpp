// The native file system of each platform keeps one contract: these tests
// run unchanged against the POSIX calls and, in the Windows build, against
// the Windows calls under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_links.h"

namespace {

using platform::FileHandle;
using platform::kInvalidFile;

// The file's bytes as text, read without the code under test.
std::string ReadText(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadTestFile(path);
  return std::string(bytes.begin(), bytes.end());
}

class PlatformFileSystem : public ::testing::Test {
 protected:
  FileHandle Open(const std::string& path, unsigned flags) {
    return files.Open(path.c_str(), flags);
  }

  // The folder itself, without the trailing backslash.
  std::string Folder() const { return folder.path().substr(0, folder.path().size() - 1); }

  platform::FileSystem& files = platform::NativeFs();
  TempFolder folder;
};

TEST_F(PlatformFileSystem, MissingFilesAndInvalidHandlesFailEveryCall) {
  const std::string missing = folder.Join("missing.dat");
  EXPECT_EQ(Open(missing, platform::kOpenRead), kInvalidFile);
  EXPECT_EQ(Open(missing, platform::kOpenReadWrite), kInvalidFile);
  EXPECT_EQ(files.GetAttributes(missing.c_str()), platform::kInvalidAttributes);
  EXPECT_EQ(files.Open(Folder().c_str(), platform::kOpenRead), kInvalidFile)
      << "a folder is no file";
  char byte = 0;
  platform::FileTime time = 0;
  EXPECT_EQ(files.Read(kInvalidFile, &byte, 1), -1);
  EXPECT_EQ(files.Write(kInvalidFile, &byte, 1), -1);
  EXPECT_EQ(files.Seek(kInvalidFile, 0, platform::SeekOrigin::kCurrent), 0xFFFFFFFFu);
  EXPECT_EQ(files.Size(kInvalidFile), 0xFFFFFFFFu);
  EXPECT_FALSE(files.GetLastWriteTime(kInvalidFile, &time));
  EXPECT_FALSE(files.SetTimes(kInvalidFile, time));
}

TEST_F(PlatformFileSystem, WriteCreatesAndEmptiesReadStopsShortAtTheEnd) {
  const std::string path = folder.Join("data.bin");
  WriteTestFile(path, "some old contents");
  WriteTestFile(path, "abcde");
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
  EXPECT_EQ(ReadText(path), "abcde");
}

TEST_F(PlatformFileSystem, SeekFromStartIsUnsignedFromHereSigned) {
  const std::string path = folder.Join("seek.bin");
  WriteTestFile(path, "abcde");
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
  const std::string path = folder.Join("held.txt");
  WriteTestFile(path, "kept");
  const FileHandle held = Open(path, platform::kOpenRead);
  ASSERT_NE(held, kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenRead), kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenRead | platform::kShareRead), kInvalidFile);
  EXPECT_EQ(Open(path, platform::kOpenWrite), kInvalidFile);
  EXPECT_FALSE(files.DeleteFile(path.c_str())) << "in use";
  files.Close(held);
  EXPECT_EQ(ReadText(path), "kept") << "a refused open for writing empties nothing";
}

TEST_F(PlatformFileSystem, SharedReadersOpenTogether) {
  const std::string path = folder.Join("shared.txt");
  WriteTestFile(path, "both");
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
  EXPECT_EQ(ReadText(path), "both");
}

TEST_F(PlatformFileSystem, ReadOnlyFileCannotBeDeleted) {
  const std::string path = folder.Join("locked.txt");
  WriteTestFile(path, "x");
  SetTestFileReadOnly(path, true);
  EXPECT_NE(files.GetAttributes(path.c_str()) & platform::kAttrReadOnly, 0u);
  EXPECT_FALSE(files.DeleteFile(path.c_str()));
  EXPECT_EQ(ReadText(path), "x");
  SetTestFileReadOnly(path, false);
  EXPECT_EQ(files.GetAttributes(path.c_str()) & platform::kAttrReadOnly, 0u);
  EXPECT_TRUE(files.DeleteFile(path.c_str()));
  EXPECT_EQ(files.GetAttributes(path.c_str()), platform::kInvalidAttributes);
  EXPECT_FALSE(files.DeleteFile(path.c_str())) << "already gone";
  EXPECT_FALSE(files.DeleteFile(Folder().c_str())) << "a folder is no file";
}

TEST_F(PlatformFileSystem, MoveNeverReplacesItsDestination) {
  const std::string from = folder.Join("from.txt");
  const std::string to = folder.Join("to.txt");
  WriteTestFile(from, "new");
  WriteTestFile(to, "old");
  EXPECT_FALSE(files.MoveFile(from.c_str(), to.c_str()));
  EXPECT_EQ(ReadText(from), "new");
  EXPECT_EQ(ReadText(to), "old");
  ASSERT_TRUE(files.DeleteFile(to.c_str()));
  EXPECT_TRUE(files.MoveFile(from.c_str(), to.c_str()));
  EXPECT_EQ(files.GetAttributes(from.c_str()), platform::kInvalidAttributes);
  EXPECT_EQ(ReadText(to), "new");
  EXPECT_FALSE(files.MoveFile(from.c_str(), folder.Join("other.txt").c_str())) << "no source";
}

TEST_F(PlatformFileSystem, FoldersOneLevelAtATime) {
  const std::string outer = folder.Join("outer");
  const std::string inner = outer + "\\inner";
  EXPECT_FALSE(files.CreateFolder(inner.c_str())) << "parent missing";
  ASSERT_TRUE(files.CreateFolder(outer.c_str()));
  EXPECT_FALSE(files.CreateFolder(outer.c_str())) << "exists";
  const std::uint32_t attributes = files.GetAttributes(outer.c_str());
  ASSERT_NE(attributes, platform::kInvalidAttributes);
  EXPECT_NE(attributes & platform::kAttrDirectory, 0u);

  const std::string file = outer + "\\file.txt";
  WriteTestFile(file, "x");
  const std::uint32_t fileAttributes = files.GetAttributes(file.c_str());
  EXPECT_NE(fileAttributes, platform::kInvalidAttributes);
  EXPECT_NE(fileAttributes, 0u);
  EXPECT_EQ(fileAttributes & (platform::kAttrDirectory | platform::kAttrReadOnly), 0u);

  EXPECT_FALSE(files.RemoveFolder(outer.c_str())) << "not empty";
  ASSERT_TRUE(files.DeleteFile(file.c_str()));
  EXPECT_TRUE(files.RemoveFolder(outer.c_str()));
  EXPECT_FALSE(files.RemoveFolder(outer.c_str())) << "gone";
}

TEST_F(PlatformFileSystem, StoredNameIsHandedOutWholeOrNotAtAll) {
  const std::string stored = "Stored Name.Txt";
  WriteTestFile(folder.Join(stored), "x");
  const std::string path = folder.Join(stored);
  char name[64];
  ASSERT_TRUE(files.FindStoredName(path.c_str(), name, sizeof name));
  EXPECT_EQ(std::string(name), stored);
  const auto exact = static_cast<std::uint32_t>(stored.size() + 1);
  EXPECT_TRUE(files.FindStoredName(path.c_str(), name, exact));
  EXPECT_FALSE(files.FindStoredName(path.c_str(), name, exact - 1));
  EXPECT_FALSE(files.FindStoredName(folder.Join("missing").c_str(), name, sizeof name));
  // Where names are found whatever their case (Windows), the answer is the
  // name as stored; a case-sensitive file system finds nothing.
  if (files.FindStoredName(folder.Join("stored name.txt").c_str(), name, sizeof name)) {
    EXPECT_EQ(std::string(name), stored);
  }
}

TEST_F(PlatformFileSystem, CurrentFolderChangesAndComesBack) {
  char before[1024];
  ASSERT_TRUE(files.GetCurrentFolder(before, sizeof before));
  ASSERT_TRUE(files.SetCurrentFolder(Folder().c_str()));
  char now[1024];
  EXPECT_TRUE(files.GetCurrentFolder(now, sizeof now));
  // POSIX answers with its own separator.
  EXPECT_EQ(NativeTestPath(now), NativeTestPath(Folder()));
  const auto exact = static_cast<std::uint32_t>(Folder().size() + 1);
  EXPECT_TRUE(files.GetCurrentFolder(now, exact));
  EXPECT_FALSE(files.GetCurrentFolder(now, exact - 1));
  // A relative name is found from the current folder.
  WriteTestFile("relative.txt", "here");
  EXPECT_EQ(ReadText(folder.Join("relative.txt")), "here");
  EXPECT_FALSE(files.SetCurrentFolder(folder.Join("missing").c_str()));
  ASSERT_TRUE(files.SetCurrentFolder(before));
  EXPECT_EQ(files.GetAttributes("relative.txt"), platform::kInvalidAttributes);
}

TEST_F(PlatformFileSystem, LinksBelowAFolderAreFoundWithoutFollowingThem) {
  using platform::LinkFinding;
  const std::string root = folder.Join("t\\");
  ASSERT_TRUE(files.CreateFolder(folder.Join("t").c_str()));
  ASSERT_TRUE(files.CreateFolder(folder.Join("outside").c_str()));
  ASSERT_TRUE(files.CreateFolder(folder.Join("t\\real").c_str()));
  WriteTestFile(folder.Join("outside\\x.txt"), "outside");
  WriteTestFile(root + "file.txt", "inside");
  if (!MakeTestLink(root + "ldir", "..\\outside")) {
    GTEST_SKIP() << "no symbolic link can be made here";
  }
  struct Case {
    std::string folder;
    std::string path;
    LinkFinding finding;
  };
  const Case cases[] = {
      {root, root + "file.txt", LinkFinding::kNone},
      {root, root + "real\\x.txt", LinkFinding::kNone},
      {root, root + "missing\\deeper\\x.txt", LinkFinding::kNone},
      {root, root + "file.txt\\beyond", LinkFinding::kNone},
      {root, root + "ldir", LinkFinding::kLast},
      {root, root + "ldir\\x.txt", LinkFinding::kInFolders},
      {root, root + "ldir/x.txt", LinkFinding::kInFolders},
      {root, root + "real\\\\ldir\\x.txt", LinkFinding::kNone},
      // The folder itself may be reached through a link.
      {root + "ldir\\", root + "ldir\\x.txt", LinkFinding::kNone},
      {root, folder.Join("outside\\x.txt"), LinkFinding::kUnknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(files.FindLinkBelow(c.folder.c_str(), c.path.c_str()), c.finding) << c.path;
  }
}

TEST_F(PlatformFileSystem, AFolderIsLockedForOneHolderAndLeftAsItWas) {
  using platform::LockResult;
  const std::string target = folder.Join("t\\");
  ASSERT_TRUE(files.CreateFolder(folder.Join("t").c_str()));
  const std::string lockFile = target + "held.LCK";
  FileHandle first = kInvalidFile;
  FileHandle second = kInvalidFile;
  ASSERT_EQ(files.LockFolder(target.c_str(), lockFile.c_str(), &first), LockResult::kLocked);
  EXPECT_EQ(files.LockFolder(target.c_str(), lockFile.c_str(), &second), LockResult::kInUse);
  files.UnlockFolder(first);
  std::vector<platform::FolderItem> items;
  EXPECT_TRUE(files.ListFolder(target.c_str(), &items));
  EXPECT_TRUE(items.empty()) << "nothing of the lock is left in the folder";
  ASSERT_EQ(files.LockFolder(target.c_str(), lockFile.c_str(), &second), LockResult::kLocked);
  files.UnlockFolder(second);
  const std::string missing = folder.Join("missing\\");
  EXPECT_EQ(files.LockFolder(missing.c_str(), (missing + "held.LCK").c_str(), &second),
            LockResult::kFailed);
}

TEST_F(PlatformFileSystem, FlushMakesFilesAndFoldersDurable) {
  const std::string path = folder.Join("durable.txt");
  WriteTestFile(path, "kept");
  EXPECT_TRUE(files.Flush(path.c_str()));
  EXPECT_FALSE(files.Flush(folder.Join("missing.txt").c_str()));
  for (const platform::FlushScope scope :
       {platform::FlushScope::kNames, platform::FlushScope::kNamesAndFiles}) {
    EXPECT_TRUE(files.FlushFolder(Folder().c_str(), scope));
    EXPECT_FALSE(files.FlushFolder(folder.Join("missing").c_str(), scope));
    EXPECT_FALSE(files.FlushFolder(path.c_str(), scope)) << "a file is no folder";
  }
  EXPECT_EQ(ReadText(path), "kept");
}

}  // namespace

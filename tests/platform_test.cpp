// The native file system of each platform keeps one contract: these tests run unchanged against
// the POSIX calls and, in the Windows build, against the Windows calls under Wine. (Memory blocks
// are pinned by the memory streams' tests, which grow them in both builds; deleting, moving and
// the read-only state by the file helpers' table over these calls.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::FileHandle;
using platform::kInvalidFile;

class PlatformFileSystem : public ::testing::Test {
 protected:
  platform::FileSystem& files = platform::NativeFs();
  TempFolder folder;
};

TEST_F(PlatformFileSystem, ReadStopsShortAtTheEndAndSeekFromStartIsUnsigned) {
  const std::string path = folder.Join("data.bin");
  WriteTestFile(path, "abcde");
  const FileHandle file = files.Open(path.c_str(), platform::kOpenRead);
  ASSERT_NE(file, kInvalidFile);
  using platform::SeekOrigin;
  EXPECT_EQ(files.Size(file), 5u);
  char buffer[16] = {};
  EXPECT_EQ(files.Read(file, buffer, 3), 3);
  EXPECT_EQ(files.Read(file, buffer + 3, 10), 2);
  EXPECT_EQ(std::string(buffer), "abcde");
  EXPECT_EQ(files.Read(file, buffer, 10), 0);
  EXPECT_EQ(files.Seek(file, -2, SeekOrigin::kCurrent), 3u);
  EXPECT_EQ(files.Read(file, buffer, 4), 2);
  EXPECT_EQ(std::string(buffer, 2), "de");
  EXPECT_EQ(files.Seek(file, -10, SeekOrigin::kCurrent), 0xFFFFFFFFu) << "before the start";
  EXPECT_EQ(files.Seek(file, 0, SeekOrigin::kCurrent), 5u) << "a failed seek moves nothing";
  // Past the end is no failure, and positions of 2 GiB and more are reached from the start
  // although the distance travels as a signed 32-bit value.
  for (const std::uint32_t at : {100u, 0x80000000u, 0xFFFFFFFEu}) {
    EXPECT_EQ(files.Seek(file, static_cast<std::int32_t>(at), SeekOrigin::kBegin), at);
  }
  EXPECT_EQ(files.Size(file), 5u);
  files.Close(file);
}

// Without sharing a file is held for exclusive use; shared readers open together and let others
// read, not write; a refused open for writing empties nothing.
TEST_F(PlatformFileSystem, SharingDecidesWhoElseMayOpen) {
  const std::string path = folder.Join("held.txt");
  WriteTestFile(path, "kept");
  const unsigned shared = platform::kOpenRead | platform::kShareRead;
  const FileHandle held = files.Open(path.c_str(), platform::kOpenRead);
  ASSERT_NE(held, kInvalidFile);
  const unsigned refused[] = {platform::kOpenRead, shared, platform::kOpenWrite};
  for (const unsigned flags : refused) {
    EXPECT_EQ(files.Open(path.c_str(), flags), kInvalidFile) << flags;
  }
  EXPECT_FALSE(files.DeleteFile(path.c_str())) << "in use";
  files.Close(held);
  const FileHandle first = files.Open(path.c_str(), shared);
  const FileHandle second = files.Open(path.c_str(), shared);
  EXPECT_NE(first, kInvalidFile);
  EXPECT_NE(second, kInvalidFile);
  EXPECT_EQ(files.Open(path.c_str(), platform::kOpenWrite | platform::kShareRead), kInvalidFile);
  EXPECT_EQ(files.Open(path.c_str(), platform::kOpenReadWrite | platform::kShareRead),
            kInvalidFile);
  files.Close(first);
  files.Close(second);
  EXPECT_EQ(ReadTestFile(path), std::vector<std::uint8_t>({'k', 'e', 'p', 't'}));
}

}  // namespace

// File stamps: the checksum by its worked values and its whole-file rule,
// verifying a file against a stamp, and the DOS time set and read back.
#include "package/file_stamp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/forwarding_file_system.h"
#include "streams/kv_file_stream.h"
#include "tests/support/package_file.h"
#include "tests/support/upgrade_fixture.h"

// Stamp fields sit unaligned in their packed record: the unary + copies a
// field before a gtest macro binds a reference to it.

namespace {

// The checksum the rule gives over a whole file of `bytes`, byte by byte:
// below the last incomplete block an even offset goes high, within it the
// byte's distance from the end decides.
std::uint16_t RuleChecksum(const std::vector<std::uint8_t>& bytes) {
  const std::size_t size = bytes.size(), lastBlock = size / 512 * 512;
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < size; ++i)
    sum ^= (i < lastBlock ? i % 2 == 0 : (size - i) % 2 == 0)
               ? static_cast<std::uint16_t>(bytes[i] << 8)
               : bytes[i];
  return sum;
}

// The first large read of a file gives only `cut` bytes; later reads get
// what they ask for, as from a file that changes while it is read.
struct ShortFirstRead final : platform::ForwardingFileSystem {
  explicit ShortFirstRead(std::int32_t cut)
      : ForwardingFileSystem(platform::NativeFs()), cut_(cut) {
    platform::InstallFileSystem(this);
  }
  ~ShortFirstRead() override { platform::InstallFileSystem(nullptr); }
  std::int32_t Read(platform::FileHandle file, void* buffer, std::int32_t count) override {
    if (count > cut_ && !cut) cut = true, count = cut_;
    return ForwardingFileSystem::Read(file, buffer, count);
  }
  bool cut = false;
  std::int32_t cut_;
};

// Worked values, and large files, read many blocks at a time, whose checksum
// must still be the rule's over the whole file. A read cut short in the
// middle ends the stamp there, with what was read.
TEST(Checksum, WorkedValuesAndLargeFilesFollowTheWholeFileRuleAndAShortReadEndsThem) {
  std::vector<std::uint8_t> long513(513, 0);
  long513.front() = 0xAA, long513.back() = 0x01;
  const struct {
    std::vector<std::uint8_t> bytes;
    std::uint16_t checksum;
  } rows[] = {{{}, 0x0000},
              {{0x61}, 0x0061},
              {{0x61, 0x62}, 0x6162},
              {{0x61, 0x62, 0x63}, 0x6202},
              {{0x61, 0x62, 0x63, 0x64}, 0x0206},
              {long513, 0xAA01}};
  TempFolder folder;
  const std::string path = folder.Join("f.bin");
  for (const auto& row : rows) {
    WriteTestFile(path, row.bytes);
    EXPECT_EQ(+StampOfFile(path).checksum, row.checksum) << row.bytes.size();
    EXPECT_EQ(RuleChecksum(row.bytes), row.checksum) << row.bytes.size();
  }
  for (std::size_t size :
       {std::size_t{262144 * 2 + 513}, std::size_t{262144 + 510}, std::size_t{1000001}}) {
    const std::vector<std::uint8_t> bytes = RandomBytes(size, static_cast<std::uint32_t>(size));
    WriteTestFile(path, bytes);
    FileStamp stamp;
    ASSERT_TRUE(ComputeFileStamp(path.c_str(), stamp));
    EXPECT_EQ(+stamp.size, size);
    EXPECT_EQ(+stamp.checksum, RuleChecksum(bytes)) << "size " << size;
    ShortFirstRead shortRead(1001);
    ASSERT_TRUE(ComputeFileStamp(path.c_str(), stamp));
    EXPECT_EQ(+stamp.size, 1001u);
    EXPECT_EQ(+stamp.checksum, RuleChecksum(SliceBytes(bytes, 0, 1001)));
  }
}

// Verifying compares size and checksum only, and then sets the stamp's date
// and time; a missing file is no match.
TEST(FileStamp, VerifyComparesSizeAndChecksumThenSetsTheTime) {
  TempFolder folder;
  const std::string path = folder.Join("held");
  WriteTestFile(path, "abc");
  const std::uint16_t date = (10u << 9) | (3u << 5) | 4u;
  EXPECT_FALSE(VerifyAndStampFile(path.c_str(), MakeStamp(date, 0, 3, 0x6203)));
  EXPECT_FALSE(VerifyAndStampFile(path.c_str(), MakeStamp(date, 0, 4, 0x6202)));
  EXPECT_FALSE(VerifyAndStampFile(folder.Join("none").c_str(), MakeStamp(date, 0, 0, 0)));
  EXPECT_TRUE(VerifyAndStampFile(path.c_str(), MakeStamp(date, 7, 3, 0x6202)));
  EXPECT_EQ(StampOfFile(path).DateTime(), MakeStamp(date, 7, 3, 0x6202).DateTime());
}

// Run by CTest under several TZ values: the date and time written through
// local time must read back the same through local time. The bytes the
// stream still holds must reach the file before its times are set, or they
// would move its last-write time again when they go out.
TEST(FileStamp, DosTimeRoundTrip) {
  TempFolder folder;
  const std::string path = folder.Join("abc.txt");
  WriteTestFile(path, "x");
  // 1981-01-01, 2026-12-06, 2000-02-29 and 2026-07-15, in summer time where there is any.
  const std::uint16_t dates[] = {(1u << 9) | (1u << 5) | 1u, (46u << 9) | (12u << 5) | 6u,
                                 (20u << 9) | (2u << 5) | 29u, (46u << 9) | (7u << 5) | 15u};
  const std::uint16_t times[] = {0, (13u << 11) | (45u << 5) | 29u, (23u << 11) | (59u << 5) | 29u};
  for (std::uint16_t date : dates) {
    for (std::uint16_t time : times) {
      {
        TKVFStream file(platform::kOpenReadWrite, path.c_str());
        file.WriteBlock("abc", 3);
        ASSERT_TRUE(file.SetDosTime(MakeStamp(date, time, 3, 0x6202)));
      }
      FileStamp found;
      ASSERT_TRUE(ComputeFileStamp(path.c_str(), found));
      EXPECT_EQ(found.DateTime(), static_cast<std::uint32_t>(date) << 16 | time);
      EXPECT_EQ(+found.size, 3u);
    }
  }
}

}  // namespace

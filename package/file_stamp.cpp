#include "package/file_stamp.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/file_system.h"
#include "streams/kv_file_stream.h"

namespace package {

namespace {

// Whole checksum blocks per read: large enough that a file comes through
// at the speed of the page cache, small enough to stay out of the way.
constexpr std::int32_t kStampReadSize = 512 * kChecksumBlockSize;

}  // namespace

std::uint16_t FoldChecksumBlock(std::uint16_t checksum, const std::uint8_t* block,
                                std::int32_t count) {
  // XOR keeps every byte lane to itself, so eight bytes at a time (in four
  // independent lanes of words) give the XOR of the bytes at even and at odd
  // offsets of the block; which half of the checksum each goes to is then
  // decided once for the block.
  std::uint64_t words[4] = {0, 0, 0, 0};
  std::int32_t at = 0;
  for (; at + 32 <= count; at += 32) {
    for (int lane = 0; lane < 4; ++lane) {
      std::uint64_t word;
      std::memcpy(&word, block + at + 8 * lane, sizeof word);
      words[lane] ^= word;
    }
  }
  const std::uint64_t folded = words[0] ^ words[1] ^ words[2] ^ words[3];
  std::uint8_t lanes[8];
  std::memcpy(lanes, &folded, sizeof lanes);
  std::uint8_t even = lanes[0] ^ lanes[2] ^ lanes[4] ^ lanes[6];
  std::uint8_t odd = lanes[1] ^ lanes[3] ^ lanes[5] ^ lanes[7];
  for (; at < count; ++at) {
    if ((at & 1) != 0) {
      odd ^= block[at];
    } else {
      even ^= block[at];
    }
  }
  // The byte with an odd number of bytes left, itself included, goes low:
  // in a block of even length the bytes at odd offsets, otherwise the
  // bytes at even ones.
  const auto high = static_cast<std::uint16_t>((count & 1) != 0 ? odd : even);
  const auto low = static_cast<std::uint16_t>((count & 1) != 0 ? even : odd);
  return static_cast<std::uint16_t>(checksum ^ (high << 8) ^ low);
}

bool ComputeFileStamp(const char* path, streams::FileStamp& stamp) {
  std::memset(&stamp, 0, sizeof stamp);
  streams::TKVFStream file(platform::kOpenRead, path);
  if (!file.IsOpen()) return false;
  if (!file.GetDosTime(stamp)) return false;
  std::uint8_t oneBlock[kChecksumBlockSize];
  const std::unique_ptr<std::uint8_t[]> large(new (std::nothrow) std::uint8_t[kStampReadSize]);
  std::uint8_t* buffer = large ? large.get() : oneBlock;
  const std::int32_t readSize = large ? kStampReadSize : kChecksumBlockSize;
  for (;;) {
    const std::int32_t got = file.ReadBlock(buffer, readSize);
    if (got <= 0) break;
    stamp.size += static_cast<std::uint32_t>(got);
    // Whole blocks have an even length, so a run of them folds as one.
    const std::int32_t whole = got - got % kChecksumBlockSize;
    stamp.checksum = FoldChecksumBlock(stamp.checksum, buffer, whole);
    stamp.checksum = FoldChecksumBlock(stamp.checksum, buffer + whole, got - whole);
    // A short read that is not the end of the file would shift every later
    // block; the stamp stops there, as it does at a read failure.
    if (got < readSize) break;
  }
  return true;
}

bool VerifyAndStampFile(const char* path, const streams::FileStamp& expected) {
  streams::FileStamp found;
  if (!ComputeFileStamp(path, found)) return false;
  if (found.size != expected.size || found.checksum != expected.checksum) return false;
  streams::TKVFStream file(platform::kOpenReadWrite, path);
  if (!file.IsOpen()) return false;
  return file.SetDosTime(expected);
}

}  // namespace package

#include "package/file_stamp.h"

#include <cstring>

#include "platform/file_system.h"
#include "streams/kv_file_stream.h"

std::uint16_t FoldChecksumBlock(std::uint16_t checksum, const std::uint8_t* block,
                                std::int32_t count) {
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t left = count - i;
    checksum ^= (left & 1) != 0 ? block[i] : static_cast<std::uint16_t>(block[i] << 8);
  }
  return checksum;
}

bool ComputeFileStamp(const char* path, FileStamp& stamp) {
  std::memset(&stamp, 0, sizeof stamp);
  TKVFStream file(platform::kOpenRead, path);
  if (!file.IsOpen()) return false;
  if (!file.GetDosTime(stamp)) return false;
  std::uint8_t block[kChecksumBlockSize];
  for (;;) {
    const std::int32_t got = file.ReadBlock(block, kChecksumBlockSize);
    if (got <= 0) break;
    stamp.size += static_cast<std::uint32_t>(got);
    stamp.checksum = FoldChecksumBlock(stamp.checksum, block, got);
    // A short read that is not the end of the file would shift every later
    // block; the stamp stops there, as it does at a read failure.
    if (got < kChecksumBlockSize) break;
  }
  return true;
}

bool VerifyAndStampFile(const char* path, const FileStamp& expected) {
  FileStamp found;
  if (!ComputeFileStamp(path, found)) return false;
  if (found.size != expected.size || found.checksum != expected.checksum) return false;
  TKVFStream file(platform::kOpenReadWrite, path);
  if (!file.IsOpen()) return false;
  return file.SetDosTime(expected);
}

// The 10-byte record that identifies one version of a file, the same in
// memory and in a package: DOS time, DOS date, size, checksum, little-endian
// and without gaps. Bytes 0-3 (time and date) are compared and copied as one
// unit.
#pragma once

#include <cstdint>

namespace streams {

#pragma pack(push, 1)
struct FileStamp {
  std::uint16_t dosTime;
  std::uint16_t dosDate;
  std::uint32_t size;
  std::uint16_t checksum;

  // dosDate * 65536 + dosTime.
  std::uint32_t DateTime() const { return (static_cast<std::uint32_t>(dosDate) << 16) | dosTime; }
};
#pragma pack(pop)

static_assert(sizeof(FileStamp) == 10, "a stamp is stored as 10 packed bytes");

}  // namespace streams

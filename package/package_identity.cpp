#include <zlib.h>

#include <memory>
#include <new>

#include "package/package_reader.h"
#include "streams/kv_file_stream.h"

namespace package {

namespace {

constexpr std::int32_t kBlockSize = 65536;

}  // namespace

bool PackageReader::Identify(PackageIdentity* identity) {
  const std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[kBlockSize]);
  if (!block || !file_->IsOpen()) return false;
  // The container's stream reads ahead from the file; it finds the file
  // where it left it.
  const std::uint32_t resume = file_->GetPosition();
  if (resume == 0xFFFFFFFFu || !file_->Seek(0)) return false;
  PackageIdentity found;
  found.crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
  for (;;) {
    const std::int32_t got = file_->ReadBlock(block.get(), kBlockSize);
    if (got <= 0) break;
    found.size += static_cast<std::uint32_t>(got);
    found.crc = static_cast<std::uint32_t>(crc32(found.crc, block.get(), static_cast<uInt>(got)));
  }
  if (!file_->Seek(resume)) return false;
  *identity = found;
  return true;
}

}  // namespace package

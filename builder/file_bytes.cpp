#include "builder/file_bytes.h"

#include "platform/file_system.h"
#include "streams/kv_file_stream.h"

namespace builder {

namespace {

constexpr std::uint32_t kChunk = 1u << 20;

}  // namespace

bool ReadFileBytes(const std::string& path, std::uint32_t size, std::vector<std::uint8_t>* bytes) {
  bytes->clear();
  streams::TKVFStream file(platform::kOpenRead | platform::kShareRead, path.c_str());
  if (!file.IsOpen()) return false;
  bytes->resize(size);
  std::uint32_t done = 0;
  while (done < size) {
    const std::uint32_t left = size - done;
    const std::int32_t ask = static_cast<std::int32_t>(left < kChunk ? left : kChunk);
    const std::int32_t got = file.ReadBlock(bytes->data() + done, ask);
    if (got <= 0) return false;
    done += static_cast<std::uint32_t>(got);
  }
  std::uint8_t more = 0;
  return file.ReadBlock(&more, 1) == 0;
}

}  // namespace builder

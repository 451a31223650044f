#include "streams/kv_digest_stream.h"

#include <cstring>
#include <new>

namespace streams {

namespace {

// Large enough that a digest sees few calls, small enough to be nothing
// beside the run's other buffers.
constexpr std::uint32_t kBlockSize = 65536;

}  // namespace

TKVDigestStream::TKVDigestStream(TKVStream* source, ByteDigest* digest)
    : source_(source), digest_(digest), block_(new (std::nothrow) std::uint8_t[kBlockSize]) {
  if (!block_) {
    inOrder_ = false;
    SetError();
  }
}

TKVDigestStream::~TKVDigestStream() = default;

bool TKVDigestStream::FetchNext() {
  if (!block_) return false;
  blockStart_ += blockFill_;
  blockFill_ = 0;
  index_ = 0;
  const std::int32_t got = source_->ReadBlock(block_.get(), static_cast<std::int32_t>(kBlockSize));
  if (got <= 0) return false;
  blockFill_ = static_cast<std::uint32_t>(got);
  digest_->Update(block_.get(), blockFill_);
  return true;
}

std::uint8_t TKVDigestStream::ReadByte() {
  if (index_ == blockFill_ && !FetchNext()) {
    SetError();
    return 0;
  }
  return block_[index_++];
}

std::int32_t TKVDigestStream::ReadBlock(void* buffer, std::int32_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::int32_t done = 0;
  while (done < count) {
    if (Held() == 0 && !FetchNext()) break;
    const std::uint32_t wanted = static_cast<std::uint32_t>(count - done);
    const std::uint32_t take = wanted < Held() ? wanted : Held();
    std::memcpy(bytes + done, block_.get() + index_, take);
    index_ += take;
    done += static_cast<std::int32_t>(take);
  }
  return done;
}

int TKVDigestStream::Seek(std::uint32_t position) {
  if (position < blockStart_) {
    // Fetching these bytes again would digest them twice.
    inOrder_ = false;
    blockStart_ = position;
    blockFill_ = 0;
    index_ = 0;
    if (!source_->Seek(position)) {
      SetError();
      return 0;
    }
    return 1;
  }
  while (position > blockStart_ + blockFill_) {
    if (!FetchNext()) {
      SetError();
      return 0;
    }
  }
  index_ = position - blockStart_;
  return 1;
}

std::uint32_t TKVDigestStream::GetPosition() { return blockStart_ + index_; }

std::uint32_t TKVDigestStream::GetSize() {
  const std::uint32_t size = source_->GetSize();
  if (source_->Error()) SetError();
  return size;
}

bool TKVDigestStream::DigestRest() {
  if (!inOrder_) return false;
  while (FetchNext()) {
  }
  // A read that failed before the end looks like the end; the size tells.
  const std::uint32_t size = source_->GetSize();
  return source_->Error() == 0 && blockStart_ == size;
}

}  // namespace streams

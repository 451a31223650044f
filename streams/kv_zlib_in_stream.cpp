#include "streams/kv_zlib_in_stream.h"

#include <zlib.h>

#include <cstring>
#include <new>

namespace streams {

namespace {

constexpr std::uint32_t kBufferSize = 8192;
constexpr std::uint32_t kUnknownSize = 0x7FFFFFF0u;
constexpr std::uint32_t kMarkerCapacity = 16;

}  // namespace

struct TKVZLibInStream::Decompressor {
  z_stream record;
};

int IsCompressedContainer(TKVStream& stream) {
  char marker[kMarkerCapacity];
  stream.Rewind();
  stream.ReadString(marker, kMarkerCapacity);
  return std::strcmp(marker, kContainerMarker) == 0 ? 1 : 0;
}

TKVZLibInStream::TKVZLibInStream(TKVStream* source, int ownsSource)
    : inputBuffer_(new (std::nothrow) std::uint8_t[kBufferSize]),
      outputBuffer_(new (std::nothrow) std::uint8_t[kBufferSize]),
      decompressor_(new (std::nothrow) Decompressor()),
      source_(source),
      ownsSource_(ownsSource) {
  // Without its buffers the stream can deliver nothing; it reports that as
  // an error on the first read.
  if (!inputBuffer_ || !outputBuffer_ || !decompressor_) SetError();
}

TKVZLibInStream::~TKVZLibInStream() {
  EndInflate();
  if (ownsSource_ && source_ != nullptr) delete source_;
}

void TKVZLibInStream::StartInflate() {
  if (state_ != kIdle || source_ == nullptr || !decompressor_) return;
  if (!IsCompressedContainer(*source_)) return;
  state_ = kInflating;
  z_stream& z = decompressor_->record;
  std::memset(&z, 0, sizeof z);
  // A failed initialisation is not tested here: it shows as a failure of
  // the first inflate call.
  inflateInit(&z);
  readIndex_ = 0;
  z.next_in = inputBuffer_.get();
  z.avail_in = 0;
  z.next_out = outputBuffer_.get();
  z.avail_out = kBufferSize;
}

void TKVZLibInStream::EndInflate() {
  if (state_ == kIdle) return;
  inflateEnd(&decompressor_->record);
  state_ = kIdle;
}

std::uint32_t TKVZLibInStream::Buffered() const {
  return kBufferSize - decompressor_->record.avail_out;
}

// The common case, a byte still waiting in the output buffer, is answered
// here; everything else as the refill decides.
inline int TKVZLibInStream::FillOutput() {
  if (state_ != kIdle && !ErrorFlag() && Buffered() != readIndex_) return 1;
  return Refill();
}

int TKVZLibInStream::Refill() {
  if (state_ == kIdle) StartInflate();
  if (ErrorFlag()) return 0;
  if (state_ == kIdle) return 0;
  if (Buffered() != readIndex_) return 1;
  z_stream& z = decompressor_->record;
  for (;;) {
    readIndex_ = 0;
    z.next_out = outputBuffer_.get();
    z.avail_out = kBufferSize;
    if (state_ == kInflating && z.avail_in == 0) {
      z.next_in = inputBuffer_.get();
      const std::int32_t got =
          source_->ReadBlock(inputBuffer_.get(), static_cast<std::int32_t>(kBufferSize));
      z.avail_in = got > 0 ? static_cast<uInt>(got) : 0;
      if (z.avail_in == 0) state_ = kDraining;
    }
    if (state_ == kInflating || state_ == kDraining) {
      // Never Z_FINISH: current zlib answers Z_BUF_ERROR when the output
      // space cannot take the rest in one call, although it made progress.
      // Draining counts any progress as success; a call that can make none
      // on an exhausted source means the data was cut short.
      const int result = inflate(&z, Z_NO_FLUSH);
      if (result == Z_STREAM_END) {
        state_ = kEnded;
      } else if (result != Z_OK &&
                 !(result == Z_BUF_ERROR && state_ == kInflating && z.avail_in == 0)) {
        state_ = kFailed;
      } else if (state_ == kDraining && Buffered() == 0) {
        state_ = kFailed;
      }
    }
    const bool produced = Buffered() > 0;
    if (!produced && (state_ == kEnded || state_ == kFailed)) return 0;
    if (produced) return 1;
  }
}

std::uint8_t TKVZLibInStream::ReadByte() {
  if (!FillOutput()) {
    SetError();
    return 0;
  }
  const std::uint8_t value = outputBuffer_[readIndex_];
  ++readIndex_;
  ++position_;
  return value;
}

int TKVZLibInStream::Seek(std::uint32_t position) {
  if (position < position_) {
    EndInflate();
    position_ = 0;
  }
  while (position_ < position) {
    ReadByte();
    if (ErrorFlag()) return 0;
  }
  return 1;
}

std::uint32_t TKVZLibInStream::GetPosition() { return position_; }

std::uint32_t TKVZLibInStream::GetSize() { return kUnknownSize; }

std::uint32_t TKVZLibInStream::TakeUnread(std::uint32_t count, const std::uint8_t** bytes) {
  const std::uint32_t unread = Buffered() - readIndex_;
  const std::uint32_t taken = count < unread ? count : unread;
  *bytes = outputBuffer_.get() + readIndex_;
  readIndex_ += taken;
  position_ += taken;
  return taken;
}

// Byte for byte what a loop of ReadByte calls gives while FillOutput says
// there is more, taken a run of the output buffer at a time.
std::int32_t TKVZLibInStream::ReadBlock(void* buffer, std::int32_t count) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::int32_t i = 0;
  while (i < count && FillOutput()) {
    const std::uint8_t* run = nullptr;
    const std::uint32_t taken = TakeUnread(static_cast<std::uint32_t>(count - i), &run);
    std::memcpy(bytes + i, run, taken);
    i += static_cast<std::int32_t>(taken);
  }
  if (state_ == kFailed) SetError();
  return i;
}

std::int32_t TKVZLibInStream::ReadBlockTo(TKVStream& destination, std::int32_t count,
                                          std::uint8_t*) {
  std::int32_t i = 0;
  while (i < count && FillOutput()) {
    const std::uint8_t* run = nullptr;
    const std::uint32_t taken = TakeUnread(static_cast<std::uint32_t>(count - i), &run);
    destination.WriteBlock(run, static_cast<std::int32_t>(taken));
    i += static_cast<std::int32_t>(taken);
  }
  if (state_ == kFailed) SetError();
  return i;
}

}  // namespace streams

#include "streams/kv_memory_streams.h"

#include "platform/memory.h"

namespace streams {

void TKVSizerStream::WriteByte(std::uint8_t) {
  ++position_;
  if (size_ < position_) size_ = position_;
}

std::uint8_t TKVSizerStream::ReadByte() {
  if (position_ < size_) {
    ++position_;
    return 0;
  }
  SetError();
  return 0;
}

int TKVSizerStream::Seek(std::uint32_t position) {
  if (position > size_) return 0;
  position_ = 0;
  while (position_ < position) ReadByte();
  return 1;
}

std::uint32_t TKVSizerStream::GetPosition() { return position_; }

std::uint32_t TKVSizerStream::GetSize() { return size_; }

int TKVSizerStream::Clear() {
  const int result = Rewind();
  size_ = 0;
  return result;
}

TKVFlatRamStream::TKVFlatRamStream(void* buffer, std::uint32_t capacity, std::uint32_t size)
    : capacity_(capacity),
      base_(static_cast<std::uint8_t*>(buffer)),
      current_(static_cast<std::uint8_t*>(buffer)) {
  size_ = size;
}

TKVFlatRamStream::TKVFlatRamStream(const void* buffer, std::uint32_t size)
    : TKVFlatRamStream(const_cast<void*>(buffer), size, size) {
  readOnly_ = true;
}

TKVFlatRamStream::TKVFlatRamStream(std::uint32_t capacity, std::uint32_t growBy) : growBy_(growBy) {
  base_ = static_cast<std::uint8_t*>(platform::AllocateBlock(capacity));
  // Without its first block the stream behaves like one without memory.
  if (base_ != nullptr) {
    capacity_ = capacity;
    ownsMemory_ = 1;
  } else {
    growBy_ = 0;
  }
  current_ = base_;
}

TKVFlatRamStream::~TKVFlatRamStream() {
  if (ownsMemory_ && base_ != nullptr) platform::FreeBlock(base_);
}

bool TKVFlatRamStream::Grow() {
  if (growBy_ == 0 || !ownsMemory_) return false;
  const std::uint32_t newCapacity = capacity_ < growBy_ ? growBy_ : capacity_ + growBy_;
  if (newCapacity <= capacity_) return false;
  void* moved = platform::ResizeBlock(base_, newCapacity);
  // A failed growth keeps the old block, so the stream stays usable.
  if (moved == nullptr) return false;
  capacity_ = newCapacity;
  base_ = static_cast<std::uint8_t*>(moved);
  current_ = base_ + position_;
  return true;
}

void TKVFlatRamStream::WriteByte(std::uint8_t value) {
  if (readOnly_ || (position_ >= capacity_ && !Grow())) {
    SetError();
    return;
  }
  *current_++ = value;
  ++position_;
  if (size_ < position_) size_ = position_;
}

std::uint8_t TKVFlatRamStream::ReadByte() {
  if (position_ < size_) {
    ++position_;
    return *current_++;
  }
  SetError();
  return 0;
}

int TKVFlatRamStream::Seek(std::uint32_t position) {
  if (position > size_) return 0;
  position_ = position;
  current_ = base_ + position;
  return 1;
}

}  // namespace streams

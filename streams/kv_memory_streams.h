// Streams that keep their bytes in memory.
//
// TKVSizerStream counts what is written without storing it, to measure how
// long some output would be. TKVFlatRamStream stores the bytes, either in
// memory the caller owns (read in place, never freed or grown) or in a
// block of its own that grows by a fixed step.
#pragma once

#include <cstdint>

#include "streams/kv_stream.h"

namespace streams {

class TKVSizerStream : public TKVStream {
 public:
  TKVSizerStream() = default;

  void WriteByte(std::uint8_t value) override;
  std::uint8_t ReadByte() override;
  // Beyond the size: 0, with the error flag and the position unchanged.
  int Seek(std::uint32_t position) override;
  std::uint32_t GetPosition() override;
  std::uint32_t GetSize() override;
  int Clear() override;

 protected:
  std::uint32_t size_ = 0;
  std::uint32_t position_ = 0;
};

class TKVFlatRamStream : public TKVSizerStream {
 public:
  // No memory: every read and write fails.
  TKVFlatRamStream() = default;
  // Over caller memory holding `size` valid bytes in `capacity`.
  TKVFlatRamStream(void* buffer, std::uint32_t capacity, std::uint32_t size);
  // Over read-only caller memory, such as a resource; writes fail.
  TKVFlatRamStream(const void* buffer, std::uint32_t size);
  // Owned memory of `capacity` bytes that grows by `growBy` (0: never).
  TKVFlatRamStream(std::uint32_t capacity, std::uint32_t growBy);
  ~TKVFlatRamStream() override;

  void WriteByte(std::uint8_t value) override;
  std::uint8_t ReadByte() override;
  int Seek(std::uint32_t position) override;

  const std::uint8_t* data() const { return base_; }

 private:
  bool Grow();

  std::uint32_t capacity_ = 0;
  int ownsMemory_ = 0;
  std::uint32_t growBy_ = 0;
  std::uint8_t* base_ = nullptr;
  std::uint8_t* current_ = nullptr;
  bool readOnly_ = false;
};

}  // namespace streams

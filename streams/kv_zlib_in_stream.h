// Reads a compressed package container, the text "[KVZ]" and its NUL
// followed by one zlib stream, and delivers the decompressed bytes through
// the ordinary read operations. A backward seek restarts decompression from
// the container's start; the size is unknown and reported as 0x7FFFFFF0.
#pragma once

#include <cstdint>
#include <memory>

#include "streams/kv_stream.h"

namespace streams {

// The container's first bytes, NUL included.
constexpr char kContainerMarker[] = "[KVZ]";

// 1 when the stream starts with the NUL-terminated text "[KVZ]" (exact,
// case-sensitive). Rewinds first and leaves the stream after the first NUL.
int IsCompressedContainer(TKVStream& stream);

class TKVZLibInStream : public TKVStream {
 public:
  enum State { kIdle = 0, kInflating = 1, kDraining = 2, kEnded = 3, kFailed = 4 };

  // Reads nothing yet. With `ownsSource` the source is deleted with this
  // stream.
  TKVZLibInStream(TKVStream* source, int ownsSource);
  ~TKVZLibInStream() override;

  std::uint8_t ReadByte() override;
  int Seek(std::uint32_t position) override;
  std::uint32_t GetPosition() override;
  std::uint32_t GetSize() override;
  std::int32_t ReadBlock(void* buffer, std::int32_t count) override;

  State state() const { return state_; }

 protected:
  std::int32_t ReadBlockTo(TKVStream& destination, std::int32_t count,
                           std::uint8_t* scratch) override;

 private:
  struct Decompressor;

  void StartInflate();
  void EndInflate();
  int FillOutput();
  int Refill();
  std::uint32_t Buffered() const;
  // Takes up to `count` of the decompressed bytes not yet read; at least
  // one when FillOutput has just said there are some.
  std::uint32_t TakeUnread(std::uint32_t count, const std::uint8_t** bytes);

  State state_ = kIdle;
  std::uint32_t position_ = 0;
  std::uint32_t readIndex_ = 0;
  std::unique_ptr<std::uint8_t[]> inputBuffer_;
  std::unique_ptr<std::uint8_t[]> outputBuffer_;
  std::unique_ptr<Decompressor> decompressor_;
  TKVStream* source_;
  int ownsSource_;
};

}  // namespace streams

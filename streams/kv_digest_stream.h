// A read-only stream over another stream (a package file) that hands every
// byte of it to a ByteDigest, in file order and each exactly once, so that
// the digest of a whole file comes out of the reads that use it.
//
// It fetches its source in blocks and serves reads from the block it holds:
// the per-byte path is an index check, whoever reads byte by byte. A seek
// inside the held block costs nothing; a seek forward fetches (and digests)
// the bytes it passes. A seek back before the held block would have to
// fetch bytes a second time, which the digest cannot take: the stream then
// stops vouching for the file, and DigestRest() answers false.
//
// Short reads and reads at the end behave as on a TKVFStream: ReadBlock
// returns the short count, ReadByte sets the error flag.
#pragma once

#include <cstdint>
#include <memory>

#include "streams/byte_digest.h"
#include "streams/kv_stream.h"

namespace streams {

class TKVDigestStream : public TKVStream {
 public:
  // Owns `source`, which must stand at its start; `digest` is the caller's
  // and must outlive this stream.
  TKVDigestStream(TKVStream* source, ByteDigest* digest);
  ~TKVDigestStream() override;

  std::uint8_t ReadByte() override;
  int Seek(std::uint32_t position) override;
  std::uint32_t GetPosition() override;
  std::uint32_t GetSize() override;
  std::int32_t ReadBlock(void* buffer, std::int32_t count) override;

  // Fetches and digests what is left of the source; the stream is then at
  // its end. True when the digest has seen every byte of the source, once
  // and in order.
  bool DigestRest();

 private:
  // Replaces the held block by the next one; false at the end of the source.
  bool FetchNext();
  std::uint32_t Held() const { return blockFill_ - index_; }

  std::unique_ptr<TKVStream> source_;
  ByteDigest* digest_;
  std::unique_ptr<std::uint8_t[]> block_;
  // The held block is the source's bytes from blockStart_, blockFill_ long;
  // reads take them from index_ on. Everything before blockStart_ +
  // blockFill_ has been digested.
  std::uint32_t blockStart_ = 0;
  std::uint32_t blockFill_ = 0;
  std::uint32_t index_ = 0;
  bool inOrder_ = true;
};

}  // namespace streams

// A ByteDigest that hands its bytes on to another one on a worker thread, so
// that hashing what a stream reads costs the reading thread a copy, not the
// hash: the installation decodes the package while its digest is computed
// beside it.
//
// The bytes wait in a few fixed blocks (bounded memory whatever is read);
// when all of them are full, Update waits for the worker to free one. The
// target sees every byte once, in order, exactly as if it had been given
// them directly. When the blocks or the thread cannot be had, Update hands
// the bytes on in line instead, with the same result.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "streams/byte_digest.h"

namespace streams {

class BackgroundDigest final : public ByteDigest {
 public:
  static constexpr std::size_t kBlockSize = 65536;
  static constexpr std::size_t kDefaultBlocks = 4;

  // `target` is the caller's and must outlive this object. `blocks` is how
  // many blocks may wait for the worker; 0 hashes in line, on the caller's
  // thread.
  explicit BackgroundDigest(ByteDigest* target, std::size_t blocks = kDefaultBlocks);
  // Stops the worker; bytes not yet handed on are dropped.
  ~BackgroundDigest() override;
  BackgroundDigest(const BackgroundDigest&) = delete;
  BackgroundDigest& operator=(const BackgroundDigest&) = delete;

  void Update(const std::uint8_t* bytes, std::size_t count) override;
  // Returns once the target has seen every byte given so far, so that the
  // caller may read its result.
  void Drain();
  // False when the bytes are handed on in line.
  bool InBackground() const { return worker_.joinable(); }

 private:
  // Queues the block being filled for the worker.
  void Submit();
  void Work();

  ByteDigest* target_;
  std::size_t blockCount_;
  std::unique_ptr<std::unique_ptr<std::uint8_t[]>[]> blocks_;
  std::unique_ptr<std::size_t[]> fills_;

  // Shared with the worker, under mutex_: the worker hands on the block at
  // head_ next; queued_ blocks from there on are waiting or being hashed.
  // The block at (head_ + queued_) is the caller's to fill.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t head_ = 0;
  std::size_t queued_ = 0;
  bool stopping_ = false;

  // The caller's own: the block it fills, and how much of it is filled.
  std::size_t fillingBlock_ = 0;
  std::size_t filling_ = 0;
  std::thread worker_;
};

}  // namespace streams

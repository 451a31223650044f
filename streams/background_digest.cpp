#include "streams/background_digest.h"

#include <cstring>
#include <exception>
#include <new>

namespace streams {

BackgroundDigest::BackgroundDigest(ByteDigest* target, std::size_t blocks)
    : target_(target), blockCount_(blocks) {
  if (blockCount_ == 0) return;
  blocks_.reset(new (std::nothrow) std::unique_ptr<std::uint8_t[]>[blockCount_]);
  fills_.reset(new (std::nothrow) std::size_t[blockCount_]);
  if (!blocks_ || !fills_) return;
  for (std::size_t i = 0; i < blockCount_; ++i) {
    blocks_[i].reset(new (std::nothrow) std::uint8_t[kBlockSize]);
    if (!blocks_[i]) return;
  }
  // The library reports a thread it cannot start by throwing; here that
  // only means hashing in line.
  try {
    worker_ = std::thread(&BackgroundDigest::Work, this);
  } catch (const std::exception&) {
  }
}

BackgroundDigest::~BackgroundDigest() {
  if (!InBackground()) return;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void BackgroundDigest::Update(const std::uint8_t* bytes, std::size_t count) {
  if (!InBackground()) {
    target_->Update(bytes, count);
    return;
  }
  while (count > 0) {
    const std::size_t room = kBlockSize - filling_;
    const std::size_t take = count < room ? count : room;
    std::memcpy(blocks_[fillingBlock_].get() + filling_, bytes, take);
    filling_ += take;
    bytes += take;
    count -= take;
    if (filling_ == kBlockSize) Submit();
  }
}

void BackgroundDigest::Submit() {
  std::unique_lock<std::mutex> lock(mutex_);
  fills_[fillingBlock_] = filling_;
  ++queued_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return queued_ < blockCount_; });
  fillingBlock_ = (head_ + queued_) % blockCount_;
  filling_ = 0;
}

void BackgroundDigest::Drain() {
  if (!InBackground()) return;
  if (filling_ > 0) Submit();
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return queued_ == 0; });
}

void BackgroundDigest::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || queued_ > 0; });
    if (stopping_) return;
    const std::size_t block = head_;
    const std::size_t fill = fills_[block];
    // The caller fills other blocks meanwhile; this one is the worker's
    // until it is handed back.
    lock.unlock();
    target_->Update(blocks_[block].get(), fill);
    lock.lock();
    head_ = (head_ + 1) % blockCount_;
    --queued_;
    changed_.notify_all();
  }
}

}  // namespace streams

// The read buffer of a file stream: a few windows, each a copy of a stretch
// of the file. A delta copies from several regions of the old file in
// turn (code, data, tables), a few dozen bytes at a time; one window per
// region lets each continue where it left off without a system call.
// Windows are found by position, may overlap, and are replaced least
// recently used first; memory for a window is taken when it is first used.
#pragma once

#include <cstdint>
#include <memory>

namespace streams {

class ReadWindows {
 public:
  static constexpr std::uint32_t kWindowCount = 32;
  static constexpr std::uint32_t kWindowSize = 16 * 1024;

  struct Window {
    std::unique_ptr<std::uint8_t[]> bytes;
    // The file position of bytes[0]; `length` bytes are valid, fewer than
    // kWindowSize only where the file ended or could not be read further.
    std::uint64_t start = 0;
    std::uint32_t length = 0;
    std::uint32_t lastUse = 0;
  };

  // The window holding the byte at `position`, or null.
  Window* Find(std::uint64_t position);
  // Marks `window` as just used.
  void Touch(Window* window) { window->lastUse = ++clock_; }
  // Where to load new bytes: `replacing` when a read ran off its end (the
  // region moves on), else an empty window or the least recently used one.
  // Null when no memory can be had. The window comes back empty.
  Window* Slot(Window* replacing);
  // Every window empty, their memory kept.
  void Forget();

 private:
  Window windows_[kWindowCount];
  std::uint32_t clock_ = 0;
};

}  // namespace streams

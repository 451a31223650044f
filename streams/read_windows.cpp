#include "streams/read_windows.h"

#include <new>

namespace streams {

ReadWindows::Window* ReadWindows::Find(std::uint64_t position) {
  for (Window& window : windows_) {
    if (position >= window.start && position - window.start < window.length) return &window;
  }
  return nullptr;
}

ReadWindows::Window* ReadWindows::Slot(Window* replacing) {
  Window* chosen = replacing;
  if (chosen == nullptr) {
    for (Window& window : windows_) {
      if (chosen == nullptr || window.length == 0 || window.lastUse < chosen->lastUse) {
        chosen = &window;
      }
      if (window.length == 0) break;
    }
  }
  if (!chosen->bytes) chosen->bytes.reset(new (std::nothrow) std::uint8_t[kWindowSize]);
  if (!chosen->bytes) return nullptr;
  chosen->length = 0;
  return chosen;
}

void ReadWindows::Forget() {
  for (Window& window : windows_) window.length = 0;
}

}  // namespace streams

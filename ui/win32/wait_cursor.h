// The hourglass pointer while the program works without handling messages.
#pragma once

#include "platform/win32/windows_api.h"

namespace ui {

class WaitCursor {
 public:
  // Shows the hourglass at once when `show` is true.
  explicit WaitCursor(bool show);
  ~WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

  void Show();
  // Puts back the pointer that was current when the hourglass was shown.
  void Hide();

 private:
  HCURSOR previous_ = nullptr;
  bool shown_ = false;
};

}  // namespace ui

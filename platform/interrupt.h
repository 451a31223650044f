// Ctrl-C as the progress dialog's Cancel command. While an InterruptAsCancel
// lives, an interrupt does not end the program: it is kept as a pending
// press that the console's message pump turns into a cancel request, the
// way the Win32 dialog's Cancel button waits in the message queue. During
// the commit nothing pumps, so a press there changes nothing.
#pragma once

namespace platform {

class InterruptAsCancel {
 public:
  InterruptAsCancel();
  ~InterruptAsCancel();
  InterruptAsCancel(const InterruptAsCancel&) = delete;
  InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;

 private:
  bool installed_;
};

// True once for the presses since the last call.
bool TakeInterrupt();

}  // namespace platform

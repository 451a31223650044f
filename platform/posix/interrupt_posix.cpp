#include <signal.h>

#include "platform/interrupt.h"

namespace platform {

namespace {

volatile sig_atomic_t pressed = 0;
struct sigaction previous;

void OnInterrupt(int) { pressed = 1; }

}  // namespace

InterruptAsCancel::InterruptAsCancel() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // A question waiting on standard input keeps waiting: the press is
  // settled at the next poll, as a click would be.
  action.sa_flags = SA_RESTART;
  installed_ = sigaction(SIGINT, &action, &previous) == 0;
}

InterruptAsCancel::~InterruptAsCancel() {
  if (installed_) sigaction(SIGINT, &previous, nullptr);
}

bool TakeInterrupt() {
  if (!pressed) return false;
  pressed = 0;
  return true;
}

}  // namespace platform

#include "platform/interrupt.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// The console's control handler runs on a thread of its own.
volatile LONG pressed = 0;

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  InterlockedExchange(&pressed, 1);
  return TRUE;
}

}  // namespace

InterruptAsCancel::InterruptAsCancel() { installed_ = SetConsoleCtrlHandler(OnControl, TRUE) != 0; }

InterruptAsCancel::~InterruptAsCancel() {
  if (installed_) SetConsoleCtrlHandler(OnControl, FALSE);
}

// Asked at every poll of the engine: a plain read, and the locked exchange
// only when there is a press to take.
bool TakeInterrupt() { return pressed != 0 && InterlockedExchange(&pressed, 0) != 0; }

}  // namespace platform

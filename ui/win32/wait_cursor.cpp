#include "ui/win32/wait_cursor.h"

namespace ui {

WaitCursor::WaitCursor(bool show) {
  if (show) Show();
}

WaitCursor::~WaitCursor() { Hide(); }

void WaitCursor::Show() {
  if (shown_) return;
  previous_ = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
  shown_ = true;
}

void WaitCursor::Hide() {
  if (!shown_) return;
  ::SetCursor(previous_);
  previous_ = nullptr;
  shown_ = false;
}

}  // namespace ui

#include "ui/win32/dialog_helpers.h"

#include <cstddef>
#include <cstring>

#include "ui/dialog_geometry.h"

namespace ui {

HINSTANCE AppInstance = nullptr;
HBITMAP WizardBitmap = nullptr;

namespace {

constexpr DWORD kFileDialogSize = 76;
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == kFileDialogSize,
              "the record the program hands to the file dialogs ends at its template name");

OPENFILENAMEA fileDialog;

}  // namespace

void CenterOnScreen(HWND window, bool repaint) {
  RECT rect;
  if (!::GetWindowRect(window, &rect)) return;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const ScreenPoint origin = CenteredOrigin(::GetSystemMetrics(SM_CXSCREEN),
                                            ::GetSystemMetrics(SM_CYSCREEN), width, height);
  ::MoveWindow(window, origin.x, origin.y, width, height, repaint ? TRUE : FALSE);
}

OPENFILENAMEA& FileDialog() { return fileDialog; }

void ResetFileDialog() {
  std::memset(&fileDialog, 0, sizeof fileDialog);
  fileDialog.lStructSize = kFileDialogSize;
}

bool IsWindows4OrLater() { return LOBYTE(LOWORD(::GetVersion())) > 3; }

UINT_PTR CALLBACK OldStyleCenteringHook(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  CenterOnScreen(dialog);
  return TRUE;
}

UINT_PTR CALLBACK ExplorerCenteringHook(HWND, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_NOTIFY) return FALSE;
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != static_cast<UINT>(CDN_INITDONE)) return FALSE;
  CenterOnScreen(header->hwndFrom);
  return TRUE;
}

}  // namespace ui

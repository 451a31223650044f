#include "ui/win32/win32_user_interface.h"

#include "package/ui_strings.h"
#include "platform/win32/windows_api.h"
#include "resources/resource_ids.h"
#include "ui/win32/exported_procedures.h"
#include "ui/win32/progress_dialog.h"

namespace ui {

// The engine names the dialog's controls, its message box styles and
// answers and its message table by the platform's portable values; the
// dialog templates and the system know them by these.
static_assert(platform::kProgressFileName == IDC_PROGRESS_FILE_NAME);
static_assert(platform::kProgressDescription == IDC_PROGRESS_DESCRIPTION);
static_assert(platform::kProgressStatus == IDC_PROGRESS_STATUS);
static_assert(platform::kProgressBar == IDC_PROGRESS_BAR);
static_assert(platform::kProgressCancelButton == IDC_PROGRESS_CANCEL);
static_assert(platform::kMbOk == MB_OK && platform::kMbYesNo == MB_YESNO);
static_assert(platform::kMbIconQuestion == MB_ICONQUESTION);
static_assert(platform::kMbIconInformation == MB_ICONINFORMATION);
static_assert(platform::kMbTaskModal == MB_TASKMODAL && platform::kMbButtonMask == MB_TYPEMASK);
static_assert(platform::kIdOk == IDOK && platform::kIdCancel == IDCANCEL);
static_assert(platform::kIdYes == IDYES && platform::kIdNo == IDNO);
static_assert(package::kUiStringsResourceId == IDR_UI_STRINGS);

namespace {

HWND Window(platform::WindowHandle handle) { return static_cast<HWND>(handle); }

}  // namespace

platform::WindowHandle Win32UserInterface::CreateProgressDialog(platform::ModuleInstance instance,
                                                                platform::WindowHandle owner) {
  const HWND dialog = ::CreateDialogParamA(static_cast<HINSTANCE>(instance), "UPGPROGRESS",
                                           Window(owner), UpgProgressDlg, 0);
  if (dialog == nullptr) return nullptr;
  ::ShowWindow(dialog, SW_SHOW);
  ::UpdateWindow(dialog);
  return dialog;
}

void Win32UserInterface::DestroyProgressDialog(platform::WindowHandle dialog) {
  if (dialog != nullptr) ::DestroyWindow(Window(dialog));
}

void Win32UserInterface::SetWindowTitle(platform::WindowHandle window, const char* text) {
  ::SetWindowTextA(Window(window), text);
}

void Win32UserInterface::SetControlText(platform::WindowHandle dialog, int control,
                                        const char* text) {
  ::SetDlgItemTextA(Window(dialog), control, text);
}

void Win32UserInterface::UpdateWindow(platform::WindowHandle window) {
  ::UpdateWindow(Window(window));
}

void Win32UserInterface::EnableWindow(platform::WindowHandle window, bool enable) {
  ::EnableWindow(Window(window), enable ? TRUE : FALSE);
}

int Win32UserInterface::ShowMessageBox(platform::WindowHandle owner, const char* text,
                                       const char* caption, unsigned style) {
  return ::MessageBoxA(Window(owner), text, caption, style);
}

void Win32UserInterface::PumpMessages(platform::WindowHandle dialog) {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The quit belongs to the main loop, which ends the program once the
      // engine is done.
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (::IsDialogMessageA(Window(dialog), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

void Win32UserInterface::DrawPercentBar(platform::WindowHandle dialog, int control, int percent) {
  ui::DrawPercentBar(Window(dialog), control, percent);
}

std::uint32_t Win32UserInterface::TickCount() { return ::GetTickCount(); }

}  // namespace ui

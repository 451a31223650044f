#include "ui/win32/win32_front_end.h"

#include "resources/resource_ids.h"
#include "ui/win32/dialog_helpers.h"
#include "ui/win32/exported_procedures.h"
#include "ui/win32/file_dialogs.h"

namespace ui {

// A page ends with the identifier of the button that ended it, which the
// wizard loop reads as its result.
static_assert(kPageBack == IDC_PAGE_BACK && kPageNext == IDC_PAGE_NEXT);
static_assert(kPageCancel == IDC_PAGE_CANCEL);

namespace {

HWND Window(platform::WindowHandle handle) { return static_cast<HWND>(handle); }

}  // namespace

Win32FrontEnd::~Win32FrontEnd() { HideSearchNotice(); }

platform::ModuleInstance Win32FrontEnd::Instance() { return AppInstance; }

bool Win32FrontEnd::ChoosePackageFile(char* path) {
  return ui::ChoosePackageFile(mainWindow_, path) == 1;
}

int Win32FrontEnd::MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                              unsigned style) {
  return ::MessageBoxA(Window(owner), text, caption, style);
}

void Win32FrontEnd::ShowSearchNotice() {
  searchNotice_ = ::CreateDialogParamA(AppInstance, "UPGSEARCH", mainWindow_, UpgSearchDlg, 0);
  if (searchNotice_ != nullptr) {
    ::ShowWindow(searchNotice_, SW_SHOW);
    ::UpdateWindow(searchNotice_);
  }
}

void Win32FrontEnd::HideSearchNotice() {
  if (searchNotice_ != nullptr) ::DestroyWindow(searchNotice_);
  searchNotice_ = nullptr;
}

void Win32FrontEnd::UpdateMainWindow() { ::UpdateWindow(mainWindow_); }

int Win32FrontEnd::RunPage(int page) {
  static const char* const kTemplates[] = {"CONFIRM1", "CONFIRM2", "CONFIRM3"};
  static const DLGPROC kProcedures[] = {Confirm1, Confirm2, Confirm3};
  if (page < 1 || page > 3) return kPageCancel;
  // A page that cannot be created gives -1, which the wizard takes as Next.
  return static_cast<int>(
      ::DialogBoxParamA(AppInstance, kTemplates[page - 1], mainWindow_, kProcedures[page - 1],
                        reinterpret_cast<LPARAM>(static_cast<FrontEnd*>(this))));
}

bool Win32FrontEnd::ChooseFolder(platform::WindowHandle owner, const char* start, char* returned) {
  return ShowBrowseDialog(Window(owner), start, returned) == 1;
}

extern "C" INT_PTR CALLBACK UpgSearchDlg(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  CenterOnScreen(dialog);
  return TRUE;
}

}  // namespace ui

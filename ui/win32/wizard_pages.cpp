#include "ui/win32/wizard_pages.h"

#include <string>

#include "platform/bounded_text.h"
#include "resources/resource_ids.h"
#include "streams/file_utilities.h"
#include "ui/shared_state.h"
#include "ui/win32/dialog_helpers.h"
#include "ui/win32/exported_procedures.h"
#include "ui/wizard.h"

namespace ui {

namespace {

FrontEnd* PageFrontEnd(HWND dialog) {
  return reinterpret_cast<FrontEnd*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

// Every page starts centred, keeping the front-end it was opened with.
void StartPage(HWND dialog, LPARAM frontEnd) {
  ::SetWindowLongPtrA(dialog, DWLP_USER, frontEnd);
  CenterOnScreen(dialog);
}

void PaintPage(HWND dialog) {
  PAINTSTRUCT paint;
  ::BeginPaint(dialog, &paint);
  ::EndPaint(dialog, &paint);
  DrawWizardBitmap(::GetDlgItem(dialog, IDC_PAGE_PICTURE));
}

INT_PTR PageCommand(HWND dialog, WPARAM command) {
  if (command == IDC_PAGE_CANCEL) {
    FrontEnd* frontEnd = PageFrontEnd(dialog);
    if (frontEnd == nullptr || ConfirmCancel(*frontEnd, dialog)) {
      ::EndDialog(dialog, IDC_PAGE_CANCEL);
    }
    return TRUE;
  }
  if (command == IDC_PAGE_BACK || command == IDC_PAGE_NEXT) {
    ::EndDialog(dialog, static_cast<INT_PTR>(command));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int ShowPackageText(const char* packagePath, HWND titleControl, HWND descriptionControl) {
  std::string title;
  std::string description;
  if (!ReadPackageText(packagePath, &title, &description)) return 0;
  if (titleControl != nullptr) {
    ::SendMessageA(titleControl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
  }
  if (descriptionControl != nullptr) {
    ::SendMessageA(descriptionControl, WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(description.c_str()));
  }
  return 1;
}

void ShowFolderName(HWND dialog, int control, const char* folder) {
  const streams::CurrentFolderKeeper keeper;
  // The system may rewrite the path it is given.
  char path[streams::kMaxPath];
  if (!platform::CopyText(path, folder)) return;
  ::DlgDirListA(dialog, path, 0, control, 0);
}

void DrawWizardBitmap(HWND panel) {
  if (panel == nullptr || WizardBitmap == nullptr) return;
  // The static control paints itself first; the picture goes over it.
  ::InvalidateRect(panel, nullptr, FALSE);
  ::UpdateWindow(panel);
  RECT client;
  ::GetClientRect(panel, &client);
  const HDC dc = ::GetDC(panel);
  const HDC memory = ::CreateCompatibleDC(dc);
  BITMAP picture{};
  ::GetObjectA(WizardBitmap, sizeof picture, &picture);
  const HGDIOBJ previous = ::SelectObject(memory, WizardBitmap);
  ::StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, picture.bmWidth,
               picture.bmHeight, SRCCOPY);
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
  ::ReleaseDC(panel, dc);
}

extern "C" INT_PTR CALLBACK Confirm(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StartPage(dialog, lParam);
      return TRUE;
    case WM_PAINT:
      PaintPage(dialog);
      return FALSE;
    case WM_COMMAND:
      return PageCommand(dialog, wParam);
    default:
      return FALSE;
  }
}

extern "C" INT_PTR CALLBACK Confirm1(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return Confirm(dialog, message, wParam, lParam);
  StartPage(dialog, lParam);
  ShowPackageText(PackagePath, ::GetDlgItem(dialog, IDC_PAGE_TITLE),
                  ::GetDlgItem(dialog, IDC_PAGE_DESCRIPTION));
  return TRUE;
}

extern "C" INT_PTR CALLBACK Confirm2(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    StartPage(dialog, lParam);
    ShowFolderName(dialog, IDC_PAGE_FOLDER, SelectedFolder);
    return TRUE;
  }
  if (message == WM_COMMAND && wParam == IDC_PAGE_BROWSE) {
    FrontEnd* frontEnd = PageFrontEnd(dialog);
    if (frontEnd != nullptr && BrowseTargetFolder(*frontEnd, dialog)) {
      ShowFolderName(dialog, IDC_PAGE_FOLDER, SelectedFolder);
    }
    return TRUE;
  }
  return Confirm(dialog, message, wParam, lParam);
}

extern "C" INT_PTR CALLBACK Confirm3(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return Confirm(dialog, message, wParam, lParam);
  StartPage(dialog, lParam);
  ShowFolderName(dialog, IDC_PAGE_FOLDER, SelectedFolder);
  return TRUE;
}

}  // namespace ui

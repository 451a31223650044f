// upgapply.exe: the applicator as a Windows program. The command line is
// the package's path; the exit code tells the outcome (closing_message.h).
#include "package/ui_strings.h"
#include "platform/user_interface.h"
#include "platform/win32/windows_api.h"
#include "signing/built_in_key.h"
#include "ui/shared_state.h"
#include "ui/win32/backdrop_paint.h"
#include "ui/win32/dialog_helpers.h"
#include "ui/win32/main_window.h"
#include "ui/win32/win32_user_interface.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  ResetSharedState();
  TitleFont = CreateAppFont(AppFont::kTitle);
  SideFont = CreateAppFont(AppFont::kSide);
  AppInstance = instance;
  WizardBitmap = ::LoadBitmapA(instance, "WIZARDBMP");
  Win32UserInterface engineUi;
  platform::InstallUserInterface(&engineUi);

  int status = JobStatus();
  if (OpenMainWindow(instance, commandLine != nullptr ? commandLine : "", kBuiltInTrustedKey)) {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    status = JobStatus();
  }

  platform::InstallUserInterface(nullptr);
  ::DeleteObject(TitleFont);
  ::DeleteObject(SideFont);
  if (WizardBitmap != nullptr) ::DeleteObject(WizardBitmap);
  return status;
}

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
  ui::ResetSharedState();
  ui::TitleFont = ui::CreateAppFont(ui::AppFont::kTitle);
  ui::SideFont = ui::CreateAppFont(ui::AppFont::kSide);
  ui::AppInstance = instance;
  ui::WizardBitmap = ::LoadBitmapA(instance, "WIZARDBMP");
  ui::Win32UserInterface engineUi;
  platform::InstallUserInterface(&engineUi);

  int status = ui::JobStatus();
  if (ui::OpenMainWindow(instance, commandLine != nullptr ? commandLine : "",
                         signing::kBuiltInTrustedKey)) {
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
    status = ui::JobStatus();
  }

  platform::InstallUserInterface(nullptr);
  ::DeleteObject(ui::TitleFont);
  ::DeleteObject(ui::SideFont);
  if (ui::WizardBitmap != nullptr) ::DeleteObject(ui::WizardBitmap);
  return status;
}

// The flow's front-end in windows: the main window, the file dialogs, the
// search notice, the wizard pages and message boxes.
#pragma once

#include "platform/win32/windows_api.h"
#include "ui/front_end.h"

namespace ui {

class Win32FrontEnd final : public FrontEnd {
 public:
  explicit Win32FrontEnd(HWND mainWindow) : mainWindow_(mainWindow) {}
  ~Win32FrontEnd() override;
  Win32FrontEnd(const Win32FrontEnd&) = delete;
  Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

  platform::ModuleInstance Instance() override;
  platform::WindowHandle MainWindow() override { return mainWindow_; }
  bool ChoosePackageFile(char* path) override;
  int MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                 unsigned style) override;
  // The notice "UPGSEARCH" and the hourglass, painted at once: no message
  // is handled while the search runs.
  void ShowSearchNotice() override;
  void SearchProgress(unsigned long) override {}
  void HideSearchNotice() override;
  void UpdateMainWindow() override;
  int RunPage(int page) override;
  bool ChooseFolder(platform::WindowHandle owner, const char* start, char* returned) override;

 private:
  HWND mainWindow_;
  HWND searchNotice_ = nullptr;
};

}  // namespace ui

// The apply engine's user interface in windows: the "UPGPROGRESS" dialog
// owned by the main window, message boxes owned by the dialog, and the
// message pump that keeps the dialog answering while the engine works.
#pragma once

#include "platform/user_interface.h"

namespace ui {

class Win32UserInterface final : public platform::UserInterface {
 public:
  platform::WindowHandle CreateProgressDialog(platform::ModuleInstance instance,
                                              platform::WindowHandle owner) override;
  void DestroyProgressDialog(platform::WindowHandle dialog) override;
  void SetWindowTitle(platform::WindowHandle window, const char* text) override;
  void SetControlText(platform::WindowHandle dialog, int control, const char* text) override;
  void UpdateWindow(platform::WindowHandle window) override;
  void EnableWindow(platform::WindowHandle window, bool enable) override;
  int ShowMessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                     unsigned style) override;
  void PumpMessages(platform::WindowHandle dialog) override;
  void DrawPercentBar(platform::WindowHandle dialog, int control, int percent) override;
  std::uint32_t TickCount() override;
};

}  // namespace ui

// A UserInterface that passes every call on to another one, so that a
// wrapper (a test that presses a key at a chosen moment) overrides only the
// calls it changes.
#pragma once

#include "platform/user_interface.h"

namespace platform {

class ForwardingUserInterface : public UserInterface {
 public:
  explicit ForwardingUserInterface(UserInterface& next) : next_(next) {}

  WindowHandle CreateProgressDialog(ModuleInstance instance, WindowHandle owner) override {
    return next_.CreateProgressDialog(instance, owner);
  }
  void DestroyProgressDialog(WindowHandle dialog) override { next_.DestroyProgressDialog(dialog); }
  void SetWindowTitle(WindowHandle window, const char* text) override {
    next_.SetWindowTitle(window, text);
  }
  void SetControlText(WindowHandle dialog, int control, const char* text) override {
    next_.SetControlText(dialog, control, text);
  }
  void UpdateWindow(WindowHandle window) override { next_.UpdateWindow(window); }
  void EnableWindow(WindowHandle window, bool enable) override {
    next_.EnableWindow(window, enable);
  }
  int ShowMessageBox(WindowHandle owner, const char* text, const char* caption,
                     unsigned style) override {
    return next_.ShowMessageBox(owner, text, caption, style);
  }
  void PumpMessages(WindowHandle dialog) override { next_.PumpMessages(dialog); }
  void DrawPercentBar(WindowHandle dialog, int control, int percent) override {
    next_.DrawPercentBar(dialog, control, percent);
  }
  std::uint32_t TickCount() override { return next_.TickCount(); }

 private:
  UserInterface& next_;
};

}  // namespace platform

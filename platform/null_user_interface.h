// A user interface that shows nothing and declines every question: with
// nobody to answer, a run stops before it changes anything. Ui() answers
// with one until a front-end installs its own; a host that needs only some
// calls (the builder's verifier, the tests' scripted user) overrides those.
#pragma once

#include "platform/user_interface.h"

namespace platform {

class NullUserInterface : public UserInterface {
 public:
  // The dialog is this object, so that a caller that tells a created dialog
  // from a failed one by null goes on.
  WindowHandle CreateProgressDialog(ModuleInstance, WindowHandle) override { return this; }
  void DestroyProgressDialog(WindowHandle) override {}
  void SetWindowTitle(WindowHandle, const char*) override {}
  void SetControlText(WindowHandle, int, const char*) override {}
  void UpdateWindow(WindowHandle) override {}
  void EnableWindow(WindowHandle, bool) override {}
  // No to a Yes/No question, OK to anything else.
  int ShowMessageBox(WindowHandle, const char*, const char*, unsigned style) override {
    return (style & kMbButtonMask) == kMbYesNo ? kIdNo : kIdOk;
  }
  void PumpMessages(WindowHandle) override {}
  void DrawPercentBar(WindowHandle, int, int) override {}
  // The system's tick count.
  std::uint32_t TickCount() override;
};

}  // namespace platform

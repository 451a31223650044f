#include "platform/user_interface.h"

#include "platform/time.h"

namespace platform {
namespace {

// Shows nothing and declines every question: with nobody to answer, a run
// stops before it changes anything.
class SilentUserInterface final : public UserInterface {
 public:
  WindowHandle CreateProgressDialog(ModuleInstance, WindowHandle) override { return this; }
  void DestroyProgressDialog(WindowHandle) override {}
  void SetWindowTitle(WindowHandle, const char*) override {}
  void SetControlText(WindowHandle, int, const char*) override {}
  void UpdateWindow(WindowHandle) override {}
  void EnableWindow(WindowHandle, bool) override {}
  int ShowMessageBox(WindowHandle, const char*, const char*, unsigned style) override {
    return (style & kMbButtonMask) == kMbYesNo ? kIdNo : kIdOk;
  }
  void PumpMessages(WindowHandle) override {}
  void DrawPercentBar(WindowHandle, int, int) override {}
  std::uint32_t TickCount() override { return platform::TickCount(); }
};

SilentUserInterface silent;

}  // namespace

UserInterface* currentUserInterface = &silent;

void InstallUserInterface(UserInterface* replacement) {
  currentUserInterface = replacement != nullptr ? replacement : &silent;
}

}  // namespace platform

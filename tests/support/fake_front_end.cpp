#include "tests/support/fake_front_end.h"

#include "platform/resources.h"
#include "platform/user_interface.h"

using namespace ui;

platform::ModuleInstance FakeFrontEnd::Instance() { return platform::ProgramInstance(); }

int FakeFrontEnd::MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                             unsigned style) {
  boxes.push_back({text, caption, style, owner});
  return (style & platform::kMbButtonMask) == platform::kMbYesNo ? platform::kIdNo
                                                                 : platform::kIdOk;
}

int FakeFrontEnd::RunPage(int page) {
  pagesShown.push_back(page);
  if (onPage) onPage(page);
  if (pageResults.empty()) return kPageCancel;
  const int result = pageResults.front();
  pageResults.pop_front();
  return result;
}

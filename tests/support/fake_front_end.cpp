#include "tests/support/fake_front_end.h"

#include "platform/bounded_text.h"
#include "platform/resources.h"
#include "platform/user_interface.h"
#include "streams/file_utilities.h"

using namespace streams;
using namespace ui;

platform::ModuleInstance FakeFrontEnd::Instance() { return platform::ProgramInstance(); }

int FakeFrontEnd::MessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                             unsigned style) {
  boxes.push_back({text, caption, style, owner});
  if ((style & platform::kMbButtonMask) != platform::kMbYesNo) return platform::kIdOk;
  if (answers.empty()) return platform::kIdNo;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

int FakeFrontEnd::RunPage(int page) {
  pagesShown.push_back(page);
  if (onPage) onPage(page);
  if (pageResults.empty()) return kPageCancel;
  const int result = pageResults.front();
  pageResults.pop_front();
  return result;
}

bool FakeFrontEnd::ChooseFolder(platform::WindowHandle, const char*, char* returned) {
  if (chosenFolderPath.empty()) return false;
  return platform::CopyText(returned, kMaxPath, chosenFolderPath.c_str());
}

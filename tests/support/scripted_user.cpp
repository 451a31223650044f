#include "tests/support/scripted_user.h"

#include <gtest/gtest.h>

#include "apply/progress_state.h"

using namespace apply;

ScriptedUser::ScriptedUser() { platform::InstallUserInterface(this); }

ScriptedUser::~ScriptedUser() { platform::InstallUserInterface(nullptr); }

std::vector<RecordedBox> ScriptedUser::EntryBoxes() const {
  std::vector<RecordedBox> result;
  for (const RecordedBox& box : boxes) {
    if (box.text != cancelQuestion) result.push_back(box);
  }
  return result;
}

platform::WindowHandle ScriptedUser::CreateProgressDialog(platform::ModuleInstance,
                                                          platform::WindowHandle) {
  ++dialogsCreated;
  return dialog();
}

void ScriptedUser::SetControlText(platform::WindowHandle, int control, const char* text) {
  if (onControlText) onControlText(control, text);
}

int ScriptedUser::ShowMessageBox(platform::WindowHandle owner, const char* text,
                                 const char* caption, unsigned style) {
  boxes.push_back({text, caption, style, owner});
  if ((style & platform::kMbButtonMask) != platform::kMbYesNo) return platform::kIdOk;
  if (!cancelQuestion.empty() && cancelQuestion == text) return cancelAnswer;
  if (answers.empty() && defaultAnswer != 0) return defaultAnswer;
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected question:\n" << text;
    return platform::kIdNo;
  }
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedUser::PumpMessages(platform::WindowHandle) {
  ++pumps;
  if (pumps == cancelAtPump) CancelRequested = 1;
  if (onPump) onPump();
}

void ScriptedUser::DrawPercentBar(platform::WindowHandle, int control, int percent) {
  EXPECT_EQ(control, platform::kProgressBar);
  draws.push_back(percent);
  if (onDraw) onDraw(percent);
}

std::uint32_t ScriptedUser::TickCount() {
  const std::uint32_t now = clock;
  clock += clockStep;
  return now;
}

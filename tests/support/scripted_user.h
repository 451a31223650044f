// A user for the engine's tests: installs itself as the user interface,
// records every box and bar, answers questions from a script,
// presses Cancel at a chosen poll, and runs a clock that moves only when
// it is read.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/null_user_interface.h"

struct RecordedBox {
  std::string text;
  std::string caption;
  unsigned style;
  platform::WindowHandle owner;
  bool operator==(const RecordedBox& other) const {
    return text == other.text && caption == other.caption && style == other.style &&
           owner == other.owner;
  }
};

class ScriptedUser final : public platform::NullUserInterface {
 public:
  ScriptedUser();
  ~ScriptedUser() override;

  // Answers for Yes/No questions other than the cancel confirmation, in
  // order; when they run out the answer is `defaultAnswer`, or No with a
  // test failure when that is 0.
  std::deque<int> answers;
  int defaultAnswer = 0;
  // The text of the cancel confirmation and its answer.
  std::string cancelQuestion;
  int cancelAnswer = platform::kIdYes;
  // The poll (count of pumps, from 1) at which Cancel is pressed; 0: never.
  int cancelAtPump = 0;
  // Called at every pump and every bar draw, after the recording.
  std::function<void()> onPump;
  std::function<void(int)> onDraw;
  std::function<void(int, const std::string&)> onControlText;
  // Milliseconds the clock moves at each reading.
  std::uint32_t clock = 1000;
  std::uint32_t clockStep = 1000;

  std::vector<RecordedBox> boxes;
  std::vector<int> draws;
  int pumps = 0;
  int dialogsCreated = 0;

  // Boxes other than the cancel confirmation.
  std::vector<RecordedBox> EntryBoxes() const;

  platform::WindowHandle CreateProgressDialog(platform::ModuleInstance instance,
                                              platform::WindowHandle owner) override;
  void SetControlText(platform::WindowHandle dialog, int control, const char* text) override;
  int ShowMessageBox(platform::WindowHandle owner, const char* text, const char* caption,
                     unsigned style) override;
  void PumpMessages(platform::WindowHandle dialog) override;
  void DrawPercentBar(platform::WindowHandle dialog, int control, int percent) override;
  std::uint32_t TickCount() override;

  // The handle CreateProgressDialog gives.
  platform::WindowHandle dialog() { return &dialogTag_; }

 private:
  int dialogTag_ = 0;
};

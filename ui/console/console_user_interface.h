// The engine's user interface on a console. Message boxes print their
// caption and text; a question reads one line of the input per attempt
// ("y"/"yes" or "n"/"no" in any case; anything else asks again), or takes
// the answer fixed by the mode. The progress dialog is a status line with a
// text bar: redrawn in place on a terminal, otherwise written as plain lines
// only when the percentage or the phase changes (about a hundred per run).
// A pending Ctrl-C (interrupt.h) is the dialog's Cancel command.
#pragma once

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "platform/interrupt.h"
#include "platform/user_interface.h"

namespace ui {

enum class AnswerMode { kAsk, kAllYes, kAllNo };

class ConsoleUserInterface final : public platform::UserInterface {
 public:
  ConsoleUserInterface(std::FILE* input, std::FILE* output, bool terminal, AnswerMode mode);

  // The text of the cancel confirmation. It is answered Yes when the input
  // has ended or the mode fixes the answers: the press was the user's own
  // wish to stop. Every other question is then answered No, which stops
  // the run or skips the file without changing it.
  void SetCancelQuestion(const char* text) { cancelQuestion_ = text; }

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

 private:
  // The answer when nobody can give one.
  int DefaultAnswer(const char* text) const;
  int ReadAnswer(const char* text);
  void Paint();
  void PaintPlainLine();
  void EndStatusLine();
  std::string StatusText() const;

  std::FILE* input_;
  std::FILE* output_;
  bool terminal_;
  AnswerMode mode_;
  std::string cancelQuestion_;
  bool dialogOpen_ = false;
  bool statusLineShown_ = false;
  std::string title_;
  std::string fileName_;
  std::string status_;
  int percent_ = 0;
  int lastPlainPercent_ = -1;
  std::set<std::string> phasesShown_;
  std::unique_ptr<platform::InterruptAsCancel> interrupts_;
  // The clock reading that TickCount hands out again within a pause.
  enum class LastCall { kOther, kTick, kPumpAfterTick };
  static constexpr int kReadingUses = 16;
  LastCall lastCall_ = LastCall::kOther;
  std::uint32_t lastReading_ = 0;
  int readingUses_ = 0;
};

}  // namespace ui

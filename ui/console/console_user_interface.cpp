#include "ui/console/console_user_interface.h"

#include <cstring>

#include "apply/progress_state.h"
#include "platform/interrupt.h"
#include "platform/time.h"
#include "ui/console/line_input.h"
#include "ui/percent_bar_geometry.h"
#include "ui/printable_text.h"

namespace ui {

namespace {

// Cells of the text bar inside its frame, and the widest status line.
constexpr int kBarCells = 20;
constexpr std::size_t kLineWidth = 79;

bool IsQuestion(unsigned style) { return (style & platform::kMbButtonMask) == platform::kMbYesNo; }

// The bar as text, filled cells '#', the rest '-', the percentage in the
// middle; drawn from the same layout as the dialog's bar, in cells.
std::string TextBar(int percent) {
  const PercentBarLayout layout = LayoutPercentBar({0, 0, kBarCells + 2, 3}, 1, percent);
  std::string cells(kBarCells, '-');
  for (int x = layout.filled.left; x < layout.filled.right; ++x) cells[x - 1] = '#';
  const int length = static_cast<int>(std::strlen(layout.text));
  const int start = layout.textX - length / 2 - 1;
  for (int i = 0; i < length; ++i) {
    if (start + i >= 0 && start + i < kBarCells) cells[start + i] = layout.text[i];
  }
  return "[" + cells + "]";
}

}  // namespace

ConsoleUserInterface::ConsoleUserInterface(std::FILE* input, std::FILE* output, bool terminal,
                                           AnswerMode mode)
    : input_(input), output_(output), terminal_(terminal), mode_(mode) {}

platform::WindowHandle ConsoleUserInterface::CreateProgressDialog(platform::ModuleInstance,
                                                                  platform::WindowHandle) {
  lastCall_ = LastCall::kOther;
  dialogOpen_ = true;
  // Ctrl-C is the dialog's Cancel button only while the dialog exists;
  // before and after it ends the program as usual.
  interrupts_ = std::make_unique<platform::InterruptAsCancel>();
  platform::TakeInterrupt();
  percent_ = 0;
  lastPlainPercent_ = -1;
  phasesShown_.clear();
  return this;
}

void ConsoleUserInterface::DestroyProgressDialog(platform::WindowHandle) {
  lastCall_ = LastCall::kOther;
  EndStatusLine();
  dialogOpen_ = false;
  interrupts_.reset();
}

void ConsoleUserInterface::SetWindowTitle(platform::WindowHandle, const char* text) {
  lastCall_ = LastCall::kOther;
  if (title_ == text) return;
  title_ = text;
  EndStatusLine();
  std::fprintf(output_, "%s\n", ConsoleText(text).c_str());
  std::fflush(output_);
}

void ConsoleUserInterface::SetControlText(platform::WindowHandle, int control, const char* text) {
  lastCall_ = LastCall::kOther;
  if (control == platform::kProgressFileName) fileName_ = text;
  if (control == platform::kProgressStatus) status_ = text;
}

void ConsoleUserInterface::UpdateWindow(platform::WindowHandle) {
  lastCall_ = LastCall::kOther;
  Paint();
}

void ConsoleUserInterface::EnableWindow(platform::WindowHandle, bool) {
  lastCall_ = LastCall::kOther;
}

void ConsoleUserInterface::DrawPercentBar(platform::WindowHandle, int, int percent) {
  lastCall_ = LastCall::kOther;
  percent_ = percent;
  Paint();
}

std::uint32_t ConsoleUserInterface::TickCount() {
  // A pause reads the clock and pumps by turns tens of thousands of times,
  // a few nanoseconds a round here. Within such an unbroken alternation a
  // reading serves a few rounds: it is never a microsecond old, far below
  // the clock's own steps of milliseconds. Any other call, such as a box
  // that waits for an answer or a redraw, ends the alternation.
  if (lastCall_ == LastCall::kPumpAfterTick && readingUses_ < kReadingUses) {
    ++readingUses_;
  } else {
    lastReading_ = platform::TickCount();
    readingUses_ = 1;
  }
  lastCall_ = LastCall::kTick;
  return lastReading_;
}

void ConsoleUserInterface::PumpMessages(platform::WindowHandle) {
  lastCall_ = lastCall_ == LastCall::kTick ? LastCall::kPumpAfterTick : LastCall::kOther;
  if (platform::TakeInterrupt()) apply::CancelRequested = 1;
}

std::string ConsoleUserInterface::StatusText() const {
  std::string line = TextBar(percent_) + " " + status_;
  if (!fileName_.empty() && fileName_ != " ") line += " " + fileName_;
  if (line.size() > kLineWidth) line.resize(kLineWidth);
  return line;
}

void ConsoleUserInterface::Paint() {
  if (!dialogOpen_) return;
  if (!terminal_) {
    PaintPlainLine();
    return;
  }
  std::fprintf(output_, "\r\033[K%s", ConsoleText(StatusText()).c_str());
  std::fflush(output_);
  statusLineShown_ = true;
}

void ConsoleUserInterface::PaintPlainLine() {
  // Only a new percentage or a phase not seen before earns a line, so a
  // log holds about a hundred lines however many files the run touches.
  const bool newPhase = !status_.empty() && phasesShown_.insert(status_).second;
  if (percent_ == lastPlainPercent_ && !newPhase) return;
  lastPlainPercent_ = percent_;
  std::fprintf(output_, "%s\n", ConsoleText(StatusText()).c_str());
  std::fflush(output_);
}

void ConsoleUserInterface::EndStatusLine() {
  if (!statusLineShown_) return;
  std::fputc('\n', output_);
  std::fflush(output_);
  statusLineShown_ = false;
}

int ConsoleUserInterface::DefaultAnswer(const char* text) const {
  return cancelQuestion_ == text ? platform::kIdYes : platform::kIdNo;
}

int ConsoleUserInterface::ReadAnswer(const char* text) {
  switch (mode_) {
    case AnswerMode::kAllYes:
      std::fprintf(output_, "[y/n] y\n");
      return platform::kIdYes;
    case AnswerMode::kAllNo: {
      const int answer = DefaultAnswer(text);
      std::fprintf(output_, "[y/n] %s\n", answer == platform::kIdYes ? "y" : "n");
      return answer;
    }
    case AnswerMode::kAsk:
      break;
  }
  for (;;) {
    std::fprintf(output_, "[y/n] ");
    std::fflush(output_);
    std::string line;
    if (!ReadLine(input_, &line)) {
      const int answer = DefaultAnswer(text);
      std::fprintf(output_, "%s (end of input)\n", answer == platform::kIdYes ? "y" : "n");
      return answer;
    }
    if (!terminal_) {
      std::fprintf(output_, "%s", PrintableText(line.c_str(), TextLayout::kLines).c_str());
    }
    const int answer = YesNoAnswer(line.c_str());
    if (answer != 0) return answer;
    if (!terminal_ && line.back() != '\n') std::fputc('\n', output_);
  }
}

int ConsoleUserInterface::ShowMessageBox(platform::WindowHandle, const char* text,
                                         const char* caption, unsigned style) {
  lastCall_ = LastCall::kOther;
  EndStatusLine();
  std::fprintf(output_, "\n-- %s --\n%s\n", ConsoleText(caption).c_str(),
               ConsoleText(text, TextLayout::kLines).c_str());
  const int answer = IsQuestion(style) ? ReadAnswer(text) : platform::kIdOk;
  std::fflush(output_);
  return answer;
}

}  // namespace ui

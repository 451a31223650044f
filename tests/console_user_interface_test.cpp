#include "ui/console/console_user_interface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "apply/apply_upgrade.h"
#include "apply/progress_state.h"
#include "platform/forwarding_user_interface.h"
#include "platform/interrupt.h"
#include "tests/support/upgrade_fixture.h"
#include "ui/console/line_input.h"

using namespace package;
using namespace apply;
using namespace ui;

namespace {

constexpr unsigned kQuestion =
    platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal;

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    input_ = std::tmpfile();
    output_ = std::tmpfile();
    ASSERT_NE(input_, nullptr);
    ASSERT_NE(output_, nullptr);
  }
  void TearDown() override {
    platform::InstallUserInterface(nullptr);
    std::fclose(input_);
    std::fclose(output_);
  }
  void Type(const std::string& text) {
    std::fputs(text.c_str(), input_);
    std::rewind(input_);
  }
  std::string Output() {
    std::fflush(output_);
    std::rewind(output_);
    std::string text;
    for (int c = std::fgetc(output_); c != EOF; c = std::fgetc(output_))
      text += static_cast<char>(c);
    return text;
  }
  static int Lines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
  }

  std::FILE* input_ = nullptr;
  std::FILE* output_ = nullptr;
};

TEST(YesNoAnswer, TakesYOrYesAndNOrNoInAnyCaseWithBlanksAround) {
  const std::pair<const char*, int> lines[] = {
      {"y", platform::kIdYes},
      {"  YES", platform::kIdYes},
      {"\tYes \r\n", platform::kIdYes},
      {" n", platform::kIdNo},
      {"No  ", platform::kIdNo},
      {"yes please", 0},
      {"", 0},
      {"  ", 0},
      {"maybe", 0},
  };
  for (const auto& [line, answer] : lines) EXPECT_EQ(YesNoAnswer(line), answer) << line;
}

TEST_F(ConsoleTest, AQuestionReadsOneLinePerAttemptUntilItIsAnAnswer) {
  Type("maybe\n  YES \nn\n No\n");
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAsk);
  EXPECT_EQ(console.ShowMessageBox(nullptr, "Go on?", "Upgrade Processing", kQuestion),
            platform::kIdYes);
  EXPECT_EQ(console.ShowMessageBox(nullptr, "Go on?", "Upgrade Processing", kQuestion),
            platform::kIdNo);
  EXPECT_EQ(console.ShowMessageBox(nullptr, "Go on?", "Upgrade Processing", kQuestion),
            platform::kIdNo);
  const std::string out = Output();
  EXPECT_NE(out.find("-- Upgrade Processing --\nGo on?\n[y/n] maybe\n[y/n]   YES \n"),
            std::string::npos)
      << out;
}

TEST_F(ConsoleTest, AtTheEndOfInputOnlyTheCancelConfirmationIsAnsweredYes) {
  Type("");
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAsk);
  console.SetCancelQuestion("Really cancel?");
  EXPECT_EQ(console.ShowMessageBox(nullptr, "Go on?", "C", kQuestion), platform::kIdNo);
  EXPECT_EQ(console.ShowMessageBox(nullptr, "Really cancel?", "C", kQuestion), platform::kIdYes);
}

TEST_F(ConsoleTest, FixedAnswersReadNothing) {
  Type("n\n");
  ConsoleUserInterface yes(input_, output_, false, AnswerMode::kAllYes);
  EXPECT_EQ(yes.ShowMessageBox(nullptr, "Go on?", "C", kQuestion), platform::kIdYes);
  ConsoleUserInterface no(input_, output_, false, AnswerMode::kAllNo);
  no.SetCancelQuestion("Really cancel?");
  EXPECT_EQ(no.ShowMessageBox(nullptr, "Go on?", "C", kQuestion), platform::kIdNo);
  EXPECT_EQ(no.ShowMessageBox(nullptr, "Really cancel?", "C", kQuestion), platform::kIdYes);
  EXPECT_EQ(no.ShowMessageBox(nullptr, "Note", "C", platform::kMbIconInformation), platform::kIdOk);
  EXPECT_EQ(std::fgetc(input_), 'n');
}

TEST_F(ConsoleTest, APlainLogHasAboutAHundredLinesWhateverTheFileCount) {
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAsk);
  platform::WindowHandle dialog = console.CreateProgressDialog(nullptr, nullptr);
  console.SetWindowTitle(dialog, "Upgrade Processing");
  for (int i = 0; i < 5000; ++i) {
    console.SetControlText(dialog, platform::kProgressStatus, i % 2 ? "Add" : "Update");
    console.SetControlText(dialog, platform::kProgressFileName, std::to_string(i).c_str());
    console.UpdateWindow(dialog);
    console.DrawPercentBar(dialog, platform::kProgressBar, 1 + i / 50);
  }
  console.DestroyProgressDialog(dialog);
  const std::string out = Output();
  EXPECT_LE(Lines(out), 105);
  EXPECT_GE(Lines(out), 100);
  EXPECT_NE(out.find("[#########50%--------] Update 2450\n"), std::string::npos) << out;
  EXPECT_EQ(out.find('\r'), std::string::npos);
}

TEST_F(ConsoleTest, ATerminalRedrawsOneLineInPlace) {
  ConsoleUserInterface console(input_, output_, true, AnswerMode::kAsk);
  platform::WindowHandle dialog = console.CreateProgressDialog(nullptr, nullptr);
  console.SetControlText(dialog, platform::kProgressStatus, "Update");
  console.DrawPercentBar(dialog, platform::kProgressBar, 0);
  console.DrawPercentBar(dialog, platform::kProgressBar, 100);
  console.DestroyProgressDialog(dialog);
  EXPECT_EQ(Output(),
            "\r\033[K[---------0%---------] Update\r\033[K[########100%########] Update\n");
}

TEST_F(ConsoleTest, CtrlCIsTheDialogsCancelCommand) {
  ResetProgressState();
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAsk);
  platform::InterruptAsCancel interruptIsCancel;
  std::raise(SIGINT);
  EXPECT_EQ(CancelRequested, 0);  // it waits for the pump, like a click
  console.PumpMessages(nullptr);
  EXPECT_EQ(CancelRequested, 1);
  CancelRequested = 0;
  console.PumpMessages(nullptr);
  EXPECT_EQ(CancelRequested, 0);
}

// The console host, with Ctrl-C pressed once the first poll of a run comes.
class CtrlCAtFirstPoll final : public platform::ForwardingUserInterface {
 public:
  explicit CtrlCAtFirstPoll(ConsoleUserInterface& console) : ForwardingUserInterface(console) {}
  void PumpMessages(platform::WindowHandle dialog) override {
    if (!pressed_) std::raise(SIGINT);
    pressed_ = true;
    ForwardingUserInterface::PumpMessages(dialog);
  }

 private:
  bool pressed_ = false;
};

TEST_F(ConsoleTest, ACancelledRunOnTheConsoleChangesNothing) {
  SampleUpgrade sample;
  const FolderSnapshot before = TakeSnapshot(sample.target);
  Type("what\ny\n");
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAsk);
  console.SetCancelQuestion(UiText(UiLine::kCancelQuestion).c_str());
  CtrlCAtFirstPoll pressing(console);
  platform::InstallUserInterface(&pressing);
  EXPECT_EQ(ApplyPackage(sample.package, sample.target), 0);
  EXPECT_TRUE(TakeSnapshot(sample.target) == before);
  EXPECT_NE(Output().find(UiText(UiLine::kCancelQuestion) + "\n[y/n] what\n[y/n] y\n"),
            std::string::npos);
}

// Within a pause a clock reading may serve a few polls; it must never
// outlive the pause's alternation of clock and pump, nor a handful of polls.
TEST_F(ConsoleTest, AClockReadingServesOnlyTheNextFewPollsOfAPause) {
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAllNo);
  const std::function<void()> otherCalls[] = {
      [&] { console.DrawPercentBar(nullptr, platform::kProgressBar, 5); },
      [&] { console.ShowMessageBox(nullptr, "text", "caption", platform::kMbOk); },
      [&] { console.SetControlText(nullptr, platform::kProgressStatus, "status"); },
      [&] { console.UpdateWindow(nullptr); },
  };
  for (const std::function<void()>& other : otherCalls) {
    const std::uint32_t start = console.TickCount();
    console.PumpMessages(nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    other();
    EXPECT_GE(console.TickCount() - start, 20u);
  }
  const std::uint32_t start = console.TickCount();
  std::uint32_t last = start;
  for (int poll = 0; poll < 20; ++poll) {
    console.PumpMessages(nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    last = console.TickCount();
  }
  EXPECT_GE(last - start, 25u);
}

}  // namespace

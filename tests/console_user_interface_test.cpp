// The console host: answers read from the input or fixed, the plain log and the terminal's line
// redrawn in place, Ctrl-C as the dialog's Cancel (at the next poll, as a click would be), and a
// clock reading that never outlives a pause.
#include "ui/console/console_user_interface.h"

#include <gtest/gtest.h>

#include <algorithm>
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

using namespace ui;

namespace {

constexpr unsigned kQuestion =
    platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal;

class ConsoleTest : public ::testing::Test {
 protected:
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
    for (int c = std::fgetc(output_); c != EOF; c = std::fgetc(output_)) text += char(c);
    return text;
  }

  std::FILE* input_ = std::tmpfile();
  std::FILE* output_ = std::tmpfile();
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

// A question reads one line per attempt until it is an answer; at the end of the input only the
// cancel confirmation is answered Yes; fixed answers read nothing, and a box that asks nothing
// is OK.
TEST_F(ConsoleTest, QuestionsAreAnsweredFromTheInputOrFixed) {
  const struct {
    AnswerMode mode;
    const char* text;
    unsigned style;
    int answer;
  } cases[] = {
      {AnswerMode::kAsk, "Go on?", kQuestion, platform::kIdYes},
      {AnswerMode::kAsk, "Go on?", kQuestion, platform::kIdNo},
      {AnswerMode::kAsk, "Go on?", kQuestion, platform::kIdNo},
      {AnswerMode::kAsk, "Go on?", kQuestion, platform::kIdNo},  // the input has ended
      {AnswerMode::kAsk, "Really cancel?", kQuestion, platform::kIdYes},
      {AnswerMode::kAllYes, "Go on?", kQuestion, platform::kIdYes},
      {AnswerMode::kAllNo, "Go on?", kQuestion, platform::kIdNo},
      {AnswerMode::kAllNo, "Really cancel?", kQuestion, platform::kIdYes},
      {AnswerMode::kAllNo, "Note", platform::kMbIconInformation, platform::kIdOk},
  };
  Type("maybe\n  YES \nn\n No\n");
  for (const auto& c : cases) {
    ConsoleUserInterface console(input_, output_, false, c.mode);
    console.SetCancelQuestion("Really cancel?");
    EXPECT_EQ(console.ShowMessageBox(nullptr, c.text, "Upgrade Processing", c.style), c.answer)
        << &c - cases;
  }
  const std::string out = Output();
  EXPECT_NE(out.find("-- Upgrade Processing --\nGo on?\n[y/n] maybe\n[y/n]   YES \n"),
            std::string::npos)
      << out;
}

TEST_F(ConsoleTest, APlainLogHasAboutAHundredLinesWhateverTheFileCount) {
  ConsoleUserInterface console(input_, output_, false, AnswerMode::kAsk);
  platform::WindowHandle dialog = console.CreateProgressDialog(nullptr, nullptr);
  for (int i = 0; i < 5000; ++i) {
    console.SetControlText(dialog, platform::kProgressStatus, i % 2 ? "Add" : "Update");
    console.SetControlText(dialog, platform::kProgressFileName, std::to_string(i).c_str());
    console.UpdateWindow(dialog);
    console.DrawPercentBar(dialog, platform::kProgressBar, 1 + i / 50);
  }
  console.DestroyProgressDialog(dialog);
  const std::string out = Output();
  const auto lines = std::count(out.begin(), out.end(), '\n');
  EXPECT_TRUE(lines >= 100 && lines <= 105) << lines;
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

// Within a pause a clock reading may serve a few polls; it must never outlive the pause's
// alternation of clock and pump, nor a handful of polls.
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

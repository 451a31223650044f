// The console host's answers: read from the input or fixed. (Its log, its redrawn terminal line and
// Ctrl-C are pinned end to end, on the real program.)
#include "ui/console/console_user_interface.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "ui/console/line_input.h"

using namespace ui;

namespace {

using platform::kIdNo;
using platform::kIdYes;

TEST(YesNoAnswer, TakesYOrYesAndNOrNoInAnyCaseWithBlanksAround) {
  const std::pair<const char*, int> lines[] = {
      {"y", kIdYes}, {"  YES", kIdYes}, {"\tYes \r\n", kIdYes},
      {" n", kIdNo}, {"No  ", kIdNo},   {"yes please", 0},
      {"", 0},       {"  ", 0},         {"maybe", 0},
  };
  for (const auto& [line, answer] : lines) EXPECT_EQ(YesNoAnswer(line), answer) << line;
}

// A question reads one line per attempt until it is an answer; at the end of the input only the
// cancel confirmation is answered Yes; fixed answers read nothing, and a box that asks nothing
// is OK.
TEST(ConsoleUserInterface, QuestionsAreAnsweredFromTheInputOrFixed) {
  constexpr unsigned kQuestion =
      platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTaskModal;
  using M = AnswerMode;
  const struct {
    AnswerMode mode;
    const char* text;
    unsigned style;
    int answer;
  } cases[] = {
      {M::kAsk, "Go on?", kQuestion, kIdYes},
      {M::kAsk, "Go on?", kQuestion, kIdNo},
      {M::kAsk, "Go on?", kQuestion, kIdNo},  // the input has ended
      {M::kAsk, "Really cancel?", kQuestion, kIdYes},
      {M::kAllYes, "Go on?", kQuestion, kIdYes},
      {M::kAllNo, "Go on?", kQuestion, kIdNo},
      {M::kAllNo, "Note", platform::kMbIconInformation, platform::kIdOk},
  };
  std::FILE* input = std::tmpfile();
  std::FILE* output = std::tmpfile();
  std::fputs("maybe\n  YES \nn\n", input);
  std::rewind(input);
  for (const auto& c : cases) {
    ConsoleUserInterface console(input, output, false, c.mode);
    console.SetCancelQuestion("Really cancel?");
    EXPECT_EQ(console.ShowMessageBox(nullptr, c.text, "Upgrade Processing", c.style), c.answer)
        << &c - cases;
  }
  std::fclose(input);
  std::fclose(output);
}

}  // namespace

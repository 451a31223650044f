// The form control bytes take in human output, and every output of the
// programs that shows a package's texts.
#include "ui/printable_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/command_run.h"
#include "tests/support/package_file.h"
#include "tests/support/upgrade_fixture.h"
#include "tools/upgtool/commands.h"
#include "ui/console/console_user_interface.h"

using namespace package;
using namespace builder;
using namespace ui;
using namespace upgtool;

namespace {

struct Case {
  const char *label, *text;
  TextLayout layout;
  const char* shown;
};

constexpr TextLayout kOne = TextLayout::kOneLine, kLines = TextLayout::kLines;

const Case kCases[] = {
    {"paths read as stored", "sub\\dir\\a.txt", kOne, "sub\\dir\\a.txt"},
    {"bytes from 0x80 stay", "Demo \xE9\x9B", kOne, "Demo \xE9\x9B"},
    {"terminal escapes", "T\x1B]0;x\x07\x1B[31m", kOne, "T\\x1B]0;x\\x07\\x1B[31m"},
    {"delete and the lowest byte", "a\x7F\x01", kOne, "a\\x7F\\x01"},
    {"one line escapes its breaks and tabs", "a\r\nb\tc", kOne, "a\\x0D\\x0Ab\\x09c"},
    {"lines keep LF and tab, drop the CR of CR LF", "a\r\nb\n\tc", kLines, "a\nb\n\tc"},
    {"a lone CR is escaped in lines too", "50%\rDone\x1B", kLines, "50%\\x0DDone\\x1B"},
    {"a backslash before an escape doubles", "a\\\x1B", kOne, "a\\\\\\x1B"},
    {"a backslash before x and two hex digits doubles", "bin\\x86\\ok", kOne, "bin\\\\x86\\ok"},
    {"a backslash before x and one hex digit stays", "bin\\x8\\ok", kOne, "bin\\x8\\ok"},
    {"a backslash before a backslash doubles", "\\\\server\\s", kOne, "\\\\\\server\\s"},
    {"a backslash at the end stays", "dir\\", kOne, "dir\\"},
    {"a backslash before a kept line break stays", "a\\\r\nb", kLines, "a\\\nb"},
};

TEST(PrintableText, Cases) {
  for (const Case& c : kCases) EXPECT_EQ(PrintableText(c.text, c.layout), c.shown) << c.label;
}

// A package whose texts carry terminal escapes; its Verify entry is
// critical and its file missing, so that check and apply name it.
std::string HostilePackage(const TempFolder& folder) {
  PackageWriter writer;
  writer.SetTitle("Evil\x1B[2J");
  writer.SetDescription("one\r\ntwo\x1B[1A\rX");
  PackageEntrySpec verify =
      CheckEntry(Operation::kVerify, "gone\x1B[31m.txt", MakeStamp(0x0021, 0, 3, 0));
  verify.errorPolicy = Policy::kCritical;
  verify.description = "d\x07";
  writer.AddEntry(verify);
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(writer.Plain(&bytes));
  return WritePackage(folder, "hostile.upg", bytes);
}

// The console host showing a hostile name in its status line and in a
// question, run as a command so that its output is taken as theirs.
int ShowHostileNameInConsole(int, char**) {
  ConsoleUserInterface console(nullptr, stdout, false, AnswerMode::kAllYes);
  platform::WindowHandle dialog = console.CreateProgressDialog(nullptr, nullptr);
  console.SetControlText(dialog, platform::kProgressFileName, "x\x1B]0;t\x07.txt");
  console.DrawPercentBar(dialog, platform::kProgressBar, 5);
  console.ShowMessageBox(dialog, "Filename: x\x1B]0;t\x07.txt\n\nGo on?", "Upgrade Processing",
                         platform::kMbYesNo);
  console.DestroyProgressDialog(dialog);
  return 0;
}

// No control byte but the line feed reaches the terminal.
TEST(PrintableText, EveryHumanOutputOfPackageTextsEscapesControlBytes) {
  TempFolder folder;
  const std::string package = HostilePackage(folder);
  const struct {
    int (*command)(int, char**);
    std::vector<std::string> arguments;
    const char* escaped;
  } outputs[] = {
      {RunList, {package}, "one\ntwo\\x1B[1A\\x0DX"},
      {RunCheck, {package, folder.path()}, "gone\\x1B[31m.txt (critical)"},
      {RunApply, {"--yes", package, folder.path()}, "gone\\x1B[31m.txt"},
      {ShowHostileNameInConsole, {}, "x\\x1B]0;t\\x07.txt"},
  };
  // Every byte below 0x20 but the line feed, and DEL.
  std::string controlBytes(1, '\x7F');
  for (char c = 0; c < 0x20; ++c) controlBytes += c == '\n' ? '\x7F' : c;
  for (const auto& output : outputs) {
    const CommandRun run = RunCommand(output.command, output.arguments);
    const std::string text = run.out + run.err;
    EXPECT_EQ(text.find_first_of(controlBytes), std::string::npos) << text;
    EXPECT_NE(text.find(output.escaped), std::string::npos) << text;
  }
}

}  // namespace

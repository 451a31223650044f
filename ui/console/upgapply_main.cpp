// upgapply: the applicator in a terminal. The arguments, joined by single
// blanks, are the command line that names the package.
#include <cstdio>
#include <cstring>
#include <string>

#include "package/ui_strings.h"
#include "platform/code_page.h"
#include "platform/program.h"
#include "platform/resources.h"
#include "platform/terminal.h"
#include "platform/user_interface.h"
#include "signing/built_in_key.h"
#include "streams/file_utilities.h"
#include "ui/console/console_front_end.h"
#include "ui/console/console_user_interface.h"
#include "ui/folder_search.h"
#include "ui/job.h"
#include "ui/shared_state.h"

namespace {

void PrintUsage() {
  std::printf(
      "usage: upgapply [PACKAGE]\n\n"
      "Applies an upgrade package (.upg) to an installed folder. Without PACKAGE the\n"
      "package beside the program (named after it, then default.upg) is used, or one\n"
      "is asked for. Every question reads one line of standard input; see README.md.\n"
      "Exit status: 0 applied, 1 not applied, 2 invalid package, 3 applied but some\n"
      "files could not be put in place.\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::string typed;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) typed += ' ';
    typed += argv[i];
  }
  // The command line in the package code page, as Windows hands it to a
  // program; one that the code page cannot write names no file.
  std::string commandLine;
  if (!platform::SystemTextToPackageText(typed, &commandLine)) {
    std::fprintf(stderr, "upgapply: \"%s\" cannot be written in code page %u\n", typed.c_str(),
                 platform::PackageCodePage());
    return 2;
  }
  // Only when no file of that name exists: a package may be called anything.
  if (commandLine == "--help" && !streams::IsFile("--help")) {
    PrintUsage();
    return 0;
  }
  if (commandLine == "--version" && !streams::IsFile("--version")) {
    std::printf("upgapply 3.0\n");
    return 0;
  }
  char programPath[streams::kMaxPath];
  if (!platform::ProgramPath(programPath, sizeof programPath)) programPath[0] = 0;

  const bool terminal = platform::IsTerminal(stdout) && platform::IsTerminal(stdin);
  ui::ConsoleFrontEnd frontEnd(stdin, stdout, terminal);
  ui::ConsoleUserInterface engineUi(stdin, stdout, terminal, ui::AnswerMode::kAsk);
  const package::UiStrings strings(platform::ProgramInstance(), package::kUiStringsResourceId);
  engineUi.SetCancelQuestion(strings.GetString(package::UiLine::kCancelQuestion));
  platform::InstallUserInterface(&engineUi);

  frontEnd.PrintBanner();
  ui::ResetSharedState();
  ui::PlatformSearchHost search(&frontEnd);
  const int status =
      ui::RunJob(frontEnd, search, commandLine.c_str(), programPath, signing::kBuiltInTrustedKey);
  platform::InstallUserInterface(nullptr);
  std::fflush(stdout);
  return status;
}

// upgtool apply: the unattended road of an installation. The package is
// applied exactly as the applicator applies it, under the console host:
// questions are answered from standard input or by --yes/--no, Ctrl-C is
// the progress dialog's Cancel button.
#include <cstdio>
#include <memory>
#include <string>

#include "apply/apply_upgrade.h"
#include "package/ui_strings.h"
#include "platform/resources.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/target_session.h"
#include "ui/closing_text.h"
#include "ui/console/console_user_interface.h"
#include "ui/console/interrupt.h"
#include "ui/console/terminal.h"

namespace {

constexpr char kUsage[] = "apply [--yes | --no] PACKAGE FOLDER";
constexpr int kCancelQuestionLine = 8;

// Installs the console as the user interface for its own lifetime.
class InstalledConsole {
 public:
  explicit InstalledConsole(AnswerMode mode)
      : console_(stdin, stdout, IsTerminal(stdout), mode) {
    platform::InstallUserInterface(&console_);
  }
  ~InstalledConsole() { platform::InstallUserInterface(nullptr); }
  ConsoleUserInterface& console() { return console_; }

 private:
  ConsoleUserInterface console_;
};

}  // namespace

int RunApply(int argc, char** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, {"--yes", "--no"}, &arguments) ||
      arguments.operands.size() != 2 || (arguments.Has("--yes") && arguments.Has("--no")))
    return UsageError(kUsage);
  const AnswerMode mode = arguments.Has("--yes")  ? AnswerMode::kAllYes
                          : arguments.Has("--no") ? AnswerMode::kAllNo
                                                  : AnswerMode::kAsk;
  const char* package = arguments.operands[0].c_str();
  const char* folder = arguments.operands[1].c_str();
  ApplyOutcome outcome;
  int applied = 0;
  {
    InstalledConsole installed(mode);
    UpgradeSession session(platform::ProgramInstance(), nullptr, package, folder);
    const std::string problem = TargetSessionProblem(session, folder);
    if (!problem.empty()) {
      std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
      return 1;
    }
    session.uiStrings =
        std::make_unique<UiStrings>(platform::ProgramInstance(), kUiStringsResourceId);
    installed.console().SetCancelQuestion(session.GetString(kCancelQuestionLine));
    const InterruptAsCancel interruptIsCancel;
    applied = ApplyUpgrade(session, &outcome);
  }
  std::printf("\n%s\n%s\n", ClosingCaption(applied), ClosingText(applied, outcome).c_str());
  if (!applied) return 1;
  return outcome.CommitFailed() ? 3 : 0;
}

// upgtool apply: the unattended road of an installation. The package is
// applied exactly as the applicator applies it, under the console host:
// questions are answered from standard input or by --yes/--no, and Ctrl-C
// is the progress dialog's Cancel button.
#include <cstdio>
#include <string>

#include "package/ui_strings.h"
#include "platform/resources.h"
#include "platform/terminal.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/signature_option.h"
#include "tools/upgtool/target_session.h"
#include "ui/closing_message.h"
#include "ui/console/console_user_interface.h"
#include "ui/printable_text.h"
#include "ui/run_upgrade.h"

namespace upgtool {

namespace {

// Installs the console as the engine's user interface for its lifetime.
class InstalledConsole {
 public:
  explicit InstalledConsole(ui::AnswerMode mode)
      : console_(stdin, stdout, platform::IsTerminal(stdout), mode) {
    const package::UiStrings strings(platform::ProgramInstance(), package::kUiStringsResourceId);
    console_.SetCancelQuestion(strings.GetString(package::UiLine::kCancelQuestion));
    platform::InstallUserInterface(&console_);
  }
  ~InstalledConsole() { platform::InstallUserInterface(nullptr); }
  InstalledConsole(const InstalledConsole&) = delete;
  InstalledConsole& operator=(const InstalledConsole&) = delete;

 private:
  ui::ConsoleUserInterface console_;
};

// Why the package cannot be applied to the folder; empty when it can.
std::string Problem(const char* package, const char* folder) {
  const package::UpgradeSession session(platform::ProgramInstance(), nullptr, package, folder);
  return TargetSessionProblem(session, folder);
}

}  // namespace

int RunApply(int argc, char** argv) {
  const Arguments arguments(argc, argv, {"--yes", "--no"}, {"--key"});
  if (!arguments.parsed || arguments.operands.size() != 2 ||
      (arguments.Has("--yes") && arguments.Has("--no")))
    return UsageError(kApplyUsage);
  const ui::AnswerMode mode = arguments.Has("--yes")  ? ui::AnswerMode::kAllYes
                              : arguments.Has("--no") ? ui::AnswerMode::kAllNo
                                                      : ui::AnswerMode::kAsk;
  const char* package = arguments.operands[0].c_str();
  const char* folder = arguments.operands[1].c_str();
  // As in an applicator that trusts the key: the signature before anything
  // else of the package is read, and the installation's digest before the
  // commit.
  signing::Ed25519PublicKey key{};
  const bool signedOnly = arguments.HasValue("--key");
  if (signedOnly && !PackageSignedBy(arguments.Value("--key"), package, &key)) return 1;
  const std::string problem = Problem(package, folder);
  if (!problem.empty()) {
    std::fprintf(stderr, "upgtool: %s\n", ui::ConsoleText(problem).c_str());
    return 1;
  }
  apply::ApplyOutcome outcome;
  int applied = 0;
  {
    const InstalledConsole installed(mode);
    applied = ui::RunUpgrade(package, folder, platform::ProgramInstance(), nullptr, &outcome,
                             signedOnly ? &key : nullptr);
  }
  const ui::ClosingMessage closing = ui::ClosingMessageFor(applied, outcome);
  std::printf("\n%s\n%s\n", closing.caption.c_str(),
              ui::ConsoleText(closing.text, ui::TextLayout::kLines).c_str());
  // Never the invalid-package status: that was answered above, as 1.
  return closing.exitStatus;
}

}  // namespace upgtool

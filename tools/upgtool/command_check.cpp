// upgtool check: whether a folder holds the files a package expects, judged
// exactly as the applicator judges it before it offers the upgrade.
#include <cstdio>
#include <string>

#include "apply/recovery.h"
#include "package/folder_validation.h"
#include "platform/resources.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/json_writer.h"
#include "tools/upgtool/signature_option.h"
#include "tools/upgtool/target_session.h"
#include "ui/printable_text.h"

namespace upgtool {

namespace {

// What check says of an interrupted commit: a word for JSON and, for
// people, whose it is and what the next apply does with it.
struct InterruptedReport {
  const char* word;
  const char* text;
};

InterruptedReport Report(apply::InterruptedCommit interrupted) {
  switch (interrupted) {
    case apply::InterruptedCommit::kOfThisPackage:
      return {"this package", "by this package; applying it finishes the upgrade"};
    case apply::InterruptedCommit::kOfAnotherPackage:
      return {"another package", "by another package; the next apply finishes or undoes it first"};
    case apply::InterruptedCommit::kUnreadable:
      return {"unreadable",
              "its journal cannot be read; the next apply keeps everything and stops"};
    case apply::InterruptedCommit::kNone:
      break;
  }
  return {"none", ""};
}

}  // namespace

int RunCheck(int argc, char** argv) {
  const Arguments arguments(argc, argv, {"--json"}, {"--key"});
  if (!arguments.parsed || arguments.operands.size() != 2) return UsageError(kCheckUsage);
  const char* package = arguments.operands[0].c_str();
  const char* folder = arguments.operands[1].c_str();
  signing::Ed25519PublicKey key{};
  if (arguments.HasValue("--key") && !PackageSignedBy(arguments.Value("--key"), package, &key))
    return 1;
  package::UpgradeSession session(platform::ProgramInstance(), nullptr, package, folder);
  const std::string problem = TargetSessionProblem(session, folder);
  if (!problem.empty()) {
    std::fprintf(stderr, "upgtool: %s\n", ui::ConsoleText(problem).c_str());
    return 1;
  }
  package::FolderCheckCounts counts;
  const bool valid = package::ValidateTargetFolder(session, &counts);
  // An upgrade stopped half way through putting its files in place: the
  // counts above judge a folder that the next apply will change first.
  const apply::InterruptedCommit interrupted = apply::FindInterruptedCommit(session);
  const InterruptedReport report = Report(interrupted);
  if (arguments.Has("--json")) {
    JsonWriter json;
    json.BeginObject()
        .String("package", package)
        .String("folder", folder)
        .Bool("valid", valid)
        .Number("matched", counts.matched)
        .Number("mismatched", counts.mismatched)
        .Number("criticalEntry", counts.criticalEntry)
        .String("interruptedCommit", report.word)
        .EndObject();
    std::printf("%s\n", json.text().c_str());
  } else {
    std::printf("Folder:      %s\n", ui::ConsoleText(folder).c_str());
    std::printf("Verdict:     %s\n", valid ? "valid" : "not valid");
    std::printf("Matched:     %d\n", counts.matched);
    std::printf("Mismatched:  %d\n", counts.mismatched);
    if (counts.criticalEntry >= 0) {
      const std::string name = session.entries[counts.criticalEntry]->fileName;
      std::printf("Stopped at:  entry %d, %s (critical)\n", counts.criticalEntry,
                  ui::ConsoleText(name).c_str());
    }
    if (interrupted != apply::InterruptedCommit::kNone) {
      std::printf("Interrupted: an upgrade stopped while putting its files in place, %s\n",
                  report.text);
    }
  }
  return valid ? 0 : 1;
}

}  // namespace upgtool

// upgtool check: whether a folder holds the files a package expects, judged
// exactly as the applicator judges it before it offers the upgrade.
#include <cstdio>
#include <string>

#include "package/folder_validation.h"
#include "platform/resources.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/json_writer.h"
#include "tools/upgtool/target_session.h"
#include "ui/printable_text.h"

namespace {

constexpr char kUsage[] = "check [--json] PACKAGE FOLDER";

}  // namespace

int RunCheck(int argc, char** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, {"--json"}, &arguments) || arguments.operands.size() != 2)
    return UsageError(kUsage);
  const char* package = arguments.operands[0].c_str();
  const char* folder = arguments.operands[1].c_str();
  UpgradeSession session(platform::ProgramInstance(), nullptr, package, folder);
  const std::string problem = TargetSessionProblem(session, folder);
  if (!problem.empty()) {
    std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
    return 1;
  }
  FolderCheckCounts counts;
  const bool valid = ValidateTargetFolder(session, &counts);
  if (arguments.Has("--json")) {
    JsonWriter json;
    json.BeginObject()
        .String("package", package)
        .String("folder", folder)
        .Bool("valid", valid)
        .Number("matched", counts.matched)
        .Number("mismatched", counts.mismatched)
        .Number("criticalEntry", counts.criticalEntry)
        .EndObject();
    std::printf("%s\n", json.text().c_str());
  } else {
    std::printf("Folder:      %s\n", folder);
    std::printf("Verdict:     %s\n", valid ? "valid" : "not valid");
    std::printf("Matched:     %d\n", counts.matched);
    std::printf("Mismatched:  %d\n", counts.mismatched);
    if (counts.criticalEntry >= 0) {
      std::printf("Stopped at:  entry %d, %s (critical)\n", counts.criticalEntry,
                  PrintableText(session.entries[counts.criticalEntry]->fileName).c_str());
    }
  }
  return valid ? 0 : 1;
}

// upgtool check: whether a folder holds the files a package expects, judged
// exactly as the applicator judges it before it offers the upgrade.
#include <cstdio>
#include <string>

#include "package/folder_validation.h"
#include "platform/code_page.h"
#include "platform/resources.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/json_writer.h"
#include "tools/upgtool/signature_option.h"
#include "tools/upgtool/target_session.h"

namespace {

constexpr char kUsage[] = "check [--json] [--key KEYFILE.pub] PACKAGE FOLDER";

}  // namespace

int RunCheck(int argc, char** argv) {
  Arguments arguments;
  if (!ParseArguments(argc, argv, {"--json"}, {"--key"}, &arguments) ||
      arguments.operands.size() != 2)
    return UsageError(kUsage);
  const char* package = arguments.operands[0].c_str();
  const char* folder = arguments.operands[1].c_str();
  Ed25519PublicKey key{};
  if (arguments.HasValue("--key") && !PackageSignedBy(arguments.Value("--key"), package, &key))
    return 1;
  UpgradeSession session(platform::ProgramInstance(), nullptr, package, folder);
  const std::string problem = TargetSessionProblem(session, folder);
  if (!problem.empty()) {
    std::fprintf(stderr, "upgtool: %s\n", platform::PackageTextForConsole(problem).c_str());
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
    std::printf("Folder:      %s\n", platform::PackageTextForConsole(folder).c_str());
    std::printf("Verdict:     %s\n", valid ? "valid" : "not valid");
    std::printf("Matched:     %d\n", counts.matched);
    std::printf("Mismatched:  %d\n", counts.mismatched);
    if (counts.criticalEntry >= 0) {
      const std::string name = session.entries[counts.criticalEntry]->fileName;
      std::printf("Stopped at:  entry %d, %s (critical)\n", counts.criticalEntry,
                  platform::PackageTextForConsole(name).c_str());
    }
  }
  return valid ? 0 : 1;
}

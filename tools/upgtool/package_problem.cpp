#include "tools/upgtool/package_problem.h"

#include <string>

#include "package/entry_path.h"
#include "package/package_format.h"

namespace upgtool {

namespace {

std::string EntryLabel(const package::UpgradeSession& session) {
  return "entry " + std::to_string(session.problemEntry);
}

}  // namespace

std::string PackageProblemText(const package::UpgradeSession& session) {
  switch (session.GetProblem()) {
    case package::PackageReader::Problem::kCannotOpen:
      return "cannot open the file";
    case package::PackageReader::Problem::kNotPackage:
      return "not an upgrade package: the file starts with neither [KVUPD] nor [KVUPX]";
    case package::PackageReader::Problem::kVersionTooNew:
      return "version " + std::to_string(session.version) + " is too new (at most " +
             std::to_string(package::kNewestPackageVersion) + " can be read)";
    case package::PackageReader::Problem::kTruncated:
      return "truncated: the file ends inside its header, texts or entry table";
    case package::PackageReader::Problem::kNone:
      break;
  }
  switch (session.tableProblem) {
    case package::TableProblem::kTooManyEntries:
      return "entry table unreadable: " + std::to_string(session.entryCount) +
             " entries, at most " + std::to_string(package::kMaxEntries) + " are allowed";
    case package::TableProblem::kNameTooLong:
      return "entry table unreadable: " + EntryLabel(session) +
             " has a file name longer than 249 characters";
    case package::TableProblem::kUnsafeName:
      return "entry table unreadable: " + EntryLabel(session) +
             " names a file outside the target folder";
    case package::TableProblem::kStagingName:
      return "entry table unreadable: " + EntryLabel(session) +
             " names a file in the staging folder " + package::kStagingFolderName;
    case package::TableProblem::kStampMissing:
      return "entry table unreadable: the file ends where the stamp of " + EntryLabel(session) +
             " should be";
    case package::TableProblem::kFolderTooLong:
    case package::TableProblem::kNone:
      break;
  }
  return "";
}

}  // namespace upgtool

#include "tools/upgtool/package_problem.h"

#include <string>

#include "package/entry_path.h"
#include "package/package_format.h"

namespace {

std::string EntryLabel(const UpgradeSession& session) {
  return "entry " + std::to_string(session.problemEntry);
}

}  // namespace

std::string PackageProblemText(const UpgradeSession& session) {
  switch (session.GetProblem()) {
    case PackageReader::Problem::kCannotOpen:
      return "cannot open the file";
    case PackageReader::Problem::kNotPackage:
      return "not an upgrade package: the file starts with neither [KVUPD] nor [KVUPX]";
    case PackageReader::Problem::kVersionTooNew:
      return "version " + std::to_string(session.version) + " is too new (at most " +
             std::to_string(kNewestPackageVersion) + " can be read)";
    case PackageReader::Problem::kTruncated:
      return "truncated: the file ends inside its header, texts or entry table";
    case PackageReader::Problem::kNone:
      break;
  }
  switch (session.tableProblem) {
    case TableProblem::kTooManyEntries:
      return "entry table unreadable: " + std::to_string(session.entryCount) +
             " entries, at most " + std::to_string(kMaxEntries) + " are allowed";
    case TableProblem::kNameTooLong:
      return "entry table unreadable: " + EntryLabel(session) +
             " has a file name longer than 249 characters";
    case TableProblem::kUnsafeName:
      return "entry table unreadable: " + EntryLabel(session) +
             " names a file outside the target folder";
    case TableProblem::kStagingName:
      return "entry table unreadable: " + EntryLabel(session) +
             " names a file in the staging folder " + kStagingFolderName;
    case TableProblem::kStampMissing:
      return "entry table unreadable: the file ends where the stamp of " + EntryLabel(session) +
             " should be";
    case TableProblem::kFolderTooLong:
    case TableProblem::kNone:
      break;
  }
  return "";
}

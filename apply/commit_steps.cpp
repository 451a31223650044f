#include "apply/commit_steps.h"

#include <cstring>

#include "apply/apply_upgrade.h"
#include "apply/confined_files.h"
#include "apply/staging_names.h"
#include "package/entry_path.h"
#include "package/upgrade_session.h"
#include "platform/bounded_text.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "platform/user_interface.h"

namespace apply {

bool TargetPath(const package::UpgradeSession& session, const std::string& relative,
                char (&path)[streams::kMaxPath]) {
  return platform::CopyText(path, session.targetFolder) &&
         platform::AppendText(path, relative.c_str());
}

bool NameStep(const package::UpgradeSession& session, const CommitStep& step, StepPaths* paths) {
  return TargetPath(session, step.fileName, paths->target) &&
         TemporaryFileName(session.targetFolder, step.entry, paths->fresh) &&
         BackupFileName(session.targetFolder, step.entry, paths->backup);
}

StepFailure MakeFoldersFor(const package::UpgradeSession& session, const char* targetPath,
                           std::vector<std::string>* made) {
  const std::size_t start = std::strlen(session.targetFolder);
  char prefix[streams::kMaxPath];
  if (!platform::CopyText(prefix, targetPath)) return StepFailure::kFolderNotMade;
  for (std::size_t at = start; prefix[at] != 0; ++at) {
    if (!platform::IsPathSeparator(prefix[at])) continue;
    const char separator = prefix[at];
    prefix[at] = 0;
    if (!streams::IsFolder(prefix)) {
      if (!ConfinedCreateFolder(session, prefix)) {
        return IsConfined(session, prefix) ? StepFailure::kFolderNotMade : StepFailure::kLinked;
      }
      made->push_back(prefix + start);
    }
    prefix[at] = separator;
  }
  return StepFailure::kNone;
}

void EndCommit(package::UpgradeSession& session, const CommitPlan& plan, bool completed,
               ApplyOutcome& outcome) {
  // The moves must be on disk before the journal goes: without it, nothing
  // would finish a commit that a power cut had half done.
  platform::Fs().FlushFolder(session.targetFolder, platform::FlushScope::kNames);
  char staging[streams::kMaxPath] = {};
  StagingFolderName(session.targetFolder, staging);

  // Undone, the new versions are back in the staging folder, where a
  // journal would take them for a commit still to finish: it goes first.
  // Completed, they are in place, and the journal goes last, so a run that
  // stops in between finds a commit it only has to tidy up.
  char journal[streams::kMaxPath];
  const bool named = JournalFileName(session.targetFolder, journal);
  const auto dropJournal = [&] {
    return named && (!ConfinedExists(session, journal) || ConfinedDelete(session, journal));
  };
  bool kept = !completed && !dropJournal();
  for (const CommitStep& step : plan.steps) {
    StepPaths paths;
    if (kept || !NameStep(session, step, &paths)) continue;
    if (ConfinedExists(session, paths.fresh)) ConfinedDelete(session, paths.fresh);
    if (ConfinedExists(session, paths.backup)) ConfinedDelete(session, paths.backup);
  }
  kept = kept || (completed && !dropJournal());
  if (kept) {
    KeepStagingFolder(session, outcome);
    return;
  }
  RemoveStaging(session, outcome);
}

void KeepStagingFolder(const package::UpgradeSession& session, ApplyOutcome& outcome) {
  char staging[streams::kMaxPath] = {};
  StagingFolderName(session.targetFolder, staging);
  outcome.stagingKept = true;
  outcome.stagingFolder = staging;
}

void ShowFileName(package::UpgradeSession& session, const std::string& fileName) {
  platform::Ui().SetControlText(session.progressDialog, platform::kProgressFileName,
                                fileName.c_str());
  platform::Ui().SetControlText(session.progressDialog, platform::kProgressDescription, " ");
  platform::Ui().UpdateWindow(session.progressDialog);
}

}  // namespace apply

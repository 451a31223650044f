// What the commit and the recovery of an interrupted commit share: the
// names of a step's files, making the folders a new file needs, and the
// end of a commit once its steps are settled. Used only by the engine.
#pragma once

#include <string>
#include <vector>

#include "apply/apply_outcome.h"
#include "apply/commit_journal.h"
#include "streams/file_utilities.h"

namespace package {
class UpgradeSession;
}  // namespace package

namespace apply {

struct StepPaths {
  char target[streams::kMaxPath];  // the entry's file in the target folder
  char fresh[streams::kMaxPath];   // its new version, N<index>.TMP
  char backup[streams::kMaxPath];  // its installed version moved aside, O<index>.TMP
};

// False when a name does not fit (the start of a run refuses such paths;
// a journal could still hold one).
bool NameStep(const package::UpgradeSession& session, const CommitStep& step, StepPaths* paths);
// The target folder followed by `relative`; false when it does not fit.
bool TargetPath(const package::UpgradeSession& session, const std::string& relative,
                char (&path)[streams::kMaxPath]);

// Makes every missing folder on the way to `targetPath`, checking for links
// before each. The relative names of the folders made are appended to
// `made`. kNone, or why a folder could not be made.
StepFailure MakeFoldersFor(const package::UpgradeSession& session, const char* targetPath,
                           std::vector<std::string>* made);

// Ends a commit whose files are settled, `completed` (every file in place)
// or undone: flushes the folders that changed, deletes the journal, the
// plan's new versions and backups, and the staging folder. When the journal
// cannot be deleted, the staging folder is kept whole for the next run.
void EndCommit(package::UpgradeSession& session, const CommitPlan& plan, bool completed,
               ApplyOutcome& outcome);

// Records that the staging folder stays, with what it holds, for the next
// run.
void KeepStagingFolder(const package::UpgradeSession& session, ApplyOutcome& outcome);

// Shows a file's name in the progress dialog and paints it.
void ShowFileName(package::UpgradeSession& session, const std::string& fileName);

}  // namespace apply

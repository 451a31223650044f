// Pass 3, the commit. Every move is planned and the plan made durable as a
// journal, with the new versions, before the first of the user's files
// changes. Each installed file is moved aside as a backup instead of being
// deleted; a step that fails has every step before it undone, so the
// folder ends exactly as it was, and only when the undo fails too is
// everything kept for the next run to finish or undo.
#include <set>

#include "apply/apply_upgrade.h"
#include "apply/commit_steps.h"
#include "apply/confined_files.h"
#include "apply/passes.h"
#include "apply/staging_names.h"
#include "package/entry_path.h"
#include "package/entry_state.h"
#include "package/upgrade_session.h"
#include "platform/file_system.h"
#include "platform/path_separator.h"
#include "platform/user_interface.h"

namespace apply {

using platform::Ui;

namespace {

constexpr char kDisabledCancel[] = "----";

// What a step did, for its undo.
struct StepProgress {
  bool movedOld = false;
  bool placedNew = false;
};

CommitPlan PlanCommit(package::UpgradeSession& session) {
  CommitPlan plan;
  session.Identify(&plan.package);
  std::set<std::string> planned;
  for (std::int32_t i = 0; i < session.entryCount; ++i) {
    const package::PackageEntry& entry = *session.entries[i];
    if (entry.state != package::EntryState::kProceed ||
        entry.operation == package::Operation::kVerify ||
        !package::IsKnownOperation(entry.operation)) {
      continue;
    }
    CommitStep step;
    step.entry = i;
    step.operation = entry.operation;
    step.newStamp = entry.newStamp;
    step.fileName = entry.fileName;
    SetEntryPath(session, entry);
    // An Add over an existing file (or a link in its place) moves that
    // aside like any other installed file.
    step.movesOld =
        entry.operation != package::Operation::kAdd || ConfinedExists(session, session.pathBuffer);
    if (entry.operation == package::Operation::kAdd) {
      for (std::size_t at = 0; at < step.fileName.size(); ++at) {
        if (!platform::IsPathSeparator(step.fileName[at])) continue;
        const std::string folder = step.fileName.substr(0, at);
        char path[streams::kMaxPath];
        if (planned.count(folder) != 0 || !TargetPath(session, folder, path) ||
            streams::IsFolder(path)) {
          continue;
        }
        planned.insert(folder);
        plan.newFolders.push_back(folder);
      }
    }
    plan.steps.push_back(step);
  }
  return plan;
}

// Clears backups left by an earlier finished commit, flushes the new
// versions, and puts the journal in place under its final name in one
// move, so that a journal is whole or absent. False when the commit cannot
// start; nothing of the user's has changed then.
bool WriteJournalFor(package::UpgradeSession& session, const CommitPlan& plan) {
  for (const CommitStep& step : plan.steps) {
    StepPaths paths;
    if (!NameStep(session, step, &paths)) return false;
    if (step.movesOld && ConfinedExists(session, paths.backup) &&
        !ConfinedDelete(session, paths.backup)) {
      return false;
    }
  }
  char draft[streams::kMaxPath];
  char journal[streams::kMaxPath];
  char staging[streams::kMaxPath];
  if (!JournalDraftName(session.targetFolder, draft) ||
      !JournalFileName(session.targetFolder, journal) ||
      !StagingFolderName(session.targetFolder, staging) || !IsWritableInPlace(session, draft) ||
      !platform::Fs().FlushFolder(staging, platform::FlushScope::kNamesAndFiles)) {
    return false;
  }
  if (!WriteJournal(draft, plan) || !ConfinedMove(session, draft, journal)) {
    ConfinedDelete(session, draft);
    return false;
  }
  // A journal that cannot be taken back must be followed: the run goes on.
  return platform::Fs().FlushFolder(staging, platform::FlushScope::kNames) ||
         !ConfinedDelete(session, journal);
}

StepFailure MoveFailure(const package::UpgradeSession& session, const char* path,
                        StepFailure otherwise) {
  return IsConfined(session, path) ? otherwise : StepFailure::kLinked;
}

StepFailure AdvanceStep(package::UpgradeSession& session, const CommitStep& step,
                        StepProgress& progress, std::vector<std::string>& madeFolders) {
  StepPaths paths;
  if (!NameStep(session, step, &paths)) return StepFailure::kNewNotPlaced;
  if (step.operation == package::Operation::kAdd) {
    const StepFailure folders = MakeFoldersFor(session, paths.target, &madeFolders);
    if (folders != StepFailure::kNone) return folders;
  }
  if (step.movesOld) {
    if (!ConfinedMove(session, paths.target, paths.backup)) {
      return MoveFailure(session, paths.target, StepFailure::kOldNotMoved);
    }
    progress.movedOld = true;
  }
  if (step.operation != package::Operation::kRemove) {
    if (!ConfinedMove(session, paths.fresh, paths.target)) {
      return MoveFailure(session, paths.target, StepFailure::kNewNotPlaced);
    }
    progress.placedNew = true;
  }
  return StepFailure::kNone;
}

// Puts back what the steps did, last first. True when the folder is again
// exactly as it was; otherwise names what could not be put back.
bool UndoSteps(package::UpgradeSession& session, const CommitPlan& plan,
               const std::vector<StepProgress>& progress,
               const std::vector<std::string>& madeFolders, ApplyOutcome& outcome) {
  for (std::size_t k = progress.size(); k-- > 0;) {
    const CommitStep& step = plan.steps[k];
    StepPaths paths;
    NameStep(session, step, &paths);
    bool restored = true;
    if (progress[k].placedNew) restored = ConfinedMove(session, paths.target, paths.fresh);
    if (restored && progress[k].movedOld) {
      restored = ConfinedMove(session, paths.backup, paths.target);
    }
    if (!restored)
      outcome.notRestored.push_back({step.entry, step.fileName, StepFailure::kNotRestored});
  }
  for (std::size_t k = madeFolders.size(); k-- > 0;) {
    char path[streams::kMaxPath];
    if (!TargetPath(session, madeFolders[k], path) || !ConfinedRemoveFolder(session, path)) {
      outcome.notRestored.push_back({-1, madeFolders[k], StepFailure::kNotRestored});
    }
  }
  return outcome.notRestored.empty();
}

}  // namespace

int RunCommit(package::UpgradeSession& session, ApplyOutcome& outcome) {
  Ui().SetControlText(session.progressDialog, platform::kProgressStatus,
                      session.GetString(package::UiLine::kInstalling));
  Ui().SetControlText(session.progressDialog, platform::kProgressBar, " ");
  Ui().SetControlText(session.progressDialog, platform::kProgressCancelButton, kDisabledCancel);
  Ui().UpdateWindow(session.progressDialog);
  const CommitPlan plan = PlanCommit(session);
  if (!WriteJournalFor(session, plan)) {
    outcome.commitFailure = {-1, JournalDisplayName(), StepFailure::kJournal};
    RemoveStaging(session, outcome);
    return 0;
  }
  std::vector<StepProgress> progress;
  std::vector<std::string> madeFolders;
  for (const CommitStep& step : plan.steps) {
    ShowEntry(session, *session.entries[step.entry]);
    progress.emplace_back();
    const StepFailure failure = AdvanceStep(session, step, progress.back(), madeFolders);
    if (failure == StepFailure::kNone) continue;
    outcome.commitFailure = {step.entry, step.fileName, failure};
    if (!UndoSteps(session, plan, progress, madeFolders, outcome)) {
      // The journal stays: the next run finishes or undoes what is left.
      KeepStagingFolder(session, outcome);
      return 0;
    }
    EndCommit(session, plan, false, outcome);
    return 0;
  }
  EndCommit(session, plan, true, outcome);
  return 1;
}

}  // namespace apply

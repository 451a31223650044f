#include "apply/recovery.h"

#include <cstring>

#include "apply/commit_journal.h"
#include "apply/commit_steps.h"
#include "apply/confined_files.h"
#include "apply/passes.h"
#include "apply/staging_names.h"
#include "package/file_stamp.h"
#include "package/upgrade_session.h"
#include "platform/user_interface.h"

namespace apply {

namespace {

constexpr char kFinishedText[] =
    "An earlier upgrade of this folder was interrupted while its files were being put in "
    "place. It has now been completed: its files are at their new versions.";
constexpr char kUndoneText[] =
    "An earlier upgrade of this folder was interrupted while its files were being put in "
    "place, and not all of its new files were found intact. It has been undone: its files "
    "are as they were before it.";

// Where a step's new version is: still staged, or already in place. Null
// when it is neither.
const char* NewVersionOf(const package::UpgradeSession& session, const StepPaths& paths) {
  if (ConfinedExists(session, paths.fresh)) return paths.fresh;
  if (ConfinedExists(session, paths.target)) return paths.target;
  return nullptr;
}

bool EveryNewVersionIsIntact(const package::UpgradeSession& session, const CommitPlan& plan) {
  for (const CommitStep& step : plan.steps) {
    if (step.operation == package::Operation::kRemove) continue;
    StepPaths paths;
    if (!NameStep(session, step, &paths)) return false;
    const char* found = NewVersionOf(session, paths);
    // Stamping sets the file's times, so it must not be a link.
    if (found == nullptr || !IsConfinedFile(session, found) ||
        !package::VerifyAndStampFile(found, step.newStamp)) {
      return false;
    }
  }
  return true;
}

// The rest of each step, in order: folders, the installed file aside, the
// new version in.
bool FinishForward(package::UpgradeSession& session, const CommitPlan& plan) {
  for (const CommitStep& step : plan.steps) {
    StepPaths paths;
    if (!NameStep(session, step, &paths)) return false;
    ShowFileName(session, step.fileName);
    std::vector<std::string> made;
    if (step.operation != package::Operation::kRemove &&
        MakeFoldersFor(session, paths.target, &made) != StepFailure::kNone) {
      return false;
    }
    // A step whose new version has left the staging folder is done.
    const bool pending =
        step.operation == package::Operation::kRemove || ConfinedExists(session, paths.fresh);
    if (pending && step.movesOld && !ConfinedExists(session, paths.backup) &&
        ConfinedExists(session, paths.target) &&
        !ConfinedMove(session, paths.target, paths.backup)) {
      return false;
    }
    if (step.operation != package::Operation::kRemove && pending &&
        !ConfinedMove(session, paths.fresh, paths.target)) {
      return false;
    }
  }
  return true;
}

// Every step back, last first, from whatever state the disk shows: the new
// version back to the staging folder, the backup back in place, and the
// folders the commit made removed. Names what cannot be put back.
bool UndoFromDisk(package::UpgradeSession& session, const CommitPlan& plan, ApplyOutcome& outcome) {
  for (std::size_t k = plan.steps.size(); k-- > 0;) {
    const CommitStep& step = plan.steps[k];
    StepPaths paths;
    bool restored = NameStep(session, step, &paths);
    if (restored) ShowFileName(session, step.fileName);
    const bool placed = restored && step.operation != package::Operation::kRemove &&
                        !ConfinedExists(session, paths.fresh) &&
                        ConfinedExists(session, paths.target);
    if (placed) {
      // A new version in place whose installed file has no backup: that
      // file is lost, and this one must not take its place silently.
      restored = (!step.movesOld || ConfinedExists(session, paths.backup)) &&
                 ConfinedMove(session, paths.target, paths.fresh);
    }
    if (restored && step.movesOld && ConfinedExists(session, paths.backup)) {
      restored = !ConfinedExists(session, paths.target) &&
                 ConfinedMove(session, paths.backup, paths.target);
    }
    if (!restored)
      outcome.notRestored.push_back({step.entry, step.fileName, StepFailure::kNotRestored});
  }
  for (std::size_t k = plan.newFolders.size(); k-- > 0;) {
    char path[streams::kMaxPath];
    if (TargetPath(session, plan.newFolders[k], path) && streams::IsFolder(path) &&
        !ConfinedRemoveFolder(session, path)) {
      outcome.notRestored.push_back({-1, plan.newFolders[k], StepFailure::kNotRestored});
    }
  }
  return outcome.notRestored.empty();
}

bool KeepEverything(const package::UpgradeSession& session, ApplyOutcome& outcome) {
  outcome.recovery = Recovery::kStuck;
  KeepStagingFolder(session, outcome);
  return false;
}

}  // namespace

InterruptedCommit FindInterruptedCommit(package::UpgradeSession& session) {
  char journal[streams::kMaxPath];
  if (!JournalFileName(session.targetFolder, journal) || !ConfinedExists(session, journal)) {
    return InterruptedCommit::kNone;
  }
  CommitPlan plan;
  if (!IsConfinedFile(session, journal) || !ReadJournal(journal, &plan)) {
    return InterruptedCommit::kUnreadable;
  }
  package::PackageIdentity identity;
  return session.Identify(&identity) && identity == plan.package
             ? InterruptedCommit::kOfThisPackage
             : InterruptedCommit::kOfAnotherPackage;
}

bool RecoverInterruptedCommit(package::UpgradeSession& session, ApplyOutcome& outcome) {
  char journal[streams::kMaxPath];
  if (!JournalFileName(session.targetFolder, journal) || !ConfinedExists(session, journal)) {
    return true;
  }
  CommitPlan plan;
  if (!IsConfinedFile(session, journal) || !ReadJournal(journal, &plan)) {
    outcome.notRestored.push_back({-1, std::string(journal + std::strlen(session.targetFolder)),
                                   StepFailure::kJournalUnreadable});
    return KeepEverything(session, outcome);
  }
  const bool forward = EveryNewVersionIsIntact(session, plan) && FinishForward(session, plan);
  if (!forward && !UndoFromDisk(session, plan, outcome)) return KeepEverything(session, outcome);
  EndCommit(session, plan, forward, outcome);
  outcome.recovery = forward ? Recovery::kFinished : Recovery::kUndone;
  package::PackageIdentity identity;
  outcome.recoveredThisPackage = forward && session.Identify(&identity) && identity == plan.package;
  ShowInformationText(session, forward ? kFinishedText : kUndoneText);
  return !outcome.recoveredThisPackage;
}

}  // namespace apply

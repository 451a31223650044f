#include "ui/closing_message.h"

namespace ui {

namespace {

constexpr char kAborted[] = "The upgrade process was aborted.";
constexpr char kNothingChanged[] = " No changes have been made to any of your files.";

std::string Reason(apply::StepFailure reason) {
  switch (reason) {
    case apply::StepFailure::kLinked:
      return "a folder on its way is a symbolic link or junction, or cannot be examined";
    case apply::StepFailure::kFolderNotMade:
      return "a folder on its way could not be created";
    case apply::StepFailure::kOldNotMoved:
      return "the installed file could not be moved aside";
    case apply::StepFailure::kNewNotPlaced:
      return "the new version could not be moved in";
    case apply::StepFailure::kNotRestored:
      return "it could not be put back";
    case apply::StepFailure::kJournal:
      return "the record of the changes could not be written";
    case apply::StepFailure::kJournalUnreadable:
      return "the record of the interrupted upgrade cannot be read";
    case apply::StepFailure::kNone:
      break;
  }
  return "";
}

std::string RecoveryNote(apply::Recovery recovery) {
  return std::string(" Before it began, an interrupted earlier upgrade of this folder was ") +
         (recovery == apply::Recovery::kFinished ? "completed" : "undone") +
         "; nothing else has been changed.";
}

std::string RefusalNote(const apply::ApplyOutcome& outcome) {
  switch (outcome.refusal) {
    case apply::Refusal::kPathTooLong:
      return "\n\nThis path is too long to be handled: " + outcome.refusedPath;
    case apply::Refusal::kFolderInUse:
      return "\n\nAnother upgrade is being applied to this folder right now. Wait until it has "
             "ended, then try again.";
    case apply::Refusal::kFolderNotLockable:
      return "\n\nThe folder could not be reserved for this upgrade alone (can files be "
             "created in it?), so the upgrade was not started.";
    case apply::Refusal::kStagingNotFolder:
      return "\n\n" + outcome.refusedPath +
             " is a link or a file, not a folder of its own, and the upgrade does not follow "
             "it. Remove it, then try again.";
    case apply::Refusal::kNone:
      break;
  }
  return "";
}

std::string CommitNote(const apply::ApplyOutcome& outcome) {
  const apply::FileFailure& failure = outcome.commitFailure;
  if (failure.reason == apply::StepFailure::kNone) return "";
  if (failure.reason == apply::StepFailure::kJournal) {
    return "\n\nThe record of the changes to come could not be written to the staging folder "
           "(is the disk full?), so no file was changed.";
  }
  return "\n\n" + failure.fileName + " could not be put in place: " + Reason(failure.reason) +
         ". Every file already changed was put back as it was.";
}

std::string Listed(const std::vector<apply::FileFailure>& failures) {
  std::string text;
  for (const apply::FileFailure& failure : failures) {
    text += "\n  " + failure.fileName;
    if (failure.reason != apply::StepFailure::kNotRestored)
      text += " (" + Reason(failure.reason) + ")";
  }
  return text;
}

ClosingMessage Incomplete(const apply::ApplyOutcome& outcome) {
  std::string text;
  if (outcome.recovery == apply::Recovery::kStuck) {
    text =
        "An interrupted earlier upgrade of this folder could be neither completed nor "
        "undone, so this upgrade was not started. These files are not as either version "
        "leaves them:";
  } else {
    text = "The upgrade could not be completed: " + outcome.commitFailure.fileName +
           " could not be put in place (" + Reason(outcome.commitFailure.reason) +
           "), and putting back what had changed failed for:";
  }
  text += Listed(outcome.notRestored);
  text += "\n\nTheir earlier and new versions are kept in " + outcome.stagingFolder +
          "; the next upgrade of this folder finishes or undoes what was left.";
  return {text, "Upgrade Incomplete", kExitPartlyApplied};
}

}  // namespace

ClosingMessage ClosingMessageFor(int applied, const apply::ApplyOutcome& outcome) {
  if (outcome.LeftMixed()) return Incomplete(outcome);
  if (applied) return {"The upgrade has been applied.", "All Finished", kExitApplied};
  std::string text = kAborted;
  text += outcome.RecoveryChangedFiles() ? RecoveryNote(outcome.recovery) : kNothingChanged;
  text += RefusalNote(outcome) + CommitNote(outcome);
  if (outcome.packageChanged) {
    text +=
        "\n\nThe package file changed during the installation: it is no longer the "
        "signed package that was checked at the start.";
  }
  return {text, "Upgrade Aborted", kExitNotApplied};
}

}  // namespace ui

#include "ui/closing_message.h"

#include <cstdio>

ClosingMessage ClosingMessageFor(int applied, const ApplyOutcome& outcome) {
  if (!applied) {
    std::string text =
        "The upgrade process was aborted. No changes have been made to any of your files.";
    if (!outcome.refusedPath.empty())
      text += "\n\nThis path is too long to be handled: " + outcome.refusedPath;
    if (outcome.packageChanged)
      text += "\n\nThe package file changed during the installation: it is no longer the "
              "signed package that was checked at the start.";
    return {text, "Upgrade Aborted", kExitNotApplied};
  }
  if (!outcome.CommitFailed()) return {"The upgrade has been applied.", "All Finished", kExitApplied};
  std::string text = "The upgrade has been applied, but not to every file.";
  if (!outcome.notPlaced.empty()) {
    text += "\n\nThese files could not be put in place; their new versions are kept in " +
            outcome.stagingFolder + ":";
    for (const CommitFailure& failure : outcome.notPlaced) {
      char temporary[16];
      std::snprintf(temporary, sizeof temporary, "N%05d.TMP", static_cast<int>(failure.entry));
      text += "\n  " + failure.fileName + " (as " + temporary + ")";
    }
  }
  if (!outcome.notRemoved.empty()) {
    text += "\n\nThese files could not be removed:";
    for (const CommitFailure& failure : outcome.notRemoved) text += "\n  " + failure.fileName;
  }
  return {text, "Upgrade Incomplete", kExitPartlyApplied};
}

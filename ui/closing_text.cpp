#include "ui/closing_text.h"

namespace {

constexpr char kApplied[] = "The upgrade has been applied.";
constexpr char kAborted[] =
    "The upgrade process was aborted. No changes have been made to any of your files.";

}  // namespace

const char* ClosingCaption(int applied) { return applied ? "All Finished" : "Upgrade Aborted"; }

std::string ClosingText(int applied, const ApplyOutcome& outcome) {
  if (!applied) {
    std::string text = kAborted;
    if (!outcome.refusedPath.empty()) {
      text += "\nThe path of " + outcome.refusedPath +
              " in the target folder is too long, so the upgrade was not started.";
    }
    return text;
  }
  if (!outcome.CommitFailed()) {
    std::string text = kApplied;
    if (outcome.stagingKept) {
      text += "\nThe folder " + outcome.stagingFolder +
              " was left in place because it holds files that are not the upgrade's.";
    }
    return text;
  }
  std::string text = "The upgrade has been applied, but not completely.";
  if (!outcome.notPlaced.empty()) {
    text += "\nThese files could not be put in place; their new versions are kept in " +
            outcome.stagingFolder + ":";
    for (const CommitFailure& failure : outcome.notPlaced) {
      text += "\n  " + failure.fileName + " (new version: " + failure.keptAs + ")";
    }
  }
  if (!outcome.notRemoved.empty()) {
    text += "\nThese files could not be removed:";
    for (const CommitFailure& failure : outcome.notRemoved) text += "\n  " + failure.fileName;
  }
  return text;
}

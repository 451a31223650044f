// The three passes of ApplyUpgrade and what they share; used only by the
// engine's own files.
#pragma once

#include <cstdint>

#include "apply/apply_outcome.h"
#include "package/upgrade_session.h"

// UiStrings lines the engine shows.
enum UiLine : int {
  kOperationNamesLine = 1,
  kLabelsLine = 2,
  kCaptionLine = 3,
  kCancelLine = 4,
  kInitializingLine = 5,
  kInstallingLine = 6,
  kContinueLine = 7,
  kExistsLine = 9,
  kTimeDiffersLine = 10,
  kRemoveChangedLine = 11,
  kCannotCreateReadOnlyLine = 12,
  kNotFoundLine = 13,
  kChangedLine = 14,
  kReadOnlyLine = 15,
  kCriticalBeforeLine = 16,
  kCriticalRebuildLine = 17,
  kRebuildSkippedLine = 18,
  kMoreInformationLine = 19,
  kCriticalExplanationLine = 20,
  // Not a line of the table: the engine's own text for a path that passes
  // through a link, which the table has no words for.
  kLinkedPathMessage = -1,
};

// Operations 5 to 7 fit the flag byte but name nothing: every pass leaves
// such an entry alone.
inline bool IsKnownOperation(std::uint8_t operation) { return operation <= kRemove; }
inline bool BuildsNewFile(std::uint8_t operation) {
  return operation == kAdd || operation == kUpdate || operation == kReplace;
}

// pathBuffer = targetFolder + fileName; the start of the run made sure it fits.
void SetEntryPath(UpgradeSession& session, const PackageEntry& entry);
// Shows the entry's name and description in the dialog and paints it.
void ShowEntry(UpgradeSession& session, const PackageEntry& entry);
void ShowInformation(UpgradeSession& session, int line);
void ShowInformationText(UpgradeSession& session, const char* text);
// The text of a UiLine, kLinkedPathMessage included.
const char* EngineText(const UpgradeSession& session, int line);

// 1 when every entry has been checked and the run goes on, 0 to end it.
int RunPreflight(UpgradeSession& session);
// 1 when every new file is built, 0 when the run was aborted (the staging
// folder is then cleaned up already).
int RunInstall(UpgradeSession& session, ApplyOutcome& outcome);
// 1 when every file is in place; 0 when the commit could not start or was
// undone (`outcome` says which file stopped it, and what, if anything,
// could not be put back).
int RunCommit(UpgradeSession& session, ApplyOutcome& outcome);

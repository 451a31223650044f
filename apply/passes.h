// The three passes of ApplyUpgrade and what they share; used only by the
// engine's own files.
#pragma once

#include <cstdint>

#include "apply/apply_outcome.h"
#include "package/ui_strings.h"
#include "package/upgrade_session.h"

namespace apply {

// Not a line of the table: the engine's own text for a path that passes
// through a link, which the table has no words for.
constexpr package::UiLine kLinkedPathMessage = static_cast<package::UiLine>(-1);

// pathBuffer = targetFolder + fileName; the start of the run made sure it fits.
void SetEntryPath(package::UpgradeSession& session, const package::PackageEntry& entry);
// Shows the entry's name and description in the dialog and paints it.
void ShowEntry(package::UpgradeSession& session, const package::PackageEntry& entry);
void ShowInformation(package::UpgradeSession& session, package::UiLine line);
void ShowInformationText(package::UpgradeSession& session, const char* text);
// The text of a UiLine, kLinkedPathMessage included.
const char* EngineText(const package::UpgradeSession& session, package::UiLine line);

// 1 when every entry has been checked and the run goes on, 0 to end it.
int RunPreflight(package::UpgradeSession& session);
// 1 when every new file is built, 0 when the run was aborted (the staging
// folder is then cleaned up already).
int RunInstall(package::UpgradeSession& session, ApplyOutcome& outcome);
// 1 when every file is in place; 0 when the commit could not start or was
// undone (`outcome` says which file stopped it, and what, if anything,
// could not be put back).
int RunCommit(package::UpgradeSession& session, ApplyOutcome& outcome);

}  // namespace apply

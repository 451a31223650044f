// The apply engine's entry point: checks every file of the target folder
// against the package, builds the new files in a staging folder, and only
// then puts them in place.
#pragma once

#include <cstdint>

#include "apply/apply_outcome.h"
#include "package/ui_strings.h"

namespace package {
class UpgradeSession;
struct PackageEntry;
}  // namespace package

namespace apply {

class PackageCheck;

// Runs the whole upgrade under a progress dialog that it creates in the
// session (the session's destructor destroys it), holding the target
// folder for itself from start to end. An interrupted earlier commit found
// there is finished or undone first. Returns 1 when every file is in place
// (also when finishing an interrupted commit of this package did that), 0
// when the run was refused, aborted, or its commit failed and was undone;
// on 0 no file or folder of the user's was changed, except what `outcome`
// reports (a recovery, files that could not be put back). `outcome`, when
// given, receives what the front-end must tell beyond the 1 or 0.
// `check`, when given, is asked between the install pass and the commit; a
// refusal returns 0 with outcome->packageChanged set.
int ApplyUpgrade(package::UpgradeSession& session, ApplyOutcome* outcome = nullptr,
                 PackageCheck* check = nullptr);

// Asks about one entry in a Yes/No box owned by the progress dialog: the
// operation, file name and description (when there is one), then UiStrings
// lines `first` and `second`. True on Yes.
bool AskAboutEntry(package::UpgradeSession& session, const package::PackageEntry& entry,
                   package::UiLine first, package::UiLine second);

// Deletes every new version and backup that an index of the table can name
// and a journal draft, then the staging folder if it is empty. Called only
// when no journal is there, so none of them is needed. True when the folder
// was removed; `outcome` records whether it stays.
bool RemoveStaging(package::UpgradeSession& session, ApplyOutcome& outcome);

}  // namespace apply

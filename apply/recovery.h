// An interrupted commit, found by its journal in the staging folder at the
// start of a run, is finished or undone before anything else happens.
#pragma once

#include "apply/apply_outcome.h"

namespace package {
class UpgradeSession;
}  // namespace package

namespace apply {

enum class InterruptedCommit { kNone, kOfThisPackage, kOfAnotherPackage, kUnreadable };

// Whether the target folder holds an interrupted commit and whose it is.
// Only reads.
InterruptedCommit FindInterruptedCommit(package::UpgradeSession& session);

// Finishes an interrupted commit forward when every new version it planned
// is present and matches its new stamp, else undoes it from its backups,
// and tells the user which in a box owned by the progress dialog. Records
// what it did in `outcome`. False when the run ends here: the commit was
// this package's and is now complete, or it could be neither finished nor
// undone (everything is then kept, and named).
bool RecoverInterruptedCommit(package::UpgradeSession& session, ApplyOutcome& outcome);

}  // namespace apply

// The closing message of a run and the exit status that goes with it.
#pragma once

#include <string>

#include "apply/apply_outcome.h"

namespace ui {

// Exit statuses: a calling script can tell every outcome apart.
constexpr int kExitApplied = 0;
constexpr int kExitNotApplied = 1;
constexpr int kExitInvalidPackage = 2;
constexpr int kExitPartlyApplied = 3;

struct ClosingMessage {
  std::string text;
  std::string caption;
  int exitStatus;
};

// What the user is told after the installation. Beyond "applied" or
// "aborted" it says why a run was refused, which file stopped a commit
// that was then undone, what an interrupted earlier upgrade became, and,
// when the folder was left neither old nor new, which files and where
// their versions are kept. It never says that nothing changed when a
// recovery changed files.
ClosingMessage ClosingMessageFor(int applied, const apply::ApplyOutcome& outcome);

}  // namespace ui

// The closing message of a run and the exit status that goes with it.
#pragma once

#include <string>

#include "apply/apply_outcome.h"

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

// What the user is told after the installation. An applied upgrade whose
// commit could not put every file in place says so, naming the files and
// the folder that keeps their new versions: "applied" alone would be untrue.
ClosingMessage ClosingMessageFor(int applied, const ApplyOutcome& outcome);

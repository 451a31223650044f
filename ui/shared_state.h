// The user interface's process-wide state: the package and the target
// folder that the start-up, the search and the wizard hand to each other.
#pragma once

#include "streams/file_utilities.h"

namespace ui {

// The package's path; empty while no package is known.
extern char PackagePath[streams::kMaxPath];
// The target folder: no trailing separator except at a drive root.
extern char SelectedFolder[streams::kMaxPath];

// Empties both, as at start-up. For tests.
void ResetSharedState();

}  // namespace ui

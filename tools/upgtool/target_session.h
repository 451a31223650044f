// The checks that check and apply share before they use a package on a
// target folder.
#pragma once

#include <string>

#include "package/upgrade_session.h"

namespace upgtool {

// Why `session`, opened on `folder`, cannot be used: the package's problem,
// a folder that is not there or whose path is too long. Empty when it can.
std::string TargetSessionProblem(const package::UpgradeSession& session, const char* folder);

}  // namespace upgtool

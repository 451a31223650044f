// Why a package cannot be used, in words for upgtool's messages.
#pragma once

#include <string>

#include "package/upgrade_session.h"

namespace upgtool {

// Empty when the package can be used.
std::string PackageProblemText(const package::UpgradeSession& session);

}  // namespace upgtool

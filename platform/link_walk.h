// The component-by-component walk behind FileSystem::FindLinkBelow, shared
// by both implementations; each supplies how one component is examined.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace platform {

enum class ComponentKind { kMissing, kFolder, kFile, kLink, kUnreadable };

// Examines `path` up to each separator after `folder`, then `path` whole,
// with `examine` (which must not follow a last-component link), and stops
// at the first component that is missing, a file or a link. '\' and '/'
// both separate, as they do for entry names.
LinkFinding WalkBelow(const char* folder, const char* path,
                      ComponentKind (*examine)(const std::string& prefix));

}  // namespace platform

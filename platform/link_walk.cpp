#include "platform/link_walk.h"

#include <cstring>

#include "platform/path_separator.h"

namespace platform {

LinkFinding WalkBelow(const char* folder, const char* path,
                      ComponentKind (*examine)(const std::string& prefix)) {
  const std::size_t start = std::strlen(folder);
  if (std::strncmp(folder, path, start) != 0) return LinkFinding::kUnknown;
  const std::string whole(path);
  for (std::size_t end = start; end <= whole.size(); ++end) {
    const bool last = end == whole.size();
    if (!last && whole[end] != '\\' && whole[end] != '/') continue;
    // An empty component (a doubled separator) names nothing new.
    if (end == start || IsPathSeparator(whole[end - 1])) continue;
    switch (examine(whole.substr(0, end))) {
      case ComponentKind::kFolder:
        break;
      case ComponentKind::kLink:
        return last ? LinkFinding::kLast : LinkFinding::kInFolders;
      case ComponentKind::kUnreadable:
        return LinkFinding::kUnknown;
      case ComponentKind::kMissing:
      case ComponentKind::kFile:
        return LinkFinding::kNone;
    }
  }
  return LinkFinding::kNone;
}

}  // namespace platform

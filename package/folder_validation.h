// Whether a folder holds the installed files that a package expects.
#pragma once

#include <cstdint>

namespace package {

class UpgradeSession;

// How the verdict came about, for tools that show it.
struct FolderCheckCounts {
  std::int32_t matched = 0;
  std::int32_t mismatched = 0;
  // The entry whose Critical policy ended the walk, or -1.
  std::int32_t criticalEntry = -1;
};

// True when the session's targetFolder is taken to hold the installed
// files: no entry whose file is missing or changed, or fewer such entries
// than entries whose file matches, weighted by each entry's policies. Only
// reads; uses pathBuffer as scratch. A session whose entry table could not
// be read in full is never valid.
bool ValidateTargetFolder(UpgradeSession& session, FolderCheckCounts* counts = nullptr);

}  // namespace package

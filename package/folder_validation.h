// Whether a folder holds the installed files that a package expects.
#pragma once

class UpgradeSession;

// True when the session's targetFolder is taken to hold the installed
// files: no entry whose file is missing or changed, or fewer such entries
// than entries whose file matches, weighted by each entry's policies. Only
// reads; uses pathBuffer as scratch. A session whose entry table could not
// be read in full is never valid.
bool ValidateTargetFolder(UpgradeSession& session);

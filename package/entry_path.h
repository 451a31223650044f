// The rule that keeps a package inside its target folder.
#pragma once

#include <cstddef>

namespace package {

// The folder inside the target folder where a run builds its new files and
// keeps its journal and backups; no entry may name anything in it.
constexpr char kStagingFolderName[] = "__KVUPD_";

// True for a plain relative path below the target folder: not empty, no
// leading separator, no drive letter or other ':', and no empty, "." or ".."
// component, with '/' taken as a separator like '\'.
bool IsSafeEntryName(const char* name);

// True when the first component of `name` (a '\' or '/' ends it) is the
// staging folder's name in any letter case. Trailing dots and blanks do
// not make it another name: Windows drops them when it resolves a path.
bool NamesStagingFolder(const char* name);

}  // namespace package

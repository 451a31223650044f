// The rule that keeps a package inside its target folder.
#pragma once

#include <cstddef>

// Longest file name an entry may carry; the entry's buffer holds one more.
constexpr std::size_t kMaxEntryName = 249;

// True for a plain relative path below the target folder: not empty, no
// leading separator, no drive letter or other ':', and no empty, "." or ".."
// component, with '/' taken as a separator like '\'.
bool IsSafeEntryName(const char* name);

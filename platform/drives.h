// Drives and folder listings for the search for installed files.
#pragma once

#include <cstdint>

namespace platform {

// Drives are numbered 0 to 25 (A to Z). On Windows drive d has the root
// "X:\" for its letter; a POSIX system has one, "/", numbered 0.
constexpr int kDriveCount = 26;

// The root of drive `index`; false when no such drive can exist.
bool DriveRoot(int index, char* root, std::uint32_t capacity);
// True when the root is that of a fixed local disk (GetDriveTypeA's
// DRIVE_FIXED on Windows; the root file system elsewhere).
bool IsFixedDrive(const char* root);

// False for a folder that holds no installed files by its nature: on POSIX
// one on a pseudo file system (/proc, /sys, /dev, /run and the like).
bool IsSearchableFolder(const char* folder);

}  // namespace platform

// Drives and folder listings for the search for installed files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Drives are numbered 0 to 25 (A to Z). On Windows drive d has the root
// "X:\" for its letter; a POSIX system has one, "/", numbered 0.
constexpr int kDriveCount = 26;

// The root of drive `index`; false when no such drive can exist.
bool DriveRoot(int index, char* root, std::uint32_t capacity);
// True when the root is that of a fixed local disk (GetDriveTypeA's
// DRIVE_FIXED on Windows; the root file system elsewhere).
bool IsFixedDrive(const char* root);

// The names of `folder`'s sub-folders in the order the file system delivers
// them, "." and ".." left out. Symbolic links are not folders here, and a
// POSIX listing leaves out folders of pseudo file systems (/proc, /sys,
// /dev, /run and the like). False when the folder cannot be listed.
bool ListSubfolders(const char* folder, std::vector<std::string>* names);

}  // namespace platform

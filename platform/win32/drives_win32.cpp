#include <cstring>

#include "platform/drives.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool DriveRoot(int index, char* root, std::uint32_t capacity) {
  if (index < 0 || index >= kDriveCount || capacity < 4) return false;
  root[0] = static_cast<char>('A' + index);
  std::memcpy(root + 1, ":\\", 3);
  return true;
}

bool IsFixedDrive(const char* root) { return ::GetDriveTypeA(root) == DRIVE_FIXED; }

bool IsSearchableFolder(const char*) { return true; }

}  // namespace platform

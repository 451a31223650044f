#include "platform/win32/windows_api.h"

#include <cstring>

#include "platform/drives.h"

namespace platform {

bool DriveRoot(int index, char* root, std::uint32_t capacity) {
  if (index < 0 || index >= kDriveCount || capacity < 4) return false;
  root[0] = static_cast<char>('A' + index);
  std::memcpy(root + 1, ":\\", 3);
  return true;
}

bool IsFixedDrive(const char* root) { return ::GetDriveTypeA(root) == DRIVE_FIXED; }

bool ListSubfolders(const char* folder, std::vector<std::string>* names) {
  std::string pattern = folder;
  if (pattern.empty() || pattern.back() != '\\') pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAA entry;
  const HANDLE search = ::FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const char* name = entry.cFileName;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    // Hidden and system folders are left out, as a directory listing of
    // plain folders leaves them out.
    if ((entry.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) continue;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    names->emplace_back(name);
  } while (::FindNextFileA(search, &entry));
  ::FindClose(search);
  return true;
}

}  // namespace platform

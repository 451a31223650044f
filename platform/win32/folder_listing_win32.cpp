// The folder listing through FindFirstFileA/FindNextFileA. A reparse point
// (symbolic link, junction) is reported as a link and never entered, as the
// POSIX side reports symbolic links.
#include <string>

#include "platform/file_system.h"
#include "platform/win32/windows_api.h"

namespace platform {
namespace {

ItemKind KindOf(DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return ItemKind::kLink;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ItemKind::kFolder;
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return ItemKind::kOther;
  return ItemKind::kFile;
}

// Closes the search on every way out.
class FindCloser {
 public:
  explicit FindCloser(HANDLE search) : search_(search) {}
  ~FindCloser() { ::FindClose(search_); }
  FindCloser(const FindCloser&) = delete;
  FindCloser& operator=(const FindCloser&) = delete;

 private:
  HANDLE search_;
};

}  // namespace

bool ListNativeFolder(const char* folder, std::vector<FolderItem>* items) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA found;
  const HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  const FindCloser closer(search);
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const ItemKind kind = KindOf(found.dwFileAttributes);
    const std::uint64_t size =
        kind == ItemKind::kFile
            ? (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow
            : 0;
    items->push_back(FolderItem{name, kind, size});
  } while (::FindNextFileA(search, &found));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace platform

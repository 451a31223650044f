// The folder listing through FindFirstFileW/FindNextFileW. A reparse point
// (symbolic link, junction) is reported as a link and never entered, as the
// POSIX side reports symbolic links. The names are listed in their wide form
// and then written in the ANSI code page without a best fit: the ANSI calls
// would give a look-alike for a character the code page lacks ('a' for
// U+0101), which names another file.
#include <string>

#include "platform/code_page.h"
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
  std::u32string patternCharacters;
  if (!DecodePackageText(pattern, &patternCharacters)) return false;
  const std::wstring widePattern(patternCharacters.begin(), patternCharacters.end());
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(widePattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  const FindCloser closer(search);
  do {
    const std::wstring wide = found.cFileName;
    if (wide == L"." || wide == L"..") continue;
    std::string name;
    const bool representable = EncodePackageText(std::u32string(wide.begin(), wide.end()), &name);
    const ItemKind kind = KindOf(found.dwFileAttributes);
    const std::uint64_t size =
        kind == ItemKind::kFile
            ? (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow
            : 0;
    items->push_back(FolderItem{name, kind, size, representable});
  } while (::FindNextFileW(search, &found));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace platform

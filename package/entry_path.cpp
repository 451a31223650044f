#include "package/entry_path.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/path_separator.h"

namespace package {

namespace {

bool IsBadComponent(const char* start, std::size_t length) {
  if (length == 0) return true;
  if (length == 1 && start[0] == '.') return true;
  return length == 2 && start[0] == '.' && start[1] == '.';
}

}  // namespace

bool NamesStagingFolder(const char* name) {
  std::size_t length = 0;
  while (name[length] != 0 && !platform::IsPathSeparator(name[length])) ++length;
  while (length > 0 && (name[length - 1] == '.' || name[length - 1] == ' ')) --length;
  if (length != sizeof kStagingFolderName - 1) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (platform::AsciiCapital(name[i]) != kStagingFolderName[i]) return false;
  }
  return true;
}

bool IsSafeEntryName(const char* name) {
  if (name[0] == 0 || std::strchr(name, ':') != nullptr) return false;
  const char* start = name;
  for (const char* p = name;; ++p) {
    if (*p == 0 || platform::IsPathSeparator(*p)) {
      if (IsBadComponent(start, static_cast<std::size_t>(p - start))) return false;
      if (*p == 0) return true;
      start = p + 1;
    }
  }
}

}  // namespace package

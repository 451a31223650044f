#include "package/entry_path.h"

#include <cstring>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsBadComponent(const char* start, std::size_t length) {
  if (length == 0) return true;
  if (length == 1 && start[0] == '.') return true;
  return length == 2 && start[0] == '.' && start[1] == '.';
}

}  // namespace

bool IsSafeEntryName(const char* name) {
  if (name[0] == 0 || std::strchr(name, ':') != nullptr) return false;
  const char* start = name;
  for (const char* p = name;; ++p) {
    if (*p == 0 || IsSeparator(*p)) {
      if (IsBadComponent(start, static_cast<std::size_t>(p - start))) return false;
      if (*p == 0) return true;
      start = p + 1;
    }
  }
}

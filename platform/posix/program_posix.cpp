#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/bounded_text.h"
#include "platform/code_page.h"
#include "platform/program.h"

namespace platform {
namespace {

// A path from the system in the package code page, whole or not at all.
bool CopyOutPath(const char* native, char* buffer, std::uint32_t capacity) {
  std::string path;
  return Utf8ToPackageText(native, &path) && CopyText(buffer, capacity, path.c_str());
}

}  // namespace

bool ProgramPath(char* buffer, std::uint32_t capacity) {
  char resolved[PATH_MAX];
  if (::realpath("/proc/self/exe", resolved) == nullptr) return false;
  return CopyOutPath(resolved, buffer, capacity);
}

bool SystemFolder(char* buffer, std::uint32_t capacity) {
  char current[PATH_MAX];
  if (::getcwd(current, sizeof current) == nullptr) return false;
  return CopyOutPath(current, buffer, capacity);
}

char NativeSeparator() { return '/'; }

}  // namespace platform

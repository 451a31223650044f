#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/program.h"

namespace platform {
namespace {

bool CopyOut(const char* text, char* buffer, std::uint32_t capacity) {
  const std::size_t length = std::strlen(text);
  if (length >= capacity) return false;
  std::memcpy(buffer, text, length + 1);
  return true;
}

}  // namespace

bool ProgramPath(char* buffer, std::uint32_t capacity) {
  char resolved[PATH_MAX];
  if (::realpath("/proc/self/exe", resolved) == nullptr) return false;
  return CopyOut(resolved, buffer, capacity);
}

bool SystemFolder(char* buffer, std::uint32_t capacity) {
  char current[PATH_MAX];
  if (::getcwd(current, sizeof current) == nullptr) return false;
  return CopyOut(current, buffer, capacity);
}

char NativeSeparator() { return '/'; }

}  // namespace platform

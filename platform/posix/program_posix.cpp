#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/copy_out.h"
#include "platform/program.h"

namespace platform {

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

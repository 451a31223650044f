#include "platform/program.h"
#include "platform/win32/windows_api.h"

namespace platform {

bool ProgramPath(char* buffer, std::uint32_t capacity) {
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, capacity);
  return length > 0 && length < capacity;
}

bool SystemFolder(char* buffer, std::uint32_t capacity) {
  const UINT length = ::GetWindowsDirectoryA(buffer, capacity);
  return length > 0 && length < capacity;
}

char NativeSeparator() { return '\\'; }

}  // namespace platform

// FileTime and the system's FILETIME hold the same count of 100-nanosecond
// intervals, split into two 32-bit halves on the system's side.
#pragma once

#include "platform/handles.h"
#include "platform/win32/windows_api.h"

namespace platform {

inline FILETIME ToSystemTime(FileTime time) {
  FILETIME system;
  system.dwLowDateTime = static_cast<DWORD>(time);
  system.dwHighDateTime = static_cast<DWORD>(time >> 32);
  return system;
}

inline FileTime FromSystemTime(const FILETIME& system) {
  return (static_cast<FileTime>(system.dwHighDateTime) << 32) | system.dwLowDateTime;
}

}  // namespace platform

// Package paths use backslashes and the package code page (code_page.h);
// the POSIX system calls want slashes and UTF-8.
#pragma once

#include <string>

namespace platform {

// The path as the system calls take it. Empty when the path holds a byte
// that the code page leaves undefined: no system call accepts an empty path,
// so such a path names nothing, as on Windows.
std::string NativePath(const char* path);

}  // namespace platform

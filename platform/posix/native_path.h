// Package paths use backslashes; the POSIX system calls want slashes.
#pragma once

#include <string>

namespace platform {

std::string NativePath(const char* path);

}  // namespace platform

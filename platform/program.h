// Facts about the running program and its system that the start-up needs.
#pragma once

#include <cstdint>

namespace platform {

// The program file's full path: GetModuleFileNameA on Windows, the
// executable's real path elsewhere. False when it does not fit.
bool ProgramPath(char* buffer, std::uint32_t capacity);
// The folder offered when the search finds nothing: the Windows folder on
// Windows, the current directory elsewhere. No trailing separator.
bool SystemFolder(char* buffer, std::uint32_t capacity);

// The separator people see in this system's paths.
char NativeSeparator();

}  // namespace platform

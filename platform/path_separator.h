// Paths of the system separate their components with '\' or, alike, '/':
// package entries, folders typed or found, and paths handed to the platform.
#pragma once

namespace platform {

constexpr bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace platform

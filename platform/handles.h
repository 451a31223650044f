// Opaque handles that the portable layers pass through without looking
// inside. On Windows they carry HWND, HINSTANCE and HANDLE values; the POSIX
// implementation gives them its own meaning.
#pragma once

#include <cstdint>

namespace platform {

using WindowHandle = void*;
using ModuleInstance = void*;
using FileHandle = std::intptr_t;

// The value of a handle that names no open file (all bits set, as on Windows).
constexpr FileHandle kInvalidFile = -1;

// A point in time as 100-nanosecond intervals since 1 January 1601. Whether
// it is universal or local time is said by whoever holds it.
using FileTime = std::uint64_t;

}  // namespace platform

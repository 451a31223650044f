// Hands a text out into a caller's buffer whole or not at all: a name or
// path that was cut could name another file.
#pragma once

#include <cstdint>

namespace platform {

// False, and the buffer untouched, when the text and its terminator do not fit.
bool CopyOut(const char* text, char* buffer, std::uint32_t capacity);

}  // namespace platform

// Whether a standard stream is a terminal, where the progress line is
// redrawn in place.
#pragma once

#include <cstdio>

namespace platform {

bool IsTerminal(std::FILE* stream);

}  // namespace platform

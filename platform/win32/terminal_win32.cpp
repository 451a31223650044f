#include <io.h>

#include "platform/terminal.h"

namespace platform {

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

}  // namespace platform

#include <io.h>

#include "ui/console/terminal.h"

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

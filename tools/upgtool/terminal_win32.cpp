// Whether a standard stream is a console, for upgtool's Windows build (the
// console front-end that declares this is not built there).
#include <io.h>

#include "ui/console/terminal.h"

bool IsTerminal(std::FILE* stream) { return ::_isatty(::_fileno(stream)) != 0; }

// The names Windows would refuse or change. A package's names are created
// on Windows as they are stored, so the builder refuses these before any
// user meets them.
#pragma once

#include <string>

namespace builder {

// Why Windows would refuse or change a name of this path (package text,
// backslash-separated), or empty when it takes every name as it is:
// control characters, < > : " / | ? *, a name ending in a dot or a blank,
// or a device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, also with an
// extension).
std::string WindowsNameProblem(const std::string& path);

}  // namespace builder

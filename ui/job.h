// The whole job of one run, in its order: the package (command line,
// beside the program, or the chooser), its check, the search for the
// installed folder, the wizard, the installation and the closing message.
#pragma once

#include "ui/front_end.h"

namespace ui {

class SearchHost;

// Runs the job for `commandLine` (the text after the program's name) and
// the program file at `programPath`. `builtInKey` is the public key text
// compiled into the program, if any (package_trust.h): with a trusted key a
// package whose signature does not hold is invalid, and says why. Returns
// the exit status: kExitApplied, kExitNotApplied, kExitInvalidPackage or
// kExitPartlyApplied (closing_message.h).
int RunJob(FrontEnd& frontEnd, SearchHost& search, const char* commandLine, const char* programPath,
           const char* builtInKey = nullptr);

}  // namespace ui

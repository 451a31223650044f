// The command line of the programs that write the demo and the test and
// fuzz fixtures: one argument, OUTPUT_FOLDER, where they put what they make.
#pragma once

#include <string>

namespace demo {

// On success sets *folder to OUTPUT_FOLDER in the package's path form
// (backslashes, one at the end), made if it was missing, and returns 0.
// Otherwise tells standard error why and returns the program's exit
// status: 2 for any other command line, 1 for a folder that cannot be made.
int TakeOutputFolder(int argc, char** argv, const char* program, std::string* folder);

}  // namespace demo

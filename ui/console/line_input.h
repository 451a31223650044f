// One answer per line of the input, whether or not it is a terminal, so a
// script can drive the program.
#pragma once

#include <cstdio>
#include <string>

// Reads one line without its line end, trimmed of blanks. False at the end
// of the input. When `echo` is set the line is written to `output`, so a
// transcript of a scripted run reads like an interactive one.
bool ReadAnswerLine(std::FILE* input, std::FILE* output, bool echo, std::string* line);

// The line in lower case, for answers that take any case.
std::string Lowered(const std::string& line);

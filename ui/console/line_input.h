// One answer per line of the input, whether or not it is a terminal, so a
// script can drive the program. Both console hosts (the applicator's pages
// and the engine's questions) read through here.
#pragma once

#include <cstdio>
#include <string>

namespace ui {

// Reads one line, its line end included when there is one. False at the end
// of the input, when nothing was left to read.
bool ReadLine(std::FILE* input, std::string* line);

// Reads one line without its line end, trimmed of blanks. False at the end
// of the input. When `echo` is set the line is written to `output`, so a
// transcript of a scripted run reads like an interactive one.
bool ReadAnswerLine(std::FILE* input, std::FILE* output, bool echo, std::string* line);

// The line in lower case, for answers that take any case.
std::string Lowered(const std::string& line);

// kIdYes for "y" or "yes", kIdNo for "n" or "no" (any case, blanks around
// ignored, the text read up to its first NUL), 0 for anything else.
int YesNoAnswer(const char* line);

}  // namespace ui

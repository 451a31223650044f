// Runs one upgtool command as upgtool does and captures what it prints.
#pragma once

#include <string>
#include <vector>

struct CommandRun {
  int status;
  std::string out;
  std::string err;
};

CommandRun RunCommand(int (*command)(int argc, char** argv), std::vector<std::string> arguments);
